#include "shell/window_memory.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

const char kPlacementValue[] = "MainWindow";
const char kShareColumnsValue[] = "ShareColumns";
const char kSessionColumnsValue[] = "SessionColumns";
const char kOpenFileColumnsValue[] = "OpenFileColumns";

namespace {

std::string joined(const std::vector<int>& numbers) {
    std::string text;
    for (int number : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(number);
    }
    return text;
}

// Every comma-separated field as an int; nothing when a field is not one.
std::optional<std::vector<int>> numbers_of(const std::string& text) {
    std::vector<int> numbers;
    const char* at = text.c_str();
    while (true) {
        char* end = nullptr;
        errno = 0;
        const long number = std::strtol(at, &end, 10);
        if (end == at || errno != 0 || number < INT_MIN || number > INT_MAX)
            return std::nullopt;
        numbers.push_back(static_cast<int>(number));
        if (*end == '\0')
            return numbers;
        if (*end != ',')
            return std::nullopt;
        at = end + 1;
    }
}

}  // namespace

std::string placement_text(const StoredPlacement& p) {
    return joined({p.left, p.top, p.right, p.bottom, p.maximised ? 1 : 0});
}

std::optional<StoredPlacement> parse_placement(const std::string& text) {
    const auto numbers = numbers_of(text);
    if (!numbers || numbers->size() != 5)
        return std::nullopt;
    const std::vector<int>& n = *numbers;
    if (n[2] <= n[0] || n[3] <= n[1] || (n[4] != 0 && n[4] != 1))
        return std::nullopt;
    return StoredPlacement{n[0], n[1], n[2], n[3], n[4] == 1};
}

std::string widths_text(const std::vector<int>& widths) { return joined(widths); }

std::optional<std::vector<int>> parse_widths(const std::string& text, std::size_t columns) {
    auto numbers = numbers_of(text);
    if (!numbers || numbers->size() != columns)
        return std::nullopt;
    for (int width : *numbers)
        if (width < 0)
            return std::nullopt;
    return numbers;
}
