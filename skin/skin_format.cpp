#include "skin/skin_format.h"

#include <sstream>

namespace {

bool parse_colour(const std::string& text, std::uint32_t& colour) {
    if (text.size() != 6)
        return false;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                             : -1;
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    colour = value;
    return true;
}

std::string trimmed(const std::string& line) {
    auto begin = line.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    auto end = line.find_last_not_of(" \t\r");
    return line.substr(begin, end - begin + 1);
}

}  // namespace

bool parse_skin(const std::string& bytes, SkinObjects& objects) {
    std::istringstream in(bytes);
    std::string line;
    if (!std::getline(in, line) || trimmed(line) != "FILVANE-SKIN 1")
        return false;
    SkinObjects parsed;
    std::string section;
    int seen = 0;  // bit per colour of the current section
    auto section_complete = [&] { return section.empty() || seen == 7; };
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            if (!section_complete())
                return false;
            section = line.substr(1, line.size() - 2);
            seen = 0;
            parsed[section];
            continue;
        }
        auto eq = line.find('=');
        if (section.empty() || eq == std::string::npos)
            return false;
        std::string key = trimmed(line.substr(0, eq));
        std::string value = trimmed(line.substr(eq + 1));
        SkinObject& object = parsed[section];
        std::uint32_t* target = key == "background" ? &object.background
                                : key == "text"     ? &object.text
                                : key == "accent"   ? &object.accent
                                                    : nullptr;
        if (!target)
            continue;
        if (!parse_colour(value, *target))
            return false;
        seen |= key == "background" ? 1 : key == "text" ? 2 : 4;
    }
    if (!section_complete() || parsed.empty())
        return false;
    objects = std::move(parsed);
    return true;
}
