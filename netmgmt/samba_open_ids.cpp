#include "netmgmt/samba_open_ids.h"

#include <tuple>

namespace netmgmt {
namespace samba {

bool OpenKey::operator<(const OpenKey& o) const {
    return std::tie(process.pid, process.unique_id, share_file_id) <
           std::tie(o.process.pid, o.process.unique_id, o.share_file_id);
}

OpenKey key_of(const Open& open) { return {open.process, open.share_file_id}; }

std::uint32_t srvsvc_file_id(const OpenKey& key) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(key.process.pid) << 16) | key.share_file_id);
}

std::vector<std::uint32_t> OpenIdRegistry::refresh(const std::vector<Open>& live) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::map<OpenKey, std::uint32_t> kept;
    for (const Open& open : live) {
        const OpenKey key = key_of(open);
        auto it = ids_.find(key);
        if (it != ids_.end())
            kept.insert(*it);
    }
    ids_.swap(kept);
    owners_.clear();
    for (const auto& [key, id] : ids_)
        owners_.emplace(id, key);

    std::vector<std::uint32_t> result;
    result.reserve(live.size());
    for (const Open& open : live) {
        const OpenKey key = key_of(open);
        auto it = ids_.find(key);
        if (it == ids_.end()) {
            // 0 is skipped: the monitor reads an identifier without digits as 0.
            std::uint32_t id = srvsvc_file_id(key);
            while (id == 0 || owners_.count(id))
                ++id;
            it = ids_.emplace(key, id).first;
            owners_.emplace(id, key);
        }
        result.push_back(it->second);
    }
    return result;
}

std::optional<OpenKey> OpenIdRegistry::find(std::uint32_t id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = owners_.find(id);
    if (it == owners_.end())
        return std::nullopt;
    return it->second;
}

}  // namespace samba
}  // namespace netmgmt
