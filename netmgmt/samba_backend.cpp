#include "netmgmt/samba_backend.h"

#include <algorithm>
#include <new>
#include <set>

#include "netmgmt/samba_paging.h"
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
    } catch (const std::bad_alloc&) {
        return kNotEnoughMemory;
    } catch (const std::exception&) {
        return kInvalidData;
    }
}

}  // namespace

SambaNetManagement::SambaNetManagement(std::shared_ptr<SambaSource> source) : source_(std::move(source)) {}

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
    Reply<Record> reply;
    const std::uint32_t status = guarded([&] {
        reply = page(snapshot.records, preferred, resume);
        return kSuccess;
    });
    // The last page handed out, the pass holds the rows: no copy is kept
    // until the next enumeration.
    if (status != kSuccess || reply.status == kSuccess) {
        std::vector<Record>().swap(snapshot.records);
        snapshot.taken = false;
    }
    return status == kSuccess ? reply : Reply<Record>{status, {}};
}

std::uint32_t SambaNetManagement::read_config(bool reread, std::vector<ConfigSection>& out) {
    std::lock_guard<std::mutex> lock(config_mutex_);
    if (config_read_ && !reread)
        return kSuccess;
    Fetched config = source_->config_report();
    if (config.status != kSuccess)
        return config.status;
    out = parse_config(config.text);
    settings_ = server_settings(out);
    share_paths_.clear();
    for (const auto& share : configured_shares(out))
        share_paths_.push_back(share.path);
    source_->use_settings(settings_);
    config_read_ = true;
    return kSuccess;
}

std::uint32_t SambaNetManagement::take_shares(std::vector<ShareInfo>& out) {
    // Every refresh reads the configuration: a share added to it shows, and
    // the srvsvc calls follow the server to a new address.
    std::vector<ConfigSection> config;
    if (std::uint32_t code = read_config(true, config))
        return code;
    std::vector<SrvsvcShare> listed;
    if (std::uint32_t code = source_->shares(listed))
        return without_account(code) ? take_configured_shares(config, out) : code;
    std::set<std::string> names;
    for (const auto& s : listed) {
        names.insert(s.name);
        out.push_back(share_record(s));
        // The srvsvc calls themselves hold one connection to IPC$: like the
        // monitor's own session, it is not a client's.
        if (is_interprocess(s) && out.back().current_uses > 0)
            --out.back().current_uses;
    }
    for (const auto& name : unlisted_shares(config)) {
        SrvsvcShare share;
        // A share the configuration names but the server does not offer
        // (a path that is gone) is not offered: it is not listed.
        if (names.count(name) == 0 && source_->share(name, share) == kSuccess)
            out.push_back(share_record(share));
    }
    return kSuccess;
}

bool SambaNetManagement::without_account(std::uint32_t srvsvc_status) {
    return srvsvc_status == kNotAuthenticated && !source_->remote();
}

std::uint32_t SambaNetManagement::take_configured_shares(const std::vector<ConfigSection>& config,
                                                         std::vector<ShareInfo>& out) {
    Fetched connects = source_->tree_connects_report();
    if (connects.status != kSuccess)
        return connects.status;
    std::vector<ConfigSection> usershares;
    if (usershares_enabled(config)) {
        Fetched listed = source_->usershares_report();
        if (listed.status != kSuccess)
            return listed.status;
        usershares = parse_config(listed.text);
    }
    const Status status = parse_status_report(connects.text);
    for (const auto& share : shares_from_config(config, usershares, status.tree_connects, status.version))
        out.push_back(share_record(share));
    return kSuccess;
}

std::uint32_t SambaNetManagement::take_listed_opens(std::vector<SrvsvcOpen>& out, std::vector<LockOwner>& owners) {
    std::vector<std::string> share_paths;
    {
        std::lock_guard<std::mutex> lock(config_mutex_);
        share_paths = share_paths_;
    }
    std::vector<ListedOpen> listed;
    {
        // Megabytes at scale: gone before the records are made.
        Fetched listing = source_->lock_listing();
        if (listing.status != kSuccess)
            return listing.status;
        listed = parse_lock_listing(listing.text, share_paths);
    }
    const std::vector<std::uint32_t> ids = listed_open_ids(listed);
    std::unordered_map<std::uint32_t, std::string> names;
    std::unordered_map<std::uint32_t, std::uint32_t> pids;
    out.clear();
    owners.clear();
    out.reserve(listed.size());
    owners.reserve(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const LockOwner& owner = listed[i].owner;
        auto name = names.find(owner.uid);
        if (name == names.end())
            name = names.emplace(owner.uid, source_->user_name(owner.uid)).first;
        out.push_back(listed_open_record(listed[i], ids[i], name->second));
        owners.push_back(owner);
        pids.emplace(ids[i], owner.pid);
    }
    std::lock_guard<std::mutex> lock(listed_mutex_);
    listed_pids_ = std::move(pids);
    return kSuccess;
}

bool SambaNetManagement::list_ahead_of_srvsvc(std::vector<SrvsvcOpen>& out, std::vector<LockOwner>& owners) {
    if (listed_once_.exchange(true))
        return false;
    // Only with an account that works: a refused one is told by srvsvc.
    SrvsvcShare interprocess;
    if (source_->share("IPC$", interprocess) != kSuccess)
        return false;
    try {
        if (take_listed_opens(out, owners) != kSuccess)
            return false;
    } catch (const StatusFormatError&) {
        return false;  // srvsvc lists instead
    }
    ++listings_ahead_;
    return true;
}

std::uint32_t SambaNetManagement::srvsvc_opens(std::vector<SrvsvcOpen>& out) {
    const std::uint32_t status = source_->open_files(out);
    if (status == kSuccess)
        took_server_ids();
    listed_once_ = true;
    return status;
}

void SambaNetManagement::took_server_ids() {
    listed_once_ = true;
    // One of the server's ids may equal an id of ours from before, which
    // must not send its close down that route.
    std::lock_guard<std::mutex> lock(listed_mutex_);
    listed_pids_.clear();
}

bool SambaNetManagement::database_opens(std::vector<SrvsvcOpen>& out) {
    SrvsvcShare interprocess;
    if (source_->share("IPC$", interprocess) != kSuccess)
        return false;
    std::optional<std::vector<DatabaseOpen>> read = source_->database_opens();
    if (!read)
        return false;
    std::unordered_map<std::uint32_t, std::string> names;
    out.clear();
    out.reserve(read->size());
    for (const DatabaseOpen& o : *read) {
        auto name = names.find(o.open.owner.uid);
        if (name == names.end())
            name = names.emplace(o.open.owner.uid, source_->user_name(o.open.owner.uid)).first;
        out.push_back(listed_open_record(o.open, o.id, name->second));
    }
    return true;
}

std::uint32_t SambaNetManagement::server_opens(std::vector<SrvsvcOpen>& out) {
    if (!database_opens(out))
        return srvsvc_opens(out);
    took_server_ids();
    return kSuccess;
}

std::uint32_t SambaNetManagement::read_status(Status& out) {
    Fetched sessions = source_->sessions_report();
    if (sessions.status != kSuccess)
        return sessions.status;
    Fetched connects = source_->tree_connects_report();
    if (connects.status != kSuccess)
        return connects.status;
    out = parse_status_report(sessions.text);
    Status tree = parse_status_report(connects.text);
    out.tree_connects = std::move(tree.tree_connects);
    out.taken_at = std::max(out.taken_at, tree.taken_at);
    return kSuccess;
}

std::uint32_t SambaNetManagement::count_opens(const Status& status, std::uint32_t opens_status,
                                              const std::vector<SrvsvcOpen>& opens, OpenCounts& out) {
    if (opens_status == kSuccess) {
        if (auto counts = open_counts_from_ids(status, opens)) {
            out = std::move(*counts);
            return kSuccess;
        }
    }
    // Without the srvsvc list, or when its ids cannot say whose an open is,
    // the lock listing counts exactly (and costs more).
    Fetched listing = source_->lock_listing();
    if (listing.status != kSuccess)
        return listing.status;
    out = open_counts_from_owners(status, parse_lock_owners(listing.text));
    return kSuccess;
}

std::uint32_t SambaNetManagement::take_remote_sessions(std::vector<SessionInfo>& out) {
    // srvsvc counts each session's opens itself: the pass's open-file
    // enumeration asks for the opens on its own.
    std::vector<srvsvc::Session> sessions;
    if (std::uint32_t code = source_->srvsvc_sessions(sessions))
        return code;
    out = srvsvc_session_records(sessions, source_->monitor_account());
    return kSuccess;
}

std::uint32_t SambaNetManagement::take_sessions(std::vector<SessionInfo>& out) {
    if (source_->remote())
        return take_remote_sessions(out);
    std::vector<ConfigSection> config;
    if (std::uint32_t code = read_config(false, config))
        return code;
    std::vector<SrvsvcOpen> opens;
    std::vector<LockOwner> owners;
    const bool from_database = database_opens(opens);
    if (from_database)
        took_server_ids();
    const bool listed = !from_database && list_ahead_of_srvsvc(opens, owners);
    std::uint32_t opens_status = from_database || listed ? kSuccess : srvsvc_opens(opens);
    Status status;
    if (std::uint32_t code = read_status(status))
        return code;
    OpenCounts counts;
    if (listed) {
        counts = open_counts_from_owners(status, owners);
    } else if (without_account(opens_status)) {
        // One lock listing gives both the opens and their sessions' counts.
        if (std::uint32_t code = take_listed_opens(opens, owners))
            return code;
        opens_status = kSuccess;
        counts = open_counts_from_owners(status, owners);
    } else if (std::uint32_t code = count_opens(status, opens_status, opens, counts)) {
        return code;
    }
    HiddenSessions hidden;
    {
        std::lock_guard<std::mutex> lock(config_mutex_);
        hidden.guest_account = settings_.guest_account;
    }
    hidden.monitor_account = source_->monitor_account();
    out = session_records(status, counts, hidden);

    std::lock_guard<std::mutex> lock(pass_mutex_);
    pass_opens_status_ = opens_status;
    pass_opens_ = std::move(opens);
    pass_opens_waiting_ = true;
    return kSuccess;
}

std::uint32_t SambaNetManagement::take_open_files(std::vector<OpenFileInfo>& out) {
    std::uint32_t status;
    std::vector<SrvsvcOpen> opens;
    {
        std::lock_guard<std::mutex> lock(pass_mutex_);
        if (pass_opens_waiting_) {
            pass_opens_waiting_ = false;
            status = pass_opens_status_;
            opens = std::move(pass_opens_);
            pass_opens_.clear();
        } else {
            std::vector<ConfigSection> config;
            status = read_config(false, config);
            if (status == kSuccess)
                status = server_opens(opens);
            std::vector<LockOwner> owners;
            if (without_account(status))
                status = take_listed_opens(opens, owners);
        }
    }
    if (status != kSuccess)
        return status;
    out.reserve(opens.size());
    for (const auto& o : opens)
        out.push_back(open_file_record(o));
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

std::optional<std::uint64_t> SambaNetManagement::change_token() {
    std::optional<std::uint64_t> token;
    const std::uint32_t status = guarded([&] {
        token = source_->state_token();
        return kSuccess;
    });
    // Without a token every pass enumerates, which reports what went wrong.
    // A listing with ids of ours moves it: the pass after it lists with the
    // server's ids, and the one after that finds nothing changed.
    if (status != kSuccess || !token)
        return std::nullopt;
    return *token * 31 + listings_ahead_;
}

std::uint32_t SambaNetManagement::close_open_file(const OpenFileInfo& asked) {
    return guarded([&]() -> std::uint32_t {
        std::vector<ConfigSection> config;
        if (std::uint32_t code = read_config(false, config))
            return code;
        // A fresh look, so the identifier names an open that still exists.
        std::vector<SrvsvcOpen> opens;
        if (!database_opens(opens))
            if (std::uint32_t code = source_->open_files(opens))
                return code;
        std::uint32_t id = asked.id;
        if (std::uint32_t code = srvsvc_id_of_listed(asked, opens, id))
            return code;
        const auto named_by_id = [&](const SrvsvcOpen& o) { return o.id == id; };
        const auto named = std::count_if(opens.begin(), opens.end(), named_by_id);
        if (named == 0)
            return kFileIdNotFound;
        // Samba closes every open its id names: refuse rather than close
        // another client's file as well.
        if (named > 1)
            return kNotSupported;
        // Compared as the list shows them, so the row's own texts match.
        const OpenFileInfo now = to_cells(open_file_record(*std::find_if(opens.begin(), opens.end(), named_by_id)));
        if (now.path != asked.path || now.user != asked.user)
            return kFileChanged;
        return source_->close_file(id);
    });
}

std::uint32_t SambaNetManagement::srvsvc_id_of_listed(const OpenFileInfo& asked, const std::vector<SrvsvcOpen>& opens,
                                                      std::uint32_t& out) {
    std::uint32_t pid;
    {
        std::lock_guard<std::mutex> lock(listed_mutex_);
        auto listed = listed_pids_.find(asked.id);
        if (listed == listed_pids_.end())
            return kSuccess;
        pid = listed->second;
    }
    // The row came from the lock listing, the account was set up since: the
    // open is its process's one with the row's texts, if only one is.
    std::size_t named = 0;
    for (const auto& o : opens) {
        const OpenFileInfo now = to_cells(open_file_record(o));
        if ((o.id >> 16) == (pid & 0xFFFFu) && now.path == asked.path && now.user == asked.user) {
            out = o.id;
            ++named;
        }
    }
    return named == 0 ? kFileIdNotFound : named > 1 ? kNotSupported : kSuccess;
}

namespace {

bool same_row(const SessionInfo& record, const SessionInfo& asked) {
    const SessionInfo now = to_cells(record);
    return now.user == asked.user && now.computer == asked.computer;
}

}  // namespace

std::uint32_t SambaNetManagement::end_local_session(const SessionInfo& asked) {
    Status status;
    if (std::uint32_t code = read_status(status))
        return code;
    std::set<std::uint32_t> processes;
    for (const auto& s : status.sessions)
        if (same_row(SessionInfo{s.user, s.remote_machine, 0, 0, 0}, asked))
            processes.insert(s.process.pid);
    if (processes.empty())
        return kClientNameNotFound;
    for (std::uint32_t pid : processes)
        if (std::uint32_t code = source_->end_process(pid))
            return code;
    return kSuccess;
}

std::uint32_t SambaNetManagement::disconnect_session(const SessionInfo& asked) {
    return guarded([&]() -> std::uint32_t {
        std::vector<ConfigSection> config;
        if (std::uint32_t code = read_config(false, config))
            return code;
        if (!source_->remote()) {
            // Without root the status tool cannot name the process.
            const std::uint32_t code = end_local_session(asked);
            if (code != kAccessDenied)
                return code;
        }
        // A fresh look gives the texts as the server spells them.
        std::vector<srvsvc::Session> sessions;
        if (std::uint32_t code = source_->srvsvc_sessions(sessions))
            return code;
        for (const auto& s : sessions)
            if (same_row(SessionInfo{s.user, s.client, 0, 0, 0}, asked))
                return source_->delete_session(s.client, s.user);
        return kClientNameNotFound;
    });
}

}  // namespace samba
}  // namespace netmgmt
