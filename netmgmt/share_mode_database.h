// The opens of a local Samba server read from its share-mode database
// (locking.tdb) as Samba 4.17 writes it: the same opens, ids and paths its
// srvsvc NetFileEnum answers, without the server walking and encoding them.
// A record that does not read as that layout (another Samba version) rejects
// the whole listing: the caller asks srvsvc instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "netmgmt/samba_status.h"

namespace netmgmt {
namespace samba {

struct DatabaseOpen {
    ListedOpen open;       // deny mode and time left empty
    std::uint32_t id = 0;  // srvsvc's: the smbd's pid << 16 | the open's share file id
};

// Adds the opens of one record (its key and value as tdb gives them) to
// `out`; false when it does not read as the layout known.
bool add_share_mode_record(const unsigned char* key, std::size_t key_size, const unsigned char* value,
                           std::size_t value_size, std::vector<DatabaseOpen>& out);

}  // namespace samba
}  // namespace netmgmt
