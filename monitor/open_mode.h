#pragma once

#include <cstdint>
#include <string>

// The open-mode cell: the permissions as upper-case hex, matched as a whole
// against the known values; anything else is reported as unknown.
std::string open_mode_text(std::uint32_t permissions);
