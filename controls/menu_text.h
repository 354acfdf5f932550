// Texts of drawn menu items: the accelerator's name and the split of a label
// at its tab.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace menu {

// The fVirt bits of an ACCEL entry.
constexpr std::uint8_t kAccelVirtKey = 0x01;
constexpr std::uint8_t kAccelShift = 0x04;
constexpr std::uint8_t kAccelControl = 0x08;
constexpr std::uint8_t kAccelAlt = 0x10;

// "Ctrl+", "Shift+", "Alt+" as flagged, then the key: for a virtual key its
// name from `key_name`, else the code itself as one character. Escape (27)
// and NUL name nothing.
std::string accelerator_text(std::uint8_t flags, std::uint16_t key,
                             const std::function<std::string(std::uint16_t)>& key_name);

// The item text with "\t" and the accelerator text appended, when there is one.
std::string with_accelerator(const std::string& text, const std::string& accelerator);

struct LabelParts {
    std::string label;              // before the first tab (all without a tab)
    std::string accelerator;        // after it, right-aligned
    bool draw_accelerator = false;  // only when the tab is not the first byte
};
LabelParts split_label(const std::string& text);

}  // namespace menu
