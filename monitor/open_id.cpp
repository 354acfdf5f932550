#include "monitor/open_id.h"

#include <cstdlib>

std::string open_id_text(std::uint32_t id) { return std::to_string(static_cast<std::int32_t>(id)); }

std::uint32_t parse_open_id(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoll(text.c_str(), nullptr, 10));
}
