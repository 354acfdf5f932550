#include "netmgmt/samba_paging.h"

#include "common/code_page.h"

namespace netmgmt {
namespace samba {
namespace {

// sizeof SHARE_INFO_2, SESSION_INFO_502 and FILE_INFO_3 with 8-byte pointers.
constexpr std::size_t kShareInfo2 = 56;
constexpr std::size_t kSessionInfo502 = 48;
constexpr std::size_t kFileInfo3 = 32;
constexpr std::size_t kEmptyString = 2;

}  // namespace

std::size_t utf16_bytes(const std::string& utf8) {
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80)
            ++units;  // a character starts here
        if ((c & 0xF8) == 0xF0)
            ++units;  // four-byte sequences need a surrogate pair
    }
    return (units + 1) * 2;
}

std::size_t buffer_bytes(const ShareInfo& r) {
    return kShareInfo2 + utf16_bytes(r.name) + utf16_bytes(r.path) + utf16_bytes(r.remark) + kEmptyString;
}

std::size_t buffer_bytes(const SessionInfo& r) {
    // Client type and transport are empty strings here.
    return kSessionInfo502 + utf16_bytes(r.user) + utf16_bytes(r.computer) + 2 * kEmptyString;
}

std::size_t buffer_bytes(const OpenFileInfo& r) { return kFileInfo3 + utf16_bytes(r.path) + utf16_bytes(r.user); }

ShareInfo to_cells(const ShareInfo& r) {
    return {codepage::utf8_to_cell(r.name), codepage::utf8_to_cell(r.path), r.current_uses,
            codepage::utf8_to_cell(r.remark)};
}

SessionInfo to_cells(const SessionInfo& r) {
    return {codepage::utf8_to_cell(r.user), codepage::utf8_to_cell(r.computer), r.opens, r.seconds_connected,
            r.seconds_idle};
}

OpenFileInfo to_cells(const OpenFileInfo& r) {
    return {r.id, r.permissions, codepage::utf8_to_cell(r.path), codepage::utf8_to_cell(r.user)};
}

}  // namespace samba
}  // namespace netmgmt
