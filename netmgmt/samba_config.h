// A Samba server's configuration as `testparm -s` writes it (includes
// resolved, defaults left out), and what the backend takes from it.
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

// What the backend needs to know of the server beyond its live state.
struct ServerSettings {
    // The account anonymous connections run as.
    std::string guest_account = "nobody";
    // The interfaces smbd is bound to ("interfaces" with "bind interfaces
    // only"), as addresses or interface names; empty when it listens on all.
    std::vector<std::string> bound_to;
};

ServerSettings server_settings(const std::vector<ConfigSection>& config);

// Shares the server offers but leaves out of its enumeration (browseable =
// no); the monitor shows every share, so these are asked for by name.
std::vector<std::string> unlisted_shares(const std::vector<ConfigSection>& config);

// A share the configuration offers (available), in its order.
struct ConfiguredShare {
    std::string name;
    std::string path;
    std::string comment;
    bool printable = false;
    bool browseable = true;  // listed by the server's enumeration
};

std::vector<ConfiguredShare> configured_shares(const std::vector<ConfigSection>& config);

// The server's description ("server string"), Samba's own when unset, its
// %v filled with `version`.
std::string server_string(const std::vector<ConfigSection>& config, const std::string& version);

// True when the configuration lets users share folders of their own
// ("usershare max shares" above 0): `net usershare info` lists them.
bool usershares_enabled(const std::vector<ConfigSection>& config);

}  // namespace samba
}  // namespace netmgmt
