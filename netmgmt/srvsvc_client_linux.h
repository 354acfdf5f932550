// srvsvc's session calls over the server's \PIPE\srvsvc, reached through
// libsmbclient. The pipe stays open between calls (a call on it costs a few
// milliseconds, a new connection tens); a call that finds it broken opens it
// once more, so a restarted server answers at once.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "netmgmt/samba_credentials.h"
#include "netmgmt/srvsvc_rpc.h"

struct srvsvc_pipe;

namespace netmgmt {
namespace samba {

// Writes `request` to the pipe and reads its answer's fragments, up to the
// last one: libsmbclient reads until it has every byte asked for, so each
// fragment is read as its header says it is long.
std::uint32_t exchange(srvsvc_pipe* pipe, const std::string& request, std::string& fragments);

class SrvsvcSessionClient {
public:
    SrvsvcSessionClient() = default;
    SrvsvcSessionClient(const SrvsvcSessionClient&) = delete;
    SrvsvcSessionClient& operator=(const SrvsvcSessionClient&) = delete;
    ~SrvsvcSessionClient();

    // Every session at level 1 (Samba answers 0 and 1 only).
    std::uint32_t sessions(const std::string& server, const Credentials& account, std::vector<srvsvc::Session>& out);
    // Samba ends every session of `user` from the `client` address.
    std::uint32_t delete_session(const std::string& server, const Credentials& account, const std::string& client,
                                 const std::string& user);
    // Drops the connection, as when the account is no longer usable.
    void forget();

private:
    // One request and its answer's stub, with one reconnect when the
    // connection kept so far turns out broken.
    std::uint32_t call(const std::string& server, const Credentials& account, const std::string& request,
                       std::string& stub);
    std::uint32_t connect(const std::string& server, const Credentials& account);
    void close_pipe();

    std::mutex mutex_;
    srvsvc_pipe* pipe_ = nullptr;
    std::string server_;
    Credentials account_;
    std::uint32_t call_id_ = 1;
};

}  // namespace samba
}  // namespace netmgmt
