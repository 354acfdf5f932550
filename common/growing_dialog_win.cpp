#include "common/growing_dialog_win.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// The outer width: a scroll bar that comes and goes with the rows does not
// count as a resize.
int list_width(HWND list) {
    RECT frame{};
    GetWindowRect(list, &frame);
    return frame.right - frame.left;
}

std::vector<int> column_widths(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::vector<int> widths(static_cast<std::size_t>(std::max(count, 0)));
    for (int column = 0; column < count; ++column)
        widths[static_cast<std::size_t>(column)] =
            static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    return widths;
}

void set_column_widths(HWND list, const std::vector<int>& widths) {
    for (std::size_t column = 0; column < widths.size(); ++column)
        SendMessageW(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(widths[column], 0));
}

Box box_in_client(HWND window, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

void GrowingDialog::capture(HWND window, const std::vector<Control>& controls, const std::vector<int>& lists) {
    window_ = window;
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    smallest_frame_ = {frame.right - frame.left, frame.bottom - frame.top};
    smallest_client_ = {client.right, client.bottom};
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        Grow grow = Grow::None;
        for (const Control& control : controls)
            if (id == control.id)
                grow = control.grow;
        children_.push_back({child, {box_in_client(window, child), grow}});
    }
    for (int id : lists) {
        HWND list = GetDlgItem(window, id);
        const std::vector<int> widths = column_widths(list);
        const int width = list_width(list);
        columns_.push_back({id, list, widths, width, widths, width});
    }
}

void GrowingDialog::on_size() {
    if (!window_ || IsIconic(window_))
        return;
    RECT client{};
    GetClientRect(window_, &client);
    std::vector<Piece> pieces;
    pieces.reserve(children_.size());
    for (const Child& child : children_)
        pieces.push_back(child.piece);
    const std::vector<Box> boxes =
        lay_out(pieces, client.right - smallest_client_.cx, client.bottom - smallest_client_.cy);
    HDWP moves = BeginDeferWindowPos(static_cast<int>(children_.size()));
    for (std::size_t i = 0; i < children_.size() && moves; ++i)
        moves = DeferWindowPos(moves, children_[i].hwnd, nullptr, boxes[i].left, boxes[i].top, boxes[i].width,
                               boxes[i].height, SWP_NOZORDER | SWP_NOACTIVATE);
    // Without the batch, each control is moved on its own.
    if (!moves || !EndDeferWindowPos(moves))
        for (std::size_t i = 0; i < children_.size(); ++i)
            SetWindowPos(children_[i].hwnd, nullptr, boxes[i].left, boxes[i].top, boxes[i].width, boxes[i].height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    for (Columns& columns : columns_)
        spread_columns(columns);
    InvalidateRect(window_, nullptr, TRUE);
}

void GrowingDialog::spread_columns(Columns& columns) {
    // Widths other than those set last were chosen by the user's hand.
    const std::vector<int> now = column_widths(columns.list);
    if (now != columns.set) {
        columns.chosen = now;
        columns.chosen_at = columns.set_at;
    }
    const int width = list_width(columns.list);
    columns.set = spread_widths(columns.chosen, width - columns.chosen_at);
    columns.set_at = width;
    set_column_widths(columns.list, columns.set);
}

void GrowingDialog::limit(MINMAXINFO& info) const {
    if (!window_)
        return;
    info.ptMinTrackSize.x = smallest_frame_.cx;
    info.ptMinTrackSize.y = smallest_frame_.cy;
}

const GrowingDialog::Columns* GrowingDialog::columns_of(int list) const {
    for (const Columns& columns : columns_)
        if (columns.id == list)
            return &columns;
    return nullptr;
}

void GrowingDialog::choose_widths(int list, const std::vector<int>& widths) {
    for (Columns& columns : columns_) {
        if (columns.id != list)
            continue;
        set_column_widths(columns.list, widths);
        columns.chosen = columns.set = widths;
        columns.chosen_at = columns.set_at = list_width(columns.list);
    }
}

std::vector<int> GrowingDialog::widths(int list) const {
    const Columns* columns = columns_of(list);
    return columns ? column_widths(columns->list) : std::vector<int>{};
}

std::size_t GrowingDialog::column_count(int list) const {
    const Columns* columns = columns_of(list);
    return columns ? columns->set.size() : 0;
}
