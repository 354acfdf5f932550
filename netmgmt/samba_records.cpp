#include "netmgmt/samba_records.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>
#include <unordered_map>

namespace netmgmt {
namespace samba {
namespace {

enum : std::uint32_t {
    kFileReadData = 0x1,
    kFileWriteData = 0x2,
    kFileAppendData = 0x4,
    kPermFileRead = 0x1,
    kPermFileWrite = 0x2,
};

bool same_name(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::uint32_t clamp_seconds(std::int64_t s) {
    if (s < 0)
        return 0;
    return s > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<std::uint32_t>(s);
}

// The uid's name as a session of the report shows it, else the number.
std::string user_of(const Open& open, const std::unordered_map<std::uint32_t, std::string>& names) {
    if (!open.user.empty())
        return open.user;
    auto it = names.find(open.uid);
    return it != names.end() ? it->second : std::to_string(open.uid);
}

}  // namespace

std::uint32_t permissions_of(std::uint32_t access_mask) {
    std::uint32_t p = 0;
    if (access_mask & kFileReadData)
        p |= kPermFileRead;
    if (access_mask & (kFileWriteData | kFileAppendData))
        p |= kPermFileWrite;
    return p;
}

std::vector<ShareInfo> share_records(const std::vector<ShareEntry>& shares, const Status& status) {
    std::vector<ShareInfo> out;
    out.reserve(shares.size());
    for (const auto& share : shares) {
        auto uses = std::count_if(status.tree_connects.begin(), status.tree_connects.end(),
                                  [&](const TreeConnect& t) { return same_name(t.service, share.name); });
        out.push_back({share.name, share.path, static_cast<std::uint32_t>(uses), share.remark});
    }
    return out;
}

std::vector<SessionInfo> session_records(const Status& status) {
    std::map<std::tuple<std::uint32_t, std::uint64_t, std::uint32_t>, std::uint32_t> opens;
    for (const auto& o : status.opens)
        ++opens[{o.process.pid, o.process.unique_id, o.uid}];
    std::unordered_map<std::string, std::int64_t> first_connect;
    for (const auto& t : status.tree_connects) {
        auto [it, added] = first_connect.emplace(t.session_id, t.connected_at);
        if (!added)
            it->second = std::min(it->second, t.connected_at);
    }

    std::vector<SessionInfo> out;
    out.reserve(status.sessions.size());
    for (const auto& s : status.sessions) {
        SessionInfo info;
        info.user = s.user;
        info.computer = s.remote_machine;
        auto o = opens.find({s.process.pid, s.process.unique_id, s.uid});
        info.opens = o == opens.end() ? 0 : o->second;
        auto c = first_connect.find(s.session_id);
        info.seconds_connected = c == first_connect.end() ? 0 : clamp_seconds(status.taken_at - c->second);
        info.seconds_idle = 0;
        out.push_back(std::move(info));
    }
    return out;
}

std::vector<OpenFileInfo> open_file_records(const Status& status, OpenIdRegistry& ids) {
    std::unordered_map<std::uint32_t, std::string> names;
    for (const auto& s : status.sessions)
        names.emplace(s.uid, s.user);
    const std::vector<std::uint32_t> id = ids.refresh(status.opens);
    std::vector<OpenFileInfo> out;
    out.reserve(status.opens.size());
    for (std::size_t i = 0; i < status.opens.size(); ++i) {
        const Open& o = status.opens[i];
        out.push_back({id[i], permissions_of(o.access_mask), o.path, user_of(o, names)});
    }
    return out;
}

}  // namespace samba
}  // namespace netmgmt
