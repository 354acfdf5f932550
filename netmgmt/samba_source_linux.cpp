// A Samba server as the `linux` build sees it. The local one: the status tool
// and testparm run as child processes, the srvsvc calls go through Samba's
// libnetapi; FILVANE_SAMBA_CONF names its smb.conf (default
// /etc/samba/smb.conf). Another server: only its srvsvc, through libnetapi
// (no sessions: libnetapi has no session calls). Both log on with the
// account the user gave in the window, or else the first account file of
// account_files() (netmgmt/samba_credentials.h).
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "netmgmt/net_management.h"
#include "netmgmt/samba_account_files_linux.h"
#include "netmgmt/samba_backend.h"
#include "netmgmt/samba_credentials.h"
#include "netmgmt/samba_databases_linux.h"
#include "netmgmt/samba_netapi_linux.h"
#include "netmgmt/samba_process_linux.h"
#include "netmgmt/srvsvc_client_linux.h"

namespace netmgmt {
namespace samba {
namespace {

constexpr int kToolTimeoutMs = 5000;
constexpr int kConnectTimeoutMs = 2000;
constexpr std::uint32_t kCanNotComplete = 1003;
const char kLoopback[] = "127.0.0.1";

std::string env_or(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

std::string first_line(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    return line;
}

bool read_small_file(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

// What changes with a file's content, owner or rights, or its replacement.
std::uint64_t file_stamp(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return static_cast<std::uint64_t>(errno);
    return static_cast<std::uint64_t>(st.st_ino) ^ static_cast<std::uint64_t>(st.st_size) << 20 ^
           static_cast<std::uint64_t>(st.st_mtim.tv_sec) << 8 ^ static_cast<std::uint64_t>(st.st_mtim.tv_nsec) ^
           static_cast<std::uint64_t>(st.st_ctim.tv_nsec) << 12 ^ static_cast<std::uint64_t>(st.st_uid) << 40 ^
           static_cast<std::uint64_t>(st.st_mode) << 48;
}

// The IPv4 address of an interface smbd is bound to: the entry itself, or
// the address of the interface it names.
std::string address_of(const std::string& entry) {
    in_addr parsed{};
    if (inet_pton(AF_INET, entry.c_str(), &parsed) == 1)
        return entry;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    std::string found;
    for (ifaddrs* i = list; i && found.empty(); i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || entry != i->ifa_name)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr, text, sizeof text);
        found = text;
    }
    freeifaddrs(list);
    return found;
}

// True when `server` (an IPv4 address or a host name) accepts a connection
// on the SMB port.
bool takes_connections(const std::string& server) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(445);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(server.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    to.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd wait{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        connected = poll(&wait, 1, kConnectTimeoutMs) == 1 &&
                    getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    close(fd);
    return connected;
}

// One srvsvc answer as a list: the items copied out of the shim's block,
// which is given back on every path.
template <class Item, class Row, class Convert>
std::uint32_t take_list(std::uint32_t status, samba_netapi_list& list, std::vector<Row>& out, Convert convert) {
    if (status == kSuccess) {
        const auto* items = static_cast<const Item*>(list.items);
        out.reserve(list.count);
        for (std::uint32_t i = 0; i < list.count; ++i)
            out.push_back(convert(items[i]));
    }
    samba_netapi_free(&list);
    return status;
}

SrvsvcShare share_of(const samba_netapi_share& s) { return {s.name, s.path, s.remark, s.type, s.current_uses}; }

class SambaServer : public SambaSource {
public:
    // `remote` names another server; empty for the local one.
    explicit SambaServer(const std::string& remote)
        : conf_(env_or("FILVANE_SAMBA_CONF", "/etc/samba/smb.conf")),
          account_files_(account_files(remote, account_places())),
          remembered_folder_(remembered_accounts_folder(account_places())),
          remembered_name_(server_account_file(remote)),
          remote_(!remote.empty()),
          server_address_(remote_ ? remote : kLoopback) {}

    Fetched sessions_report() override { return status_tool({"-p", "--json", "--resolve-uids"}); }
    Fetched tree_connects_report() override { return status_tool({"-S", "--json"}); }
    Fetched lock_listing() override { return status_tool({"-L"}); }

    Fetched config_report() override {
        // Another server's configuration is not ours to read: its shares are
        // those its srvsvc lists.
        if (remote_)
            return {kSuccess, {}};
        if (access(conf_.c_str(), R_OK) != 0)
            return {errno == ENOENT ? kPathNotFound : kAccessDenied, {}};
        return tool({"testparm", "-s", "--suppress-prompt", conf_});
    }

    Fetched usershares_report() override {
        if (remote_)
            return {kNotSupported, {}};
        return tool({"net", "-s", conf_, "usershare", "info", "--long"});
    }

    void use_settings(const ServerSettings& settings) override {
        if (remote_)
            return;
        std::string address;
        for (const auto& entry : settings.bound_to)
            if (!(address = address_of(entry)).empty())
                break;
        std::lock_guard<std::mutex> lock(mutex_);
        server_address_ = address.empty() ? kLoopback : address;
    }

    std::uint32_t open_files(std::vector<SrvsvcOpen>& out) override {
        samba_netapi_list list{};
        std::uint32_t status = logged_on();
        if (status == kSuccess)
            status = answer(samba_netapi_opens(&list));
        return take_list<samba_netapi_open>(status, list, out, [](const samba_netapi_open& o) {
            return SrvsvcOpen{o.id, o.permissions, o.path, o.user};
        });
    }

    std::uint32_t shares(std::vector<SrvsvcShare>& out) override {
        samba_netapi_list list{};
        std::uint32_t status = logged_on();
        if (status == kSuccess)
            status = answer(samba_netapi_shares(&list));
        return take_list<samba_netapi_share>(status, list, out, share_of);
    }

    std::uint32_t share(const std::string& name, SrvsvcShare& out) override {
        samba_netapi_list list{};
        std::uint32_t status = logged_on();
        if (status == kSuccess)
            status = answer(samba_netapi_share_info(name.c_str(), &list));
        std::vector<SrvsvcShare> one;
        status = take_list<samba_netapi_share>(status, list, one, share_of);
        if (status == kSuccess && one.size() == 1)
            out = one.front();
        return status == kSuccess && one.size() != 1 ? kInvalidData : status;
    }

    std::uint32_t close_file(std::uint32_t id) override {
        std::uint32_t status = logged_on();
        return status == kSuccess ? answer(samba_netapi_close(id)) : status;
    }

    // The databases' content, with the account file and the configuration
    // (a change to either can change what the next listing answers). A
    // stopped server gives none, so the pass that enumerates reports it.
    std::optional<std::uint64_t> state_token() override {
        if (remote_ || server_state() != kSuccess)
            return std::nullopt;
        std::string lock_directory;
        if (parameter("lock directory", lock_directory_, lock_directory) != kSuccess)
            return std::nullopt;
        std::optional<std::uint64_t> token = databases_fingerprint(lock_directory);
        if (token) {
            for (const std::string& path : account_files_)
                *token = *token * 31 + file_stamp(path);
            *token = *token * 31 + file_stamp(conf_);
            std::lock_guard<std::mutex> lock(mutex_);
            *token = *token * 31 + accounts_given_;
        }
        return token;
    }

    std::optional<std::vector<DatabaseOpen>> database_opens() override {
        std::string lock_directory;
        if (remote_ || parameter("lock directory", lock_directory_, lock_directory) != kSuccess)
            return std::nullopt;
        return share_mode_opens(lock_directory);
    }

    bool remote() override { return remote_; }

    std::uint32_t srvsvc_sessions(std::vector<srvsvc::Session>& out) override {
        Credentials credentials;
        std::uint32_t status = account(credentials);
        return status == kSuccess ? answer(pipe_.sessions(server_address(), credentials, out)) : status;
    }

    std::uint32_t delete_session(const std::string& client, const std::string& user) override {
        Credentials credentials;
        std::uint32_t status = account(credentials);
        if (status != kSuccess)
            return status;
        return answer(pipe_.delete_session(server_address(), credentials, client, user));
    }

    // As Samba's uidtoname: the passwd name, else the number.
    std::string user_name(std::uint32_t uid) override {
        passwd entry{};
        passwd* found = nullptr;
        std::vector<char> buffer(4096);
        while (getpwuid_r(static_cast<uid_t>(uid), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
               buffer.size() < (1u << 20))
            buffer.resize(buffer.size() * 2);
        return found ? std::string(found->pw_name) : std::to_string(static_cast<int>(uid));
    }

    std::uint32_t end_process(std::uint32_t pid) override {
        return tool({"smbcontrol", "-s", conf_, std::to_string(pid), "shutdown"}).status;
    }

    // The account last logged on with: its connection is ours even after
    // the file turns unusable, until the next srvsvc call drops it.
    std::string monitor_account() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return account_;
    }

    // Stored first, so an account that cannot be remembered is not used
    // either and the user is told at once.
    std::uint32_t use_account(const Credentials& given, bool remember) override {
        if (std::uint32_t code = account_refusal(given))
            return code;
        if (remember) {
            if (remembered_folder_.empty())
                return kPathNotFound;
            if (!remembered_name_)
                return kInvalidParameter;
            if (std::uint32_t code = write_account_file(remembered_folder_, *remembered_name_, given))
                return code;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        given_ = given;
        ++accounts_given_;
        return kSuccess;
    }

private:
    Fetched tool(const std::vector<std::string>& argv) {
        ProcessResult r = run_process(argv, kToolTimeoutMs);
        switch (r.outcome) {
        case ProcessResult::Ran:
            break;
        case ProcessResult::Missing:
            return {kFileNotFound, {}};
        case ProcessResult::TimedOut:
            return {kTimeout, {}};
        case ProcessResult::Failed:
            return {kInvalidData, {}};
        }
        // Nothing on stdout with status 0 is an empty answer ("No locked
        // files" goes to stderr).
        if (r.exit_code != 0)
            // The tools read the server's own files: without root they fail.
            return {geteuid() != 0 ? kAccessDenied : kInvalidData, {}};
        return {kSuccess, std::move(r.out)};
    }

    // The status tool reads the server's databases even when no smbd runs,
    // and then reports an idle server: a stopped server is told apart first.
    Fetched status_tool(std::vector<std::string> arguments) {
        if (remote_)
            return {kNotSupported, {}};
        if (std::uint32_t code = server_state())
            return {code, {}};
        arguments.insert(arguments.begin(), {"smbstatus", "-s", conf_});
        return tool(arguments);
    }

    // A configuration parameter, asked of testparm once and then kept in
    // `cache` (guarded by mutex_).
    std::uint32_t parameter(const char* name, std::string& cache, std::string& out) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            out = cache;
        }
        if (!out.empty())
            return kSuccess;
        Fetched answer = tool({"testparm", "-s", "--suppress-prompt", std::string("--parameter-name=") + name, conf_});
        if (answer.status != kSuccess)
            return answer.status;
        out = first_line(answer.text);
        std::lock_guard<std::mutex> lock(mutex_);
        cache = out;
        return kSuccess;
    }

    // Another server's state shows only in its answers.
    std::uint32_t server_state() {
        if (remote_)
            return kSuccess;
        std::string pid_directory;
        if (std::uint32_t status = parameter("pid directory", pid_directory_, pid_directory); status != kSuccess)
            return status;
        const std::string pid_file = pid_directory + "/smbd.pid";
        std::string text;
        if (!read_small_file(pid_file, text))
            return kServerNotStarted;
        const long pid = std::strtol(text.c_str(), nullptr, 10);
        if (pid <= 0 || (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM))
            return kServerNotStarted;
        std::string comm;
        if (!read_small_file("/proc/" + std::to_string(pid) + "/comm", comm) || comm.compare(0, 4, "smbd") != 0)
            return kServerNotStarted;
        return kSuccess;
    }

    // The account given in the window comes first: it answers a refusal of
    // whatever the files hold.
    std::uint32_t read_credentials(Credentials& out) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (given_) {
                out = *given_;
                return kSuccess;
            }
        }
        return read_first_account(account_files_, out);
    }

    // Without a usable account the connection made with the last one is
    // dropped: nothing of ours stays connected under a name no longer known.
    std::uint32_t account(Credentials& out) {
        if (std::uint32_t code = read_credentials(out)) {
            samba_netapi_forget();
            pipe_.forget();
            return code;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        account_ = out.user;
        return kSuccess;
    }

    std::uint32_t logged_on() {
        Credentials credentials;
        if (std::uint32_t code = account(credentials))
            return code;
        return samba_netapi_use(server_address().c_str(), credentials.user.c_str(), credentials.password.c_str());
    }

    std::string server_address() {
        std::lock_guard<std::mutex> lock(mutex_);
        return server_address_;
    }

    // A refused account or missing rights are the server's answer; any other
    // failure is most often a server that is not there. libnetapi says only
    // that it could not complete, for a refused logon and an unreachable
    // server alike: a server that takes connections refused the account.
    std::uint32_t answer(std::uint32_t status) {
        if (status == kSuccess || status == kAccessDenied || status == kLogonFailure || status == kFileIdNotFound)
            return status;
        if (std::uint32_t state = server_state())
            return state;
        if (status != kCanNotComplete)
            return status;
        return takes_connections(server_address()) ? kLogonFailure : kBadNetPath;
    }

    const std::string conf_;
    const std::vector<std::string> account_files_;
    const std::string remembered_folder_;
    const std::optional<std::string> remembered_name_;
    std::mutex mutex_;
    const bool remote_;
    std::string pid_directory_;
    std::string lock_directory_;
    std::string server_address_;
    std::string account_;
    std::optional<Credentials> given_;
    std::uint64_t accounts_given_ = 0;  // moves the state token
    SrvsvcSessionClient pipe_;
};

}  // namespace
}  // namespace samba

std::unique_ptr<NetManagement> make_system_net_management(const std::string& server) {
    return std::make_unique<samba::SambaNetManagement>(std::make_shared<samba::SambaServer>(server));
}

}  // namespace netmgmt
