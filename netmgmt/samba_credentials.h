// The Samba administrator account for closing opens, from a root-only file of
// lines "username=NAME" and "password=SECRET" (blank lines and lines starting
// with '#' or ';' are ignored; so are other keys, such as domain).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace netmgmt {
namespace samba {

struct Credentials {
    std::string user;
    std::string password;
};

// nullopt unless both a user name and a password are given.
std::optional<Credentials> parse_credentials(const std::string& text);

// True when the file's mode lets its group or others read or change it.
bool exposed(unsigned mode);

// What the system says of the account file itself, a link not followed.
struct AccountFileFacts {
    bool symbolic_link = false;
    bool regular = true;
    unsigned owner = 0;
    unsigned mode = 0600;
    long long size = 0;
};

// An account file holds two short lines: anything larger is not one.
constexpr long long kMaxAccountFileSize = 4096;

// kSuccess, or the one cause (a netmgmt code) that makes the file unusable:
// a link, not a plain file, owned by neither root nor `running_user`, open
// to others, too large, or empty.
std::uint32_t account_file_refusal(const AccountFileFacts& facts, unsigned running_user);

// The account from the file's text; kBadFormat when a line is missing.
std::uint32_t read_account(const std::string& text, Credentials& out);

}  // namespace samba
}  // namespace netmgmt
