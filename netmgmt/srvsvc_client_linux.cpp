#include "netmgmt/srvsvc_client_linux.h"

#include "netmgmt/net_management.h"
#include "netmgmt/srvsvc_pipe_linux.h"

namespace netmgmt {
namespace samba {
namespace {

// User, opens and time connected: the richest level Samba answers.
constexpr std::uint32_t kSessionLevel = 1;

std::uint32_t read_exactly(srvsvc_pipe* pipe, std::size_t size, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + size);
    std::size_t got = 0;
    if (std::uint32_t code = srvsvc_pipe_read(pipe, &out[at], size, &got))
        return code;
    return got == size ? kSuccess : kInvalidData;
}

}  // namespace

std::uint32_t exchange(srvsvc_pipe* pipe, const std::string& request, std::string& fragments) {
    if (std::uint32_t code = srvsvc_pipe_write(pipe, request.data(), request.size()))
        return code;
    for (;;) {
        const std::size_t at = fragments.size();
        if (std::uint32_t code = read_exactly(pipe, srvsvc::kHeaderSize, fragments))
            return code;
        const std::string header = fragments.substr(at);
        const std::size_t length = srvsvc::fragment_length(header);
        if (length < srvsvc::kHeaderSize)
            return kInvalidData;
        if (std::uint32_t code = read_exactly(pipe, length - srvsvc::kHeaderSize, fragments))
            return code;
        if (srvsvc::last_fragment(header))
            return kSuccess;
    }
}

SrvsvcSessionClient::~SrvsvcSessionClient() { close_pipe(); }

void SrvsvcSessionClient::close_pipe() {
    srvsvc_pipe_close(pipe_);
    pipe_ = nullptr;
}

void SrvsvcSessionClient::forget() {
    std::lock_guard<std::mutex> lock(mutex_);
    close_pipe();
}

std::uint32_t SrvsvcSessionClient::connect(const std::string& server, const Credentials& account) {
    close_pipe();
    if (std::uint32_t code = srvsvc_pipe_open(server.c_str(), account.user.c_str(), account.password.c_str(), &pipe_))
        return code;
    server_ = server;
    account_ = account;
    std::string answer;
    std::uint32_t code = exchange(pipe_, srvsvc::bind_request(call_id_++), answer);
    if (code == kSuccess)
        code = srvsvc::read_bind_answer(answer);
    if (code != kSuccess)
        close_pipe();
    return code;
}

std::uint32_t SrvsvcSessionClient::call(const std::string& server, const Credentials& account,
                                        const std::string& request, std::string& stub) {
    const bool kept =
        pipe_ && server == server_ && account.user == account_.user && account.password == account_.password;
    if (kept) {
        std::string answer;
        if (exchange(pipe_, request, answer) == kSuccess)
            return srvsvc::read_answer(answer, stub);
        // The connection kept so far broke (a restarted server, a dropped
        // link): the request goes once more on a new one.
    }
    std::string answer;
    std::uint32_t code = connect(server, account);
    if (code == kSuccess)
        code = exchange(pipe_, request, answer);
    if (code != kSuccess) {
        close_pipe();
        return code;
    }
    return srvsvc::read_answer(answer, stub);
}

std::uint32_t SrvsvcSessionClient::sessions(const std::string& server, const Credentials& account,
                                            std::vector<srvsvc::Session>& out) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<srvsvc::Session> all;
    std::uint32_t resume = 0;
    for (;;) {
        std::string stub;
        const std::string request = srvsvc::sessions_request(call_id_++, server, kSessionLevel, resume);
        if (std::uint32_t code = call(server, account, request, stub))
            return code;
        srvsvc::SessionPage page;
        const std::uint32_t code = srvsvc::read_sessions(stub, page);
        if (code != kSuccess && code != kMoreData)
            return code;
        all.insert(all.end(), page.sessions.begin(), page.sessions.end());
        // Samba gives every session in one answer; a server that pages ends
        // with success, or stops giving any.
        if (code == kSuccess || page.sessions.empty() || page.resume == resume)
            break;
        resume = page.resume;
    }
    out = std::move(all);
    return kSuccess;
}

std::uint32_t SrvsvcSessionClient::delete_session(const std::string& server, const Credentials& account,
                                                  const std::string& client, const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string stub;
    const std::string request = srvsvc::session_delete_request(call_id_++, server, client, user);
    if (std::uint32_t code = call(server, account, request, stub))
        return code;
    return srvsvc::read_session_delete(stub);
}

}  // namespace samba
}  // namespace netmgmt
