#include "netmgmt/samba_config.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

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

bool is_yes(const std::string& value) {
    const std::string v = lower(value);
    return v == "yes" || v == "true" || v == "1";
}

const ConfigSection* global_of(const std::vector<ConfigSection>& config) {
    for (const auto& s : config)
        if (lower(s.name) == "global")
            return &s;
    return nullptr;
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

ServerSettings server_settings(const std::vector<ConfigSection>& config) {
    ServerSettings settings;
    const ConfigSection* global = global_of(config);
    if (!global)
        return settings;
    settings.guest_account = value_or(*global, "guest account", settings.guest_account);
    if (!is_yes(value_or(*global, "bind interfaces only", "no")))
        return settings;
    // "10.0.0.1/24", "eth0;speed=1000", "lo": the address or name before any
    // mask or options, separated by blanks or commas.
    std::string entry;
    for (char c : value_or(*global, "interfaces", "") + " ") {
        if (c == ' ' || c == '\t' || c == ',') {
            entry.erase(std::min(entry.find_first_of("/;"), entry.size()));
            if (!entry.empty())
                settings.bound_to.push_back(entry);
            entry.clear();
        } else {
            entry += c;
        }
    }
    return settings;
}

std::vector<std::string> unlisted_shares(const std::vector<ConfigSection>& config) {
    std::vector<std::string> names;
    for (const auto& s : config) {
        if (lower(s.name) == "global" || is_no(value_or(s, "available", "yes")))
            continue;
        if (is_no(value_or(s, "browseable", value_or(s, "browsable", "yes"))))
            names.push_back(s.name);
    }
    return names;
}

std::vector<ConfiguredShare> configured_shares(const std::vector<ConfigSection>& config) {
    std::vector<ConfiguredShare> shares;
    for (const auto& s : config) {
        if (lower(s.name) == "global" || is_no(value_or(s, "available", "yes")))
            continue;
        shares.push_back({s.name, value_or(s, "path", ""), value_or(s, "comment", ""),
                          is_yes(value_or(s, "printable", value_or(s, "print ok", "no"))),
                          !is_no(value_or(s, "browseable", value_or(s, "browsable", "yes")))});
    }
    return shares;
}

bool usershares_enabled(const std::vector<ConfigSection>& config) {
    const ConfigSection* global = global_of(config);
    return global && std::atol(value_or(*global, "usershare max shares", "0").c_str()) > 0;
}

std::string server_string(const std::vector<ConfigSection>& config, const std::string& version) {
    const ConfigSection* global = global_of(config);
    std::string text = global ? value_or(*global, "server string", "Samba %v") : "Samba %v";
    for (std::size_t at = text.find("%v"); at != std::string::npos; at = text.find("%v", at + version.size()))
        text.replace(at, 2, version);
    return text;
}

}  // namespace samba
}  // namespace netmgmt
