#include "netmgmt/samba_config.h"

#include <cctype>

namespace netmgmt {
namespace samba {
namespace {

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string value_or(const ConfigSection& section, const std::string& key, const std::string& fallback) {
    auto it = section.values.find(key);
    return it == section.values.end() ? fallback : it->second;
}

bool is_no(const std::string& value) {
    const std::string v = lower(value);
    return v == "no" || v == "false" || v == "0";
}

// Samba's defaults, for parameters testparm leaves out when unchanged.
const char kDefaultServerString[] = "Samba %v";

struct Expansion {
    const ServerFacts& facts;
    std::string netbios_name;
    std::string service;
    std::string path;

    std::string operator()(const std::string& text) const {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '%' || i + 1 == text.size()) {
                out += text[i];
                continue;
            }
            switch (text[i + 1]) {
            case 'v':
                out += facts.version;
                break;
            case 'h':
                out += facts.host_name;
                break;
            case 'L':
                out += netbios_name;
                break;
            case 'S':
                out += service;
                break;
            case 'P':
                out += path;
                break;
            case '%':
                out += '%';
                break;
            default:
                out.append(text, i, 2);
                break;
            }
            ++i;
        }
        return out;
    }
};

std::string default_netbios_name(const std::string& host) {
    std::string name = host.substr(0, host.find('.'));
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

std::vector<ConfigSection> parse_config(const std::string& text) {
    std::vector<ConfigSection> sections;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || sections.empty())
            continue;
        sections.back().values[lower(trim(line.substr(0, eq)))] = trim(line.substr(eq + 1));
    }
    return sections;
}

std::vector<ShareEntry> shares_of(const std::vector<ConfigSection>& config, const ServerFacts& facts) {
    ConfigSection global;
    for (const auto& s : config)
        if (lower(s.name) == "global")
            global = s;
    Expansion expand{facts, value_or(global, "netbios name", default_netbios_name(facts.host_name)), {}, {}};

    std::vector<ShareEntry> shares;
    bool has_ipc = false;
    for (const auto& s : config) {
        const std::string key = lower(s.name);
        if (key == "global" || is_no(value_or(s, "available", "yes")))
            continue;
        has_ipc = has_ipc || key == "ipc$";
        expand.service = s.name;
        // IPC$ reaches no folder, whatever path it may carry.
        expand.path = key == "ipc$" ? "" : value_or(s, "path", "");
        shares.push_back({s.name, expand(expand.path), expand(value_or(s, "comment", ""))});
    }
    if (!has_ipc) {
        const std::string server_string = expand(value_or(global, "server string", kDefaultServerString));
        shares.push_back({"IPC$", "", "IPC Service (" + server_string + ")"});
    }
    return shares;
}

}  // namespace samba
}  // namespace netmgmt
