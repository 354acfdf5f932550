// The opens of a local Samba server read from its share-mode database
// (locking.tdb) as Samba 4.17 writes it: the same opens, ids and paths its
// srvsvc NetFileEnum answers, without the server walking and encoding them.
// Any record that does not read as that layout (another Samba version, or a
// record caught while being written) rejects the whole image: the caller
// asks srvsvc instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "netmgmt/samba_status.h"

namespace netmgmt {
namespace samba {

struct DatabaseOpen {
    ListedOpen open;       // deny mode and time left empty
    std::uint32_t id = 0;  // srvsvc's: the smbd's pid << 16 | the open's share file id
};

// Every open of a locking.tdb image (`size` bytes from its start), in the
// file's order; nothing when the image is not of the layout known.
std::optional<std::vector<DatabaseOpen>> parse_share_mode_database(const unsigned char* image, std::size_t size);

}  // namespace samba
}  // namespace netmgmt
