// The network-management port over a Samba server. What it needs from the
// machine (the status tool's reports, the configuration, the server's srvsvc
// calls) comes through SambaSource, so everything else here is portable and
// testable.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/code_page.h"
#include "netmgmt/net_management.h"
#include "netmgmt/samba_config.h"
#include "netmgmt/samba_credentials.h"
#include "netmgmt/samba_records.h"
#include "netmgmt/share_mode_database.h"
#include "netmgmt/srvsvc_rpc.h"

namespace netmgmt {
namespace samba {

struct Fetched {
    std::uint32_t status = kSuccess;  // kSuccess, or the failure to pass on
    std::string text;
};

// Failures are the Windows codes nearest in meaning: kServerNotStarted when
// no smbd runs, kFileNotFound when a tool is missing, kPathNotFound when the
// configuration is, kAccessDenied without the rights to read the server's
// state, kTimeout for a tool that did not answer in time, kNotAuthenticated
// without an account file, the code of its fault (kInvalidOwner,
// kExposedFile, ...) when it is refused, kLogonFailure when the server
// refuses the account.
class SambaSource {
public:
    virtual ~SambaSource() = default;
    // The status tool's sessions (`smbstatus -p --json`), tree connects
    // (`smbstatus -S --json`) and plain lock listing (`smbstatus -L`).
    virtual Fetched sessions_report() = 0;
    virtual Fetched tree_connects_report() = 0;
    virtual Fetched lock_listing() = 0;
    // `testparm -s` of the server's configuration.
    virtual Fetched config_report() = 0;
    // The users' own shares (`net usershare info --long`).
    virtual Fetched usershares_report() = 0;
    // Where the srvsvc calls go: the server's settings, read from its
    // configuration by the backend.
    virtual void use_settings(const ServerSettings& settings) = 0;
    // The server's srvsvc, logged on with the administrator account.
    virtual std::uint32_t open_files(std::vector<SrvsvcOpen>& out) = 0;
    virtual std::uint32_t shares(std::vector<SrvsvcShare>& out) = 0;
    virtual std::uint32_t share(const std::string& name, SrvsvcShare& out) = 0;
    virtual std::uint32_t close_file(std::uint32_t id) = 0;
    // That account's name; empty when none is configured.
    virtual std::string monitor_account() = 0;
    // True for another server: it has no status tool of ours, so its
    // sessions come from its srvsvc.
    virtual bool remote() = 0;
    // The server's srvsvc sessions (NetSessEnum), and their end (NetSessDel:
    // Samba ends every session of `user` from the `client` address).
    virtual std::uint32_t srvsvc_sessions(std::vector<srvsvc::Session>& out) = 0;
    virtual std::uint32_t delete_session(const std::string& client, const std::string& user) = 0;
    // The name of a local uid as Samba gives it: the account's, else the
    // number.
    virtual std::string user_name(std::uint32_t uid) = 0;
    // Ends the local smbd process `pid` serves a session from (smbcontrol).
    virtual std::uint32_t end_process(std::uint32_t pid) = 0;
    // The server's state of sessions, tree connects and opens as one value
    // read without asking the server; nothing when it cannot be read.
    virtual std::optional<std::uint64_t> state_token() = 0;
    // The local server's opens with srvsvc's own ids, read from its
    // share-mode database without asking the server; nothing when it cannot
    // be read as one (another server or Samba version, a record caught while
    // being written), and srvsvc is asked instead.
    virtual std::optional<std::vector<DatabaseOpen>> database_opens() { return std::nullopt; }
    // The account the user gave, used from the next call on; with
    // `remember`, stored for the next start as well.
    virtual std::uint32_t use_account(const Credentials& account, bool remember) {
        (void)account;
        (void)remember;
        return kNotSupported;
    }
};

class SambaNetManagement : public NetManagement {
public:
    explicit SambaNetManagement(std::shared_ptr<SambaSource> source);

    Reply<ShareInfo> enum_shares(std::uint32_t preferred_length, std::uint32_t& resume) override;
    // The sessions enumeration of a pass also takes the opens its counts come
    // from; the open-file enumeration that follows gets those same opens, so
    // the two lists agree however long the calls take.
    Reply<SessionInfo> enum_sessions(std::uint32_t preferred_length, std::uint32_t& resume) override;
    Reply<OpenFileInfo> enum_open_files(std::uint32_t preferred_length, std::uint32_t& resume) override;
    std::uint32_t close_open_file(const OpenFileInfo& asked) override;
    // The local server's session ends with the smbd serving it where the
    // status tool can name that process (as root); otherwise, and on another
    // server, through srvsvc, which ends every session of the user from that
    // client.
    std::uint32_t disconnect_session(const SessionInfo& asked) override;
    bool disconnect_ends_connection() const override { return true; }
    std::optional<std::uint64_t> change_token() override;
    // The window's GBK texts; Samba and the account files speak UTF-8.
    std::uint32_t use_account(const std::string& user, const std::string& password, bool remember) override {
        return source_->use_account({codepage::gbk_to_utf8(user), codepage::gbk_to_utf8(password)}, remember);
    }

private:
    // One enumeration's records, taken when it starts (resume 0), paged
    // through by its later calls and let go after the last page.
    template <class Record>
    struct Snapshot {
        std::mutex mutex;
        bool taken = false;
        std::vector<Record> records;
    };

    template <class Record, class Take>
    Reply<Record> enumerate(Snapshot<Record>& snapshot, std::uint32_t preferred, std::uint32_t& resume, Take take);

    std::uint32_t take_shares(std::vector<ShareInfo>& out);
    std::uint32_t take_sessions(std::vector<SessionInfo>& out);
    std::uint32_t take_remote_sessions(std::vector<SessionInfo>& out);
    std::uint32_t end_local_session(const SessionInfo& asked);
    std::uint32_t take_open_files(std::vector<OpenFileInfo>& out);
    std::uint32_t read_status(Status& out);
    std::uint32_t count_opens(const Status& status, std::uint32_t opens_status, const std::vector<SrvsvcOpen>& opens,
                              OpenCounts& out);
    // True when the local server is read without an administrator account:
    // then the lock listing gives the opens and the configuration the shares.
    bool without_account(std::uint32_t srvsvc_status);
    // The lock listing's opens as srvsvc lists them, with ids of ours, and
    // who holds each; their processes are kept for closing.
    std::uint32_t take_listed_opens(std::vector<SrvsvcOpen>& out, std::vector<LockOwner>& owners);
    // The first pass's opens from the lock listing, once the account is
    // known to work: in a fraction of the time a NetFileEnum of tens of
    // thousands takes. The server's ids come with the next pass.
    bool list_ahead_of_srvsvc(std::vector<SrvsvcOpen>& out, std::vector<LockOwner>& owners);
    // The local server's srvsvc opens: the server's ids from then on.
    std::uint32_t srvsvc_opens(std::vector<SrvsvcOpen>& out);
    // The same from the share-mode database, once the account is known to
    // work (closing takes it, and a refused one is told as srvsvc tells it);
    // false when srvsvc is to be asked.
    bool database_opens(std::vector<SrvsvcOpen>& out);
    // The opens with the server's ids by whichever route answers, for the
    // rows.
    std::uint32_t server_opens(std::vector<SrvsvcOpen>& out);
    // The rows have the server's ids from now on.
    void took_server_ids();
    std::uint32_t take_configured_shares(const std::vector<ConfigSection>& config, std::vector<ShareInfo>& out);
    // The srvsvc id of the open a row of the lock listing showed as `id`.
    std::uint32_t srvsvc_id_of_listed(const OpenFileInfo& asked, const std::vector<SrvsvcOpen>& opens,
                                      std::uint32_t& out);
    // The configuration, read afresh (`reread`) or once for the first pass.
    std::uint32_t read_config(bool reread, std::vector<ConfigSection>& out);

    std::shared_ptr<SambaSource> source_;
    std::mutex config_mutex_;
    bool config_read_ = false;
    ServerSettings settings_;
    std::vector<std::string> share_paths_;
    // The opens that the last sessions enumeration took, until the open-file
    // enumeration of the same pass uses them.
    std::mutex pass_mutex_;
    bool pass_opens_waiting_ = false;
    std::uint32_t pass_opens_status_ = kSuccess;
    std::vector<SrvsvcOpen> pass_opens_;
    // The process of each open the last lock listing gave an id of ours.
    std::mutex listed_mutex_;
    std::unordered_map<std::uint32_t, std::uint32_t> listed_pids_;
    // Whether a pass has listed the opens yet, and how many listings gave
    // ids of ours (a part of the change token).
    std::atomic<bool> listed_once_{false};
    std::atomic<std::uint64_t> listings_ahead_{0};
    Snapshot<ShareInfo> shares_;
    Snapshot<SessionInfo> sessions_;
    Snapshot<OpenFileInfo> opens_;
};

}  // namespace samba
}  // namespace netmgmt
