// The shares a Samba server offers, read from its configuration as
// `testparm -s` writes it (includes resolved, defaults left out).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace netmgmt {
namespace samba {

struct ConfigSection {
    std::string name;
    std::map<std::string, std::string> values;  // parameter names in lower case
};

std::vector<ConfigSection> parse_config(const std::string& text);

struct ShareEntry {
    std::string name;
    std::string path;
    std::string remark;
};

// What `%` variables of comments expand to; those of the connecting user are
// unknown here and stay as written.
struct ServerFacts {
    std::string host_name;  // %h
    std::string version;    // %v, Samba's version text
};

// Every available share in configuration order, then IPC$ (which Samba adds
// itself, with no path of its own to show). Unlike Samba's own enumeration,
// shares hidden from browsing are listed too: the monitor shows all.
std::vector<ShareEntry> shares_of(const std::vector<ConfigSection>& config, const ServerFacts& facts);

}  // namespace samba
}  // namespace netmgmt
