// The Samba administrator account for closing opens, from a root-only file of
// lines "username=NAME" and "password=SECRET" (blank lines and lines starting
// with '#' or ';' are ignored; so are other keys, such as domain).
#pragma once

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

}  // namespace samba
}  // namespace netmgmt
