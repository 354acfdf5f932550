#include "shell/server_name.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kMaxHostName = 253;
constexpr std::size_t kMaxLabel = 63;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string> split_dots(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// Four decimal parts of at most 255, without leading zeros: a zero in front
// reads as octal to some resolvers, so it would name another machine.
bool is_ipv4(const std::string& text) {
    auto parts = split_dots(text);
    if (parts.size() != 4)
        return false;
    return std::all_of(parts.begin(), parts.end(), [](const std::string& part) {
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
            return false;
        return std::stoi(part) <= 255;
    });
}

bool is_label(const std::string& label) {
    if (label.empty() || label.size() > kMaxLabel || label.front() == '-' || label.back() == '-')
        return false;
    return std::all_of(label.begin(), label.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || is_digit(c) || c == '-' || c == '_';
    });
}

// Names Windows keeps for devices: no folder can carry them.
bool is_device_name(const std::string& upper) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(std::begin(kDevices), std::end(kDevices), upper) != std::end(kDevices))
        return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

std::optional<std::string> host_name(const std::string& text) {
    if (text.size() > kMaxHostName)
        return std::nullopt;
    auto labels = split_dots(text);
    if (!std::all_of(labels.begin(), labels.end(), is_label))
        return std::nullopt;
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    // Windows refuses such a name before any extension too: CON.EXAMPLE.COM.
    if (is_device_name(upper.substr(0, labels[0].size())))
        return std::nullopt;
    return upper;
}

}  // namespace

std::optional<std::string> watched_server_of(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return std::string();
    if (arguments.size() > 1)
        return std::nullopt;
    std::string name = arguments[0];
    if (name.compare(0, 2, "\\\\") == 0)
        name.erase(0, 2);
    // Only digits and dots: meant as an address, so it must be a whole one.
    if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return is_digit(c) || c == '.'; }))
        return is_ipv4(name) ? std::optional<std::string>(name) : std::nullopt;
    return host_name(name);
}

std::string instance_name_of(const std::string& server) { return server.empty() ? "Filvane" : "Filvane:" + server; }

std::string unc_name_of(const std::string& server) { return "\\\\" + server; }
