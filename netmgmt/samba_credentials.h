// The Samba administrator account for closing opens, from a root-only file of
// lines "username=NAME" and "password=SECRET" (blank lines and lines starting
// with '#' or ';' are ignored; so are other keys, such as domain).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// kSuccess, or kInvalidParameter for an account no server takes and no
// account file can hold: an empty name, a control character (a line break
// would start another line of the file) in the name or the password, or a
// colon in the name (where tools read "name:password").
std::uint32_t account_refusal(const Credentials& account);

// The account file's text for an account account_refusal() takes; nothing
// when a reader would not get the password back as it is (leading blanks are
// not part of a value).
std::optional<std::string> account_file_text(const Credentials& account);

// The name a server's account file goes under: the server's name in lower
// case (host names ignore case) and ".conf", "localhost.conf" for the
// computer itself (""); nothing for a name that is not a plain host name or
// address, so no name can reach outside the accounts' folder.
std::optional<std::string> server_account_file(const std::string& server);

// Where accounts are looked for, as the process's environment gives it.
struct AccountPlaces {
    std::string variable;     // FILVANE_SAMBA_CREDENTIALS; empty when unset
    std::string config_home;  // XDG_CONFIG_HOME; used only when absolute
    std::string home;         // the user's home folder
};

// The folder the user's remembered accounts go in (CONFIG/filvane/servers,
// CONFIG being XDG_CONFIG_HOME or ~/.config); empty without either.
std::string remembered_accounts_folder(const AccountPlaces& places);

// The files `server`'s account is read from, the first that exists being the
// one used: the variable's file alone when it is set; otherwise the account
// the user remembered for that server, the one the administrator placed for
// it (/etc/filvane/servers/NAME.conf) and the administrator's account for
// every server (/etc/filvane/samba-admin.conf).
std::vector<std::string> account_files(const std::string& server, const AccountPlaces& places);

}  // namespace samba
}  // namespace netmgmt
