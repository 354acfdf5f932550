// The side bar's colour ramp as 32-bit bottom-up pixel rows, computed without
// GDI so the arithmetic can be checked anywhere.
#pragma once

#include <cstdint>
#include <vector>

namespace menu {

// a * b / c rounded half away from zero, as Win32's MulDiv; -1 when c is 0
// or the result does not fit in an int.
int mul_div(int a, int b, int c);

constexpr int kMaxShadeSteps = 256;

// `steps` colours from colour1 to colour2 (colour references, 0x00BBGGRR),
// as 32-bit DIB pixels (0x00RRGGBB). Steps above 256 are capped; fewer than
// 2 give colour1 alone.
std::vector<std::uint32_t> shade_table(std::uint32_t colour1, std::uint32_t colour2, int steps);

// width x height pixels, first row = bottom row: row i takes table entry
// steps * i / height, so the bottom row is colour1 and the top row within one
// step of colour2. Empty when either side is not positive.
std::vector<std::uint32_t> shade_pixels(std::uint32_t colour1, std::uint32_t colour2, int width, int height, int steps);

}  // namespace menu
