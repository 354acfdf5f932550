#pragma once

#include <ctime>
#include <optional>
#include <string>

// A "Y-M-D h:m:s" text (numbers with or without leading zeros) as a local
// time stamp; nothing when the text is not a valid date and time.
std::optional<std::time_t> text_to_time(const std::string& text);
