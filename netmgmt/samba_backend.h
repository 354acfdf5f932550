// The network-management port over a Samba server. What it needs from the
// machine (the tools' reports, the credentials, the close request) comes
// through SambaSource, so everything else here is portable and testable.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "netmgmt/net_management.h"
#include "netmgmt/samba_credentials.h"
#include "netmgmt/samba_open_ids.h"
#include "netmgmt/samba_status.h"

namespace netmgmt {
namespace samba {

// ERROR_INVALID_DATA: a tool answered with something that is not its report.
constexpr std::uint32_t kInvalidData = 13;

struct Fetched {
    std::uint32_t status = kSuccess;  // kSuccess, or the failure to pass on
    std::string text;
};

class SambaSource {
public:
    virtual ~SambaSource() = default;
    // `smbstatus --json` of the running server; kAccessDenied when no server
    // runs or the report cannot be had.
    virtual Fetched status_report() = 0;
    // `testparm -s` of the server's configuration.
    virtual Fetched config_report() = 0;
    virtual std::string host_name() = 0;
    // The administrator account, or the failure (kAccessDenied when the
    // file is missing, exposed or incomplete).
    virtual std::uint32_t credentials(Credentials& out) = 0;
    // Samba's NetFileClose for a srvsvc file id.
    virtual std::uint32_t close_file(std::uint32_t srvsvc_id, const Credentials& credentials) = 0;
};

class SambaNetManagement : public NetManagement {
public:
    SambaNetManagement(std::shared_ptr<SambaSource> source, std::shared_ptr<OpenIdRegistry> ids);

    Reply<ShareInfo> enum_shares(std::uint32_t preferred_length, std::uint32_t& resume) override;
    Reply<SessionInfo> enum_sessions(std::uint32_t preferred_length, std::uint32_t& resume) override;
    Reply<OpenFileInfo> enum_open_files(std::uint32_t preferred_length, std::uint32_t& resume) override;
    std::uint32_t close_open_file(std::uint32_t id) override;

private:
    // One enumeration's records, taken when it starts (resume 0) and paged
    // through by its later calls.
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
    std::uint32_t take_open_files(std::vector<OpenFileInfo>& out);

    // The sessions and open-file enumerations of one pass usually get the
    // same report: it is parsed once.
    std::uint32_t read_status(std::shared_ptr<const Status>& out);

    std::shared_ptr<SambaSource> source_;
    std::shared_ptr<OpenIdRegistry> ids_;
    std::mutex parsed_mutex_;
    std::string parsed_text_;
    std::shared_ptr<const Status> parsed_;
    Snapshot<ShareInfo> shares_;
    Snapshot<SessionInfo> sessions_;
    Snapshot<OpenFileInfo> opens_;
};

}  // namespace samba
}  // namespace netmgmt
