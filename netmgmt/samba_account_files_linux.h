// The account files on disk: each read through one descriptor, a link not
// followed, so what is checked is what is read; the user's remembered
// accounts written so that a reader sees the old account or the new one,
// never a part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "netmgmt/samba_credentials.h"

namespace netmgmt {
namespace samba {

// The places this process's environment gives (the home folder from the
// user database when HOME is unset).
AccountPlaces account_places();

// `path`'s account: kFileNotFound when there is no such file, so the next
// place is tried; otherwise kSuccess or why the file is refused.
std::uint32_t read_account_file(const std::string& path, Credentials& out);

// The account of the first of `paths` that exists; kNotAuthenticated when
// none does. A file that exists but is refused is not passed over: its
// cause is the answer.
std::uint32_t read_first_account(const std::vector<std::string>& paths, Credentials& out);

// Stores `account` as `folder`/`name`, mode 600: a new file made with
// O_EXCL and renamed over the old one. The folder and its missing parents
// are made mode 700; an existing folder must be the user's own and not a
// link, and is closed to others. kSuccess or the cause.
std::uint32_t write_account_file(const std::string& folder, const std::string& name, const Credentials& account);

}  // namespace samba
}  // namespace netmgmt
