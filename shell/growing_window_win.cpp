#include "shell/growing_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "shell/settings_registry_win.h"
#include "shell/window_memory.h"

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

void GrowingWindow::capture(HWND window, const std::vector<List>& lists, const std::vector<Other>& others) {
    window_ = window;
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    smallest_frame_ = {frame.right - frame.left, frame.bottom - frame.top};
    smallest_client_ = {client.right, client.bottom};
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        Grow grow = Grow::None;
        for (const Other& other : others)
            if (id == other.id)
                grow = other.grow;
        for (const List& list : lists)
            if (id == list.id)
                grow = Grow::WideAndTall;
        controls_.push_back({child, {box_in_client(window, child), grow}});
    }
    for (const List& list : lists) {
        HWND control = GetDlgItem(window, list.id);
        const std::vector<int> widths = column_widths(control);
        const int width = list_width(control);
        columns_.push_back({control, list.widths_value, widths, width, widths, width});
    }
}

void GrowingWindow::on_size() {
    if (!window_ || IsIconic(window_))
        return;
    RECT client{};
    GetClientRect(window_, &client);
    std::vector<Piece> pieces;
    pieces.reserve(controls_.size());
    for (const Control& control : controls_)
        pieces.push_back(control.piece);
    const std::vector<Box> boxes =
        lay_out(pieces, client.right - smallest_client_.cx, client.bottom - smallest_client_.cy);
    HDWP moves = BeginDeferWindowPos(static_cast<int>(controls_.size()));
    for (std::size_t i = 0; i < controls_.size() && moves; ++i)
        moves = DeferWindowPos(moves, controls_[i].hwnd, nullptr, boxes[i].left, boxes[i].top, boxes[i].width,
                               boxes[i].height, SWP_NOZORDER | SWP_NOACTIVATE);
    // Without the batch, each control is moved on its own.
    if (!moves || !EndDeferWindowPos(moves))
        for (std::size_t i = 0; i < controls_.size(); ++i)
            SetWindowPos(controls_[i].hwnd, nullptr, boxes[i].left, boxes[i].top, boxes[i].width, boxes[i].height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    for (Columns& columns : columns_)
        spread_columns(columns);
    InvalidateRect(window_, nullptr, TRUE);
}

void GrowingWindow::spread_columns(Columns& columns) {
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

void GrowingWindow::choose_widths(Columns& columns, const std::vector<int>& widths) {
    set_column_widths(columns.list, widths);
    columns.chosen = columns.set = widths;
    columns.chosen_at = columns.set_at = list_width(columns.list);
}

void GrowingWindow::limit(MINMAXINFO& info) const {
    if (!window_)
        return;
    info.ptMinTrackSize.x = smallest_frame_.cx;
    info.ptMinTrackSize.y = smallest_frame_.cy;
}

void GrowingWindow::restore_remembered() {
    if (!window_)
        return;
    if (auto stored = parse_placement(read_setting_text(kPlacementValue))) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(window_, &placement);
        const int width = std::max<int>(stored->right - stored->left, smallest_frame_.cx);
        const int height = std::max<int>(stored->bottom - stored->top, smallest_frame_.cy);
        RECT wanted{stored->left, stored->top, stored->left + width, stored->top + height};
        if (!MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
            RECT work{};
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            const int left = work.left + std::max<int>((work.right - work.left - width) / 2, 0);
            const int top = work.top + std::max<int>((work.bottom - work.top - height) / 2, 0);
            wanted = {left, top, left + width, top + height};
        }
        placement.rcNormalPosition = wanted;
        placement.showCmd = stored->maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        SetWindowPlacement(window_, &placement);
    }
    for (Columns& columns : columns_)
        if (auto widths = parse_widths(read_setting_text(columns.widths_value), columns.set.size()))
            choose_widths(columns, *widths);
}

bool GrowingWindow::remember() const {
    if (!window_)
        return true;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window_, &placement))
        return false;
    const RECT& normal = placement.rcNormalPosition;
    const StoredPlacement stored{normal.left, normal.top, normal.right, normal.bottom, IsZoomed(window_) != FALSE};
    auto key = RegistrySettings().open_or_create();
    if (!key || !key->write(kPlacementValue, placement_text(stored)))
        return false;
    for (const Columns& columns : columns_)
        if (!key->write(columns.widths_value, widths_text(column_widths(columns.list))))
            return false;
    return true;
}
