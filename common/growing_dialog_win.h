// A dialog whose controls follow its size by lay_out(), and the columns of
// its list views by spread_widths(); it never gets smaller than the template
// made it.
#pragma once

#include <windows.h>

#include <vector>

#include "common/window_layout.h"

class GrowingDialog {
public:
    struct Control {
        int id;
        Grow grow;
    };

    // Takes the window's children as the template placed them; that size
    // is the smallest. `controls` say how they grow (the others only move
    // down with what grows above them); the columns of the list views
    // `lists` spread over their width.
    void capture(HWND window, const std::vector<Control>& controls, const std::vector<int>& lists = {});

    void on_size();
    void limit(MINMAXINFO& info) const;

    HWND window() const { return window_; }
    SIZE smallest_frame() const { return smallest_frame_; }
    // Widths the user (or a stored setting) chose for list `list`'s columns.
    void choose_widths(int list, const std::vector<int>& widths);
    // The columns of list `list` as they are now; none for another id.
    std::vector<int> widths(int list) const;
    std::size_t column_count(int list) const;

private:
    struct Child {
        HWND hwnd;
        Piece piece;
    };
    // A list's columns follow its width from the widths last chosen (by the
    // user or the registry) at the width the list had then.
    struct Columns {
        int id;
        HWND list;
        std::vector<int> chosen;
        int chosen_at = 0;
        std::vector<int> set;
        int set_at = 0;
    };
    void spread_columns(Columns& columns);
    const Columns* columns_of(int list) const;

    HWND window_ = nullptr;
    SIZE smallest_frame_{};
    SIZE smallest_client_{};
    std::vector<Child> children_;
    std::vector<Columns> columns_;
};
