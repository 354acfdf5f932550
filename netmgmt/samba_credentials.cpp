#include "netmgmt/samba_credentials.h"

#include "netmgmt/net_management.h"

namespace netmgmt {
namespace samba {
namespace {

bool space(char c) { return c == ' ' || c == '\t'; }

bool has_control(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// NetBIOS names may hold '_' as well.
bool host_name_character(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

constexpr char kAdminAccountsFolder[] = "/etc/filvane/servers";
constexpr char kAdminAccount[] = "/etc/filvane/samba-admin.conf";

}  // namespace

std::optional<Credentials> parse_credentials(const std::string& text) {
    Credentials c;
    bool have_user = false, have_password = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t b = 0;
        while (b < line.size() && space(line[b]))
            ++b;
        if (b == line.size() || line[b] == '#' || line[b] == ';')
            continue;
        const std::size_t eq = line.find('=', b);
        if (eq == std::string::npos)
            continue;
        std::size_t e = eq;
        while (e > b && space(line[e - 1]))
            --e;
        const std::string key = line.substr(b, e - b);
        // The value is taken as written after leading blanks, as Samba's
        // own authentication files are, so a password may end in a blank.
        std::size_t v = eq + 1;
        while (v < line.size() && space(line[v]))
            ++v;
        const std::string value = line.substr(v);
        if (key == "username") {
            c.user = value;
            have_user = !value.empty();
        } else if (key == "password") {
            c.password = value;
            have_password = true;
        }
    }
    if (!have_user || !have_password)
        return std::nullopt;
    return c;
}

bool exposed(unsigned mode) { return (mode & 077) != 0; }

std::uint32_t account_file_refusal(const AccountFileFacts& facts, unsigned running_user) {
    if (facts.symbolic_link)
        return kSymbolicLink;
    if (!facts.regular)
        return kNotRegularFile;
    if (facts.owner != 0 && facts.owner != running_user)
        return kInvalidOwner;
    if (exposed(facts.mode))
        return kExposedFile;
    if (facts.size > kMaxAccountFileSize)
        return kFileTooLarge;
    if (facts.size == 0)
        return kHandleEof;
    return kSuccess;
}

std::uint32_t read_account(const std::string& text, Credentials& out) {
    auto parsed = parse_credentials(text);
    if (!parsed)
        return kBadFormat;
    out = std::move(*parsed);
    return kSuccess;
}

std::uint32_t account_refusal(const Credentials& account) {
    if (account.user.empty() || account.user.find(':') != std::string::npos || has_control(account.user) ||
        has_control(account.password))
        return kInvalidParameter;
    return kSuccess;
}

std::optional<std::string> account_file_text(const Credentials& account) {
    if (account_refusal(account) != kSuccess || space(account.user.front()) ||
        (!account.password.empty() && space(account.password.front())))
        return std::nullopt;
    return "username=" + account.user + "\npassword=" + account.password + "\n";
}

std::optional<std::string> server_account_file(const std::string& server) {
    if (server.empty())
        return std::string("localhost.conf");
    // A host name's labels are at most 253 characters in all.
    if (server.size() > 253 || server.front() == '.' || server.find("..") != std::string::npos)
        return std::nullopt;
    std::string name;
    for (char c : server) {
        c = lower(c);
        if (!host_name_character(c))
            return std::nullopt;
        name += c;
    }
    return name + ".conf";
}

std::string remembered_accounts_folder(const AccountPlaces& places) {
    std::string config = places.config_home;
    if (config.empty() || config.front() != '/') {
        if (places.home.empty() || places.home.front() != '/')
            return {};
        config = places.home + "/.config";
    }
    return config + "/filvane/servers";
}

std::vector<std::string> account_files(const std::string& server, const AccountPlaces& places) {
    if (!places.variable.empty())
        return {places.variable};
    std::vector<std::string> files;
    if (const std::optional<std::string> name = server_account_file(server)) {
        const std::string remembered = remembered_accounts_folder(places);
        if (!remembered.empty())
            files.push_back(remembered + "/" + *name);
        files.push_back(std::string(kAdminAccountsFolder) + "/" + *name);
    }
    files.push_back(kAdminAccount);
    return files;
}

}  // namespace samba
}  // namespace netmgmt
