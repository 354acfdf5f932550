#include "netmgmt/samba_records.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

namespace netmgmt {
namespace samba {
namespace {

enum : std::uint32_t {
    kPermRead = 0x1,
    kPermWrite = 0x2,
    kWindowsRead = 0x1,
    kWindowsReadWrite = 0x23,
    kWindowsWrite = 0x32,
    kShareTypeMask = 0xFF,
    kShareTypeIpc = 3,
    kShareTypePrint = 1,
    kShareTypeHidden = 0x80000000,
    kFnvBasis = 2166136261u,
    kFnvPrime = 16777619u,
};

std::uint32_t clamp_seconds(std::int64_t s) {
    if (s < 0)
        return 0;
    return s > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<std::uint32_t>(s);
}

bool is_ipc(const std::string& service) {
    return service.size() == 4 && std::toupper(static_cast<unsigned char>(service[0])) == 'I' &&
           std::toupper(static_cast<unsigned char>(service[1])) == 'P' &&
           std::toupper(static_cast<unsigned char>(service[2])) == 'C' && service[3] == '$';
}

// srvsvc's form of a local path: "C:" before it, backslashes.
std::string srvsvc_path(const std::string& path) {
    std::string out = "C:" + path;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

void hash_into(std::uint32_t& hash, const std::string& text) {
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    hash = (hash ^ 0xFFu) * kFnvPrime;  // ends the field: "ab","c" is not "a","bc"
}

bool same_share_name(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string windows_path(const std::string& srvsvc_path) {
    if (srvsvc_path.size() < 2 || srvsvc_path[1] != ':')
        return srvsvc_path;
    return "Z" + srvsvc_path.substr(1);
}

std::uint32_t windows_open_mode(std::uint32_t srvsvc_permissions) {
    switch (srvsvc_permissions & (kPermRead | kPermWrite)) {
    case kPermRead:
        return kWindowsRead;
    case kPermRead | kPermWrite:
        return kWindowsReadWrite;
    case kPermWrite:
        return kWindowsWrite;
    default:
        return srvsvc_permissions;
    }
}

bool is_interprocess(const SrvsvcShare& share) { return (share.type & kShareTypeMask) == kShareTypeIpc; }

ShareInfo share_record(const SrvsvcShare& share) {
    return {share.name, is_interprocess(share) ? std::string() : windows_path(share.path), share.current_uses,
            share.remark};
}

OpenFileInfo open_file_record(const SrvsvcOpen& open) {
    return {open.id, windows_open_mode(open.permissions), windows_path(open.path), open.user};
}

SrvsvcOpen listed_open_record(const ListedOpen& open, std::uint32_t id, const std::string& user) {
    // srvsvc names the share's folder itself without a name after it.
    const std::string path = open.name == "." ? open.share_path : open.share_path + "/" + open.name;
    return {id, open.access_mask & (kPermRead | kPermWrite), srvsvc_path(path), user};
}

std::vector<std::uint32_t> listed_open_ids(const std::vector<ListedOpen>& opens) {
    std::vector<std::uint32_t> ids;
    ids.reserve(opens.size());
    std::unordered_map<std::uint32_t, bool> taken;
    taken.reserve(opens.size());
    for (const auto& o : opens) {
        std::uint32_t id = kFnvBasis;
        for (const std::string& field : {std::to_string(o.owner.pid), std::to_string(o.owner.uid), o.share_path, o.name,
                                         std::to_string(o.access_mask), o.deny_mode, o.opened})
            hash_into(id, field);
        while (id == 0 || !taken.emplace(id, true).second)
            ++id;
        ids.push_back(id);
    }
    return ids;
}

std::vector<SrvsvcShare> shares_from_config(const std::vector<ConfigSection>& config,
                                            const std::vector<ConfigSection>& usershares,
                                            const std::vector<TreeConnect>& connects, const std::string& version) {
    std::vector<SrvsvcShare> shares;
    const auto add = [&](const ConfiguredShare& c) {
        std::string remark = c.comment;
        for (const auto& [code, value] : {std::make_pair("%S", c.name), std::make_pair("%v", version)})
            for (std::size_t at = remark.find(code); at != std::string::npos; at = remark.find(code, at + value.size()))
                remark.replace(at, 2, value);
        shares.push_back({c.name, srvsvc_path(c.path), remark, c.printable ? kShareTypePrint : 0u, 0});
    };
    const auto configured = configured_shares(config);
    for (const auto& c : configured)
        if (c.browseable)
            add(c);
    // Samba adds the interprocess share after the configured ones.
    shares.push_back(
        {"IPC$", "", "IPC Service (" + server_string(config, version) + ")", kShareTypeIpc | kShareTypeHidden, 0});
    for (const auto& c : configured_shares(usershares))
        add(c);
    for (const auto& c : configured)
        if (!c.browseable)
            add(c);
    for (const auto& t : connects)
        for (auto& s : shares)
            if (same_share_name(s.name, t.service)) {
                ++s.current_uses;
                break;
            }
    return shares;
}

std::optional<OpenCounts> open_counts_from_ids(const Status& status, const std::vector<SrvsvcOpen>& opens) {
    std::map<std::pair<std::uint32_t, std::string>, const Session*> sessions;
    for (const auto& s : status.sessions)
        if (!sessions.emplace(std::make_pair(s.process.pid & 0xFFFFu, s.user), &s).second)
            return std::nullopt;
    OpenCounts counts;
    for (const auto& o : opens) {
        auto it = sessions.find({o.id >> 16, o.user});
        if (it == sessions.end())
            return std::nullopt;
        ++counts[it->second->session_id];
    }
    return counts;
}

OpenCounts open_counts_from_owners(const Status& status, const std::vector<LockOwner>& owners) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> by_owner;
    for (const auto& o : owners)
        ++by_owner[{o.pid, o.uid}];
    OpenCounts counts;
    for (const auto& s : status.sessions) {
        auto it = by_owner.find({s.process.pid, s.uid});
        if (it != by_owner.end())
            counts[s.session_id] = it->second;
    }
    return counts;
}

std::vector<SessionInfo> session_records(const Status& status, const OpenCounts& opens, const HiddenSessions& hidden) {
    struct Connects {
        std::int64_t first = 0;
        bool share = false;  // reaches a share other than IPC$
    };
    std::unordered_map<std::string, Connects> connects;
    for (const auto& t : status.tree_connects) {
        auto [it, added] = connects.emplace(t.session_id, Connects{t.connected_at, false});
        if (!added)
            it->second.first = std::min(it->second.first, t.connected_at);
        it->second.share = it->second.share || !is_ipc(t.service);
    }

    std::vector<SessionInfo> out;
    out.reserve(status.sessions.size());
    for (const auto& s : status.sessions) {
        auto c = connects.find(s.session_id);
        const bool share = c != connects.end() && c->second.share;
        if (!share && (s.user == hidden.guest_account || s.user == hidden.monitor_account))
            continue;
        SessionInfo info;
        info.user = s.user;
        info.computer = s.remote_machine;
        auto o = opens.find(s.session_id);
        info.opens = o == opens.end() ? 0 : o->second;
        info.seconds_connected = c == connects.end() ? 0 : clamp_seconds(status.taken_at - c->second.first);
        info.seconds_idle = 0;
        out.push_back(std::move(info));
    }
    return out;
}

std::vector<SessionInfo> srvsvc_session_records(const std::vector<srvsvc::Session>& sessions,
                                                const std::string& monitor_account) {
    std::vector<SessionInfo> out;
    out.reserve(sessions.size());
    for (const auto& s : sessions) {
        if (s.user == monitor_account && s.opens == 0)
            continue;
        const std::uint32_t connected = s.seconds_connected == 0xFFFFFFFF ? 0 : s.seconds_connected;
        out.push_back({s.user, s.client, s.opens, connected, s.seconds_idle});
    }
    return out;
}

}  // namespace samba
}  // namespace netmgmt
