#include "netmgmt/samba_opens_left.h"

#include <algorithm>
#include <utility>

#include "netmgmt/tdb_fingerprint.h"

namespace netmgmt {
namespace samba {
namespace {

// srvsvc ids keep the low 16 bits of the process id only. A 64-bit hash
// stands for the whole key: at 50,000 opens the keys themselves would be
// megabytes, and the chance that two of them meet is some 1 in 10^10.
std::uint64_t open_key(std::uint32_t pid, const SrvsvcOpen& open) {
    ContentHash hash;
    const std::uint32_t numbers[] = {pid & 0xFFFFu, open.permissions, static_cast<std::uint32_t>(open.user.size())};
    hash.add(reinterpret_cast<const unsigned char*>(numbers), sizeof numbers);
    hash.add(reinterpret_cast<const unsigned char*>(open.user.data()), open.user.size());
    hash.add(reinterpret_cast<const unsigned char*>(open.path.data()), open.path.size());
    return hash.value();
}

bool by_key(const KeptOpen& a, const KeptOpen& b) { return a.key < b.key || (a.key == b.key && a.id < b.id); }

}  // namespace

std::vector<KeptOpen> kept_opens(const std::vector<SrvsvcOpen>& srvsvc_listed) {
    std::vector<KeptOpen> kept;
    kept.reserve(srvsvc_listed.size());
    for (const auto& open : srvsvc_listed)
        kept.push_back({open_key(open.id >> 16, open), open.id});
    std::sort(kept.begin(), kept.end(), by_key);
    return kept;
}

std::vector<std::size_t> name_listed_opens(std::vector<KeptOpen>& kept, std::vector<SrvsvcOpen>& listed,
                                           const std::vector<LockOwner>& owners) {
    // The listing's keys in the same order as the kept ones (id: its row).
    std::vector<KeptOpen> rows;
    rows.reserve(listed.size());
    for (std::size_t i = 0; i < listed.size() && i < owners.size(); ++i)
        rows.push_back({open_key(owners[i].pid, listed[i]), static_cast<std::uint32_t>(i)});
    std::sort(rows.begin(), rows.end(), by_key);

    std::vector<KeptOpen> named;
    named.reserve(rows.size());
    std::vector<std::size_t> unnamed;
    auto k = kept.begin();
    for (auto r = rows.begin(); r != rows.end();) {
        const std::uint64_t key = r->key;
        while (k != kept.end() && k->key < key)
            ++k;  // all of these went
        auto k_end = k;
        while (k_end != kept.end() && k_end->key == key)
            ++k_end;
        auto r_end = r;
        while (r_end != rows.end() && r_end->key == key)
            ++r_end;
        const bool known = r_end - r == k_end - k;
        for (; r != r_end; ++r) {
            if (known) {
                listed[r->id].id = k->id;
                named.push_back(*k++);
            } else {
                unnamed.push_back(r->id);
            }
        }
        k = k_end;
    }
    // Ours may meet one the server gave: moved on to one that is free.
    std::vector<std::uint32_t> taken;
    taken.reserve(listed.size());
    for (const auto& n : named)
        taken.push_back(n.id);
    std::sort(taken.begin(), taken.end());
    std::vector<std::uint32_t> ours;
    for (std::size_t row : unnamed) {
        std::uint32_t& id = listed[row].id;
        while (id == 0 || std::binary_search(taken.begin(), taken.end(), id) ||
               std::find(ours.begin(), ours.end(), id) != ours.end())
            ++id;
        ours.push_back(id);
    }
    std::sort(unnamed.begin(), unnamed.end());
    kept = std::move(named);
    return unnamed;
}

}  // namespace samba
}  // namespace netmgmt
