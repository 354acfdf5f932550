// The local Samba server as the `linux` build sees it: its tools run as child
// processes. Which server: FILVANE_SAMBA_CONF names its smb.conf (default
// /etc/samba/smb.conf); the administrator account for closing opens comes
// from FILVANE_SAMBA_CREDENTIALS (default /etc/filvane/samba-admin.conf).
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "netmgmt/net_management.h"
#include "netmgmt/samba_backend.h"
#include "netmgmt/samba_config.h"
#include "netmgmt/samba_process_linux.h"

namespace netmgmt {
namespace samba {
namespace {

constexpr int kToolTimeoutMs = 5000;
// The worker asks for sessions and then for opens in the same pass: one
// report serves both, so the two lists agree with each other.
constexpr auto kStatusReuse = std::chrono::milliseconds(500);
// NetFileClose goes to the server over loopback, as a Windows tool would.
const char kServerAddress[] = "127.0.0.1";

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

class LocalSamba : public SambaSource {
public:
    LocalSamba()
        : conf_(env_or("FILVANE_SAMBA_CONF", "/etc/samba/smb.conf")),
          credentials_path_(env_or("FILVANE_SAMBA_CREDENTIALS", "/etc/filvane/samba-admin.conf")) {}

    Fetched status_report() override {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        if (!cached_status_.empty() && now - cached_at_ < kStatusReuse)
            return {kSuccess, cached_status_};
        if (!server_running())
            return {kAccessDenied, {}};
        // smbstatus needs root to read the server's databases.
        ProcessResult r = run_process({"smbstatus", "-s", conf_, "--json", "--resolve-uids"}, kToolTimeoutMs);
        if (!r.ran || r.exit_code != 0 || r.out.empty())
            return {kAccessDenied, {}};
        cached_status_ = r.out;
        cached_at_ = now;
        return {kSuccess, r.out};
    }

    Fetched config_report() override {
        ProcessResult r = run_process({"testparm", "-s", "--suppress-prompt", conf_}, kToolTimeoutMs);
        if (!r.ran || r.exit_code != 0)
            return {kAccessDenied, {}};
        return {kSuccess, r.out};
    }

    std::string host_name() override {
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) != 0)
            return {};
        return name;
    }

    std::uint32_t credentials(Credentials& out) override {
        int fd = open(credentials_path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            return kAccessDenied;
        struct stat st {};
        bool safe = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !exposed(st.st_mode) && st.st_size < 4096;
        close(fd);
        std::string text;
        if (!safe || !read_small_file(credentials_path_, text))
            return kAccessDenied;
        auto parsed = parse_credentials(text);
        if (!parsed)
            return kAccessDenied;
        out = *parsed;
        return kSuccess;
    }

    std::uint32_t close_file(std::uint32_t srvsvc_id, const Credentials& credentials) override {
        ProcessResult r = run_process({"net", "-s", conf_, "rpc", "file", "close", std::to_string(srvsvc_id), "-S",
                                       kServerAddress, "-A", "/dev/fd/3"},
                                      kToolTimeoutMs, samba_auth_file(credentials));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            cached_status_.clear();
        }
        if (!r.ran)
            return kAccessDenied;
        // net's exit status is the call's result cut to 8 bits: 2 is
        // ERROR_FILE_NOT_FOUND, which Samba answers for an unknown id.
        switch (r.exit_code) {
        case 0:
            return kSuccess;
        case 2:
            return kFileIdNotFound;
        default:
            return kAccessDenied;
        }
    }

private:
    // smbstatus reads the databases even when no smbd runs and then reports
    // an idle server; the pid file tells a stopped server from an idle one.
    bool server_running() {
        if (pid_file_.empty()) {
            ProcessResult r = run_process(
                {"testparm", "-s", "--suppress-prompt", "--parameter-name=pid directory", conf_}, kToolTimeoutMs);
            const std::string dir = first_line(r.out);
            if (!r.ran || r.exit_code != 0 || dir.empty())
                return false;
            pid_file_ = dir + "/smbd.pid";
        }
        std::string text;
        if (!read_small_file(pid_file_, text))
            return false;
        const long pid = std::strtol(text.c_str(), nullptr, 10);
        if (pid <= 0 || (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM))
            return false;
        std::string comm;
        return read_small_file("/proc/" + std::to_string(pid) + "/comm", comm) && comm.compare(0, 4, "smbd") == 0;
    }

    const std::string conf_;
    const std::string credentials_path_;
    std::string pid_file_;
    std::mutex mutex_;
    std::string cached_status_;
    std::chrono::steady_clock::time_point cached_at_;
};

}  // namespace
}  // namespace samba

std::unique_ptr<NetManagement> make_system_net_management() {
    // One registry for the process, so every backend object (the window's
    // and the worker's) gives an open the same identifier.
    static const auto ids = std::make_shared<samba::OpenIdRegistry>();
    return std::make_unique<samba::SambaNetManagement>(std::make_shared<samba::LocalSamba>(), ids);
}

}  // namespace netmgmt
