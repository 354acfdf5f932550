#include "netmgmt/samba_backend.h"

#include <algorithm>
#include <new>

#include "netmgmt/samba_config.h"
#include "netmgmt/samba_paging.h"
#include "netmgmt/samba_records.h"
#include "netmgmt/samba_status.h"

namespace netmgmt {
namespace samba {
namespace {

// Runs one step that reads a report; a report that does not read right, or a
// lack of memory, becomes the Windows code for it instead of an exception.
template <class Step>
std::uint32_t guarded(Step step) {
    try {
        return step();
    } catch (const StatusFormatError&) {
        return kInvalidData;
    } catch (const std::bad_alloc&) {
        return kNotEnoughMemory;
    } catch (const std::exception&) {
        return kInvalidData;
    }
}

}  // namespace

std::uint32_t SambaNetManagement::read_status(std::shared_ptr<const Status>& out) {
    Fetched report = source_->status_report();
    if (report.status != kSuccess)
        return report.status;
    std::lock_guard<std::mutex> lock(parsed_mutex_);
    if (!parsed_ || report.text != parsed_text_) {
        parsed_.reset();
        auto status = std::make_shared<const Status>(parse_status_report(report.text));
        parsed_text_ = std::move(report.text);
        parsed_ = std::move(status);
    }
    out = parsed_;
    return kSuccess;
}

SambaNetManagement::SambaNetManagement(std::shared_ptr<SambaSource> source, std::shared_ptr<OpenIdRegistry> ids)
    : source_(std::move(source)), ids_(std::move(ids)) {}

template <class Record, class Take>
Reply<Record> SambaNetManagement::enumerate(Snapshot<Record>& snapshot, std::uint32_t preferred, std::uint32_t& resume,
                                            Take take) {
    std::lock_guard<std::mutex> lock(snapshot.mutex);
    // A later call without a snapshot of its own (none was taken, or the
    // first call failed) reads afresh and pages from its resume handle.
    if (resume == 0 || !snapshot.taken) {
        snapshot.taken = false;
        std::vector<Record> records;
        const std::uint32_t status = guarded([&] { return (this->*take)(records); });
        if (status != kSuccess)
            return {status, {}};
        snapshot.records = std::move(records);
        snapshot.taken = true;
    }
    try {
        return page(snapshot.records, preferred, resume);
    } catch (const std::bad_alloc&) {
        return {kNotEnoughMemory, {}};
    } catch (const std::exception&) {
        return {kInvalidData, {}};
    }
}

std::uint32_t SambaNetManagement::take_shares(std::vector<ShareInfo>& out) {
    std::shared_ptr<const Status> status;
    if (std::uint32_t code = read_status(status))
        return code;
    Fetched config = source_->config_report();
    if (config.status != kSuccess)
        return config.status;
    out = share_records(shares_of(parse_config(config.text), {source_->host_name(), status->version}), *status);
    return kSuccess;
}

std::uint32_t SambaNetManagement::take_sessions(std::vector<SessionInfo>& out) {
    std::shared_ptr<const Status> status;
    if (std::uint32_t code = read_status(status))
        return code;
    out = session_records(*status);
    return kSuccess;
}

std::uint32_t SambaNetManagement::take_open_files(std::vector<OpenFileInfo>& out) {
    std::shared_ptr<const Status> status;
    if (std::uint32_t code = read_status(status))
        return code;
    out = open_file_records(*status, *ids_);
    return kSuccess;
}

Reply<ShareInfo> SambaNetManagement::enum_shares(std::uint32_t preferred, std::uint32_t& resume) {
    return enumerate(shares_, preferred, resume, &SambaNetManagement::take_shares);
}

Reply<SessionInfo> SambaNetManagement::enum_sessions(std::uint32_t preferred, std::uint32_t& resume) {
    return enumerate(sessions_, preferred, resume, &SambaNetManagement::take_sessions);
}

Reply<OpenFileInfo> SambaNetManagement::enum_open_files(std::uint32_t preferred, std::uint32_t& resume) {
    return enumerate(opens_, preferred, resume, &SambaNetManagement::take_open_files);
}

std::uint32_t SambaNetManagement::close_open_file(std::uint32_t id) {
    return guarded([&]() -> std::uint32_t {
        Credentials credentials;
        if (std::uint32_t code = source_->credentials(credentials))
            return code;
        // A fresh look, so the identifier names an open that still exists.
        std::shared_ptr<const Status> status;
        if (std::uint32_t code = read_status(status))
            return code;
        ids_->refresh(status->opens);
        const std::optional<OpenKey> key = ids_->find(id);
        if (!key)
            return kFileIdNotFound;
        // Samba closes every open its srvsvc id names: refuse rather than
        // close another client's file as well.
        const std::uint32_t srvsvc_id = srvsvc_file_id(*key);
        auto sharing = std::count_if(status->opens.begin(), status->opens.end(),
                                     [&](const Open& o) { return srvsvc_file_id(key_of(o)) == srvsvc_id; });
        if (sharing > 1)
            return kNotSupported;
        return source_->close_file(srvsvc_id, credentials);
    });
}

}  // namespace samba
}  // namespace netmgmt
