#include "netmgmt/samba_credentials.h"

#include "netmgmt/net_management.h"

namespace netmgmt {
namespace samba {
namespace {

bool space(char c) { return c == ' ' || c == '\t'; }

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

}  // namespace samba
}  // namespace netmgmt
