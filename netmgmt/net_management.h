// The network-management port: what the monitor asks of the server it watches.
// Result codes are those of the Windows calls, so the monitor's loops and
// messages read the same on every backend. Texts are GBK, already cut to the
// 259 bytes a list cell holds.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace netmgmt {

enum : std::uint32_t {
    kSuccess = 0,
    kFileNotFound = 2,  // a tool the backend needs is missing
    kPathNotFound = 3,  // the server's configuration file is missing
    kAccessDenied = 5,
    kNotEnoughMemory = 8,
    kBadFormat = 11,    // the account file lacks its user or password line
    kInvalidData = 13,  // an answer that does not read as one
    kWriteFault = 29,   // an account could not be stored
    kHandleEof = 38,    // the account file is empty
    kNotSupported = 50,
    kBadNetPath = 53,  // the server cannot be reached
    kInvalidParameter = 87,
    kDiskFull = 112,
    kInvalidLevel = 124,
    kFileTooLarge = 223,  // the account file is larger than one can be
    kMoreData = 234,
    kNotRegularFile = 267,     // the account file is a folder or a device
    kFileChanged = 1006,       // the open asked about is now another file's
    kNotAuthenticated = 1244,  // no administrator account to log on with
    kInvalidOwner = 1307,      // the account file belongs to someone else
    kLogonFailure = 1326,      // that account's name or password is wrong
    kExposedFile = 1338,       // others may read or change the account file
    kTimeout = 1460,
    kSymbolicLink = 1921,      // the account file is a symbolic link
    kServerNotStarted = 2114,  // the file-sharing service is not running
    kBufTooSmall = 2123,
    kUserNotFound = 2221,
    kClientNameNotFound = 2312,
    kFileIdNotFound = 2314,
    kInvalidComputer = 2351,
};

struct ShareInfo {
    std::string name;
    std::string path;
    std::uint32_t current_uses = 0;
    std::string remark;
};

struct SessionInfo {
    std::string user;
    std::string computer;
    std::uint32_t opens = 0;
    std::uint32_t seconds_connected = 0;
    std::uint32_t seconds_idle = 0;
};

struct OpenFileInfo {
    std::uint32_t id = 0;
    std::uint32_t permissions = 0;
    std::string path;
    std::string user;
};

// One reply of an enumeration: its status (0, kMoreData or a failure) and the
// records it carried. A caller repeats the call with the same resume handle
// while the status is kMoreData.
template <class Record>
struct Reply {
    std::uint32_t status = kSuccess;
    std::vector<Record> records;
};

class NetManagement {
public:
    virtual ~NetManagement() = default;
    virtual Reply<ShareInfo> enum_shares(std::uint32_t preferred_length, std::uint32_t& resume) = 0;
    virtual Reply<SessionInfo> enum_sessions(std::uint32_t preferred_length, std::uint32_t& resume) = 0;
    virtual Reply<OpenFileInfo> enum_open_files(std::uint32_t preferred_length, std::uint32_t& resume) = 0;
    // Closes the open `asked` describes, re-read from the server just before:
    // kFileChanged, with nothing closed, when its id now names another path
    // or user (servers reuse ids).
    virtual std::uint32_t close_open_file(const OpenFileInfo& asked) = 0;
    // Ends the session of `session.user` from `session.computer`.
    virtual std::uint32_t disconnect_session(const SessionInfo& session) = 0;
    // True where ending one session ends the client's whole connection with
    // it (Samba ends the process that serves the client), so whoever asks can
    // be told what else goes.
    virtual bool disconnect_ends_connection() const { return false; }
    // A value that moves whenever the sessions or the open files may have
    // changed (a session or an open coming or going, an open's mode or name),
    // read at a fraction of an enumeration's cost to either side. Nothing when
    // this backend cannot tell at the moment: then every pass enumerates.
    virtual std::optional<std::uint64_t> change_token() { return std::nullopt; }
    // An account the user gave for this server, used from the next call on
    // in place of any other; with `remember`, also stored for the next
    // start. Called from the window's thread while another enumerates.
    // kSuccess, or why it was refused (then nothing changes).
    virtual std::uint32_t use_account(const std::string& user, const std::string& password, bool remember) {
        (void)user;
        (void)password;
        (void)remember;
        return kNotSupported;
    }
};

// The backend of this build for `server` (a host name or IPv4 address; empty
// for the computer it runs on): netapi32 on Windows, Samba on Linux.
std::unique_ptr<NetManagement> make_system_net_management(const std::string& server);

}  // namespace netmgmt
