#include "controls/menu_text.h"

namespace menu {

std::string accelerator_text(std::uint8_t flags, std::uint16_t key,
                             const std::function<std::string(std::uint16_t)>& key_name) {
    std::string text;
    if (flags & kAccelControl)
        text += "Ctrl+";
    if (flags & kAccelShift)
        text += "Shift+";
    if (flags & kAccelAlt)
        text += "Alt+";
    if (flags & kAccelVirtKey)
        text += key_name(key);
    else if (key != 27 && key != 0)
        text += static_cast<char>(key);
    return text;
}

std::string with_accelerator(const std::string& text, const std::string& accelerator) {
    return accelerator.empty() ? text : text + "\t" + accelerator;
}

LabelParts split_label(const std::string& text) {
    LabelParts parts;
    std::string::size_type tab = text.find('\t');
    if (tab == std::string::npos) {
        parts.label = text;
        return parts;
    }
    parts.label = text.substr(0, tab);
    parts.accelerator = text.substr(tab + 1);
    parts.draw_accelerator = tab > 0;
    return parts;
}

}  // namespace menu
