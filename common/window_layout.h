// How a growing window's controls follow its size. The growing boxes (the
// main window's lists, the log query's two logs) share the extra height in
// proportion to their own heights and take the extra width; what lies below
// one moves down with it, so the status line keeps its distance from the
// bottom and the toolbar stays at the top.
#pragma once

#include <vector>

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Box& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

// Right: keeps its distance from the right edge (a box or button at the
// end of a label's line).
enum class Grow { None, Wide, WideAndTall, Right };

struct Piece {
    Box box;  // where the control sits at the smallest size
    Grow grow = Grow::None;
};

// Where each piece goes when the client area is `extra_width` and
// `extra_height` larger than at the smallest size (less counts as none).
std::vector<Box> lay_out(const std::vector<Piece>& pieces, int extra_width, int extra_height);

// Column widths for a list `extra` pixels wider than when `widths` were
// set: the extra is shared in proportion to the widths, so hidden (zero)
// columns stay hidden and a narrower list narrows every shown column.
std::vector<int> spread_widths(const std::vector<int>& widths, int extra);
