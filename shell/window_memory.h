// The main window's size, place and column widths as stored in the registry
// beside the settings: REG_SZ texts of comma-separated whole numbers.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct StoredPlacement {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool maximised = false;
};

// "left,top,right,bottom,maximised" (the last 0 or 1): the normal (not
// maximised) frame in screen coordinates.
std::string placement_text(const StoredPlacement& placement);
// Nothing for a text that is not five numbers with a frame of positive size.
std::optional<StoredPlacement> parse_placement(const std::string& text);

std::string widths_text(const std::vector<int>& widths);
// Nothing unless the text holds exactly `columns` widths, none negative.
std::optional<std::vector<int>> parse_widths(const std::string& text, std::size_t columns);

// Registry value names.
extern const char kPlacementValue[];
extern const char kShareColumnsValue[];
extern const char kSessionColumnsValue[];
extern const char kOpenFileColumnsValue[];
