#include "controls/shade.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace menu {

int mul_div(int a, int b, int c) {
    if (c == 0)
        return -1;
    std::int64_t product = static_cast<std::int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    std::int64_t n = product < 0 ? -product : product;
    std::int64_t d = c < 0 ? -static_cast<std::int64_t>(c) : c;
    // cppcheck-suppress zerodivcond ; c == 0 returned above, so d is never 0
    std::int64_t q = (n + d / 2) / d;
    if (negative)
        q = -q;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(q);
}

namespace {

int component(std::uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

}  // namespace

std::vector<std::uint32_t> shade_table(std::uint32_t colour1, std::uint32_t colour2, int steps) {
    steps = std::min(steps, kMaxShadeSteps);
    if (steps < 1)
        return {};
    std::vector<std::uint32_t> table(static_cast<std::size_t>(steps));
    for (int k = 0; k < steps; ++k) {
        std::uint32_t pixel = 0;
        // Colour references hold red in the low byte; DIB pixels in the third.
        for (int shift : {0, 8, 16}) {
            int from = component(colour1, shift);
            int value = steps < 2 ? from : from + mul_div(component(colour2, shift) - from, k, steps - 1);
            pixel |= static_cast<std::uint32_t>(value) << (16 - shift);
        }
        table[static_cast<std::size_t>(k)] = pixel;
    }
    return table;
}

std::vector<std::uint32_t> shade_pixels(std::uint32_t colour1, std::uint32_t colour2, int width, int height,
                                        int steps) {
    std::vector<std::uint32_t> table = shade_table(colour1, colour2, steps);
    if (width <= 0 || height <= 0 || table.empty())
        return {};
    int last = static_cast<int>(table.size()) - 1;
    int count = static_cast<int>(table.size());
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        // Rounding can reach `count` near the top of tall bars: clamp to the table.
        int entry = std::min(mul_div(count, row, height), last);
        std::fill_n(
            pixels.begin() + static_cast<std::ptrdiff_t>(row) * width, width, table[static_cast<std::size_t>(entry)]);
    }
    return pixels;
}

}  // namespace menu
