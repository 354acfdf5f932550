// Sizes and rectangles of the drawn menu's entries, given the text extent and
// the system metrics as inputs.
#pragma once

namespace menu {

struct Extent {
    int width = 0;
    int height = 0;
};

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

enum class EntryKind { Item, Separator, TitleStrip };

struct CheckMetrics {
    int width = 0;   // SM_CXMENUCHECK
    int height = 0;  // SM_CYMENUCHECK
};

// The answer to WM_MEASUREITEM. The side bar is one pixel high: its column
// takes its height from the items. `size` is the entry's icon size (the bar's
// width for the side bar); `text` the bold label's extent (items only).
// The system adds the check-mark width to owner-drawn entries, so it is taken
// off here; the width may thus be negative and wraps as the system expects.
Extent measure_entry(EntryKind kind, int size, Extent text, CheckMetrics check);

// Where a text item's parts go inside its row.
struct ItemLayout {
    Box icon_square;  // square at the left, as tall as the row
    Box icon;         // the square less 2 pixels on every side
    Box text;         // starts right of the square even when there is no icon
};
ItemLayout lay_out_item(Box row, int size);

// The side bar covers its own column over the menu's full painted height.
Box title_strip_box(Box row, Box clip);
// The separator's etched line runs along the top of the row's lower half.
Box separator_line_box(Box row);
// Top-left of the 8 x 8 check mark centred in `square`.
struct Point {
    int x = 0;
    int y = 0;
};
Point check_mark_origin(Box square);

}  // namespace menu
