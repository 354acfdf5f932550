#include "controls/menu_geometry.h"

#include <algorithm>

namespace menu {

Extent measure_entry(EntryKind kind, int size, Extent text, CheckMetrics check) {
    Extent e;
    switch (kind) {
    case EntryKind::TitleStrip:
        // The bar paints the column's full height whatever its own; one pixel
        // rather than none, because Wine never draws an entry of zero height.
        e.width = size;
        e.height = 1;
        break;
    case EntryKind::Separator:
        e.height = check.height / 2;
        break;
    case EntryKind::Item:
        e.height = std::max(text.height, size + 4);
        e.width = 2 * size + 12 + text.width;
        break;
    }
    e.width += 1 - check.width;
    return e;
}

ItemLayout lay_out_item(Box row, int size) {
    int h = row.bottom - row.top;
    ItemLayout layout;
    layout.icon_square = {row.left, row.top, row.left + h, row.bottom};
    layout.icon = {row.left + 2, row.top + 2, row.left + h - 2, row.bottom - 2};
    layout.text = {row.left + h + 2, row.top, row.right - size, row.bottom};
    return layout;
}

Box title_strip_box(Box row, Box clip) { return {row.left, clip.top, row.right, clip.bottom}; }

Box separator_line_box(Box row) { return {row.left, row.top + (row.bottom - row.top) / 2, row.right, row.bottom}; }

Point check_mark_origin(Box square) {
    return {square.left + (square.right - square.left - 8) / 2, square.top + (square.bottom - square.top - 8) / 2};
}

}  // namespace menu
