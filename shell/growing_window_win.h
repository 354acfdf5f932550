// The main window's growth: as it is resized its controls follow lay_out()
// and its list columns spread_widths(); it never gets smaller than the
// template made it; its size, place, maximised state and column widths are
// kept in the registry beside the settings.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/main_window_layout.h"

class GrowingWindow {
public:
    struct List {
        int id;
        const char* widths_value;  // registry value of its column widths
    };

    struct Other {
        int id;
        Grow grow;
    };

    // Takes the window's children as the template placed them; that size
    // is the smallest. The lists grow both ways, `others` as they say, the
    // rest only move down with the lists above them.
    void capture(HWND window, const std::vector<List>& lists, const std::vector<Other>& others);
    // Back where and as it was last closed; a place off every screen is
    // centred on the work area. Call once the window is shown.
    void restore_remembered();
    // False when the registry refused a value.
    bool remember() const;

    void on_size();
    void limit(MINMAXINFO& info) const;

private:
    struct Control {
        HWND hwnd;
        Piece piece;
    };
    // A list's columns follow its width from the widths last chosen (by the
    // user or the registry) at the width the list had then.
    struct Columns {
        HWND list;
        const char* widths_value;
        std::vector<int> chosen;
        int chosen_at = 0;
        std::vector<int> set;
        int set_at = 0;
    };
    void spread_columns(Columns& columns);
    void choose_widths(Columns& columns, const std::vector<int>& widths);

    HWND window_ = nullptr;
    SIZE smallest_frame_{};
    SIZE smallest_client_{};
    std::vector<Control> controls_;
    std::vector<Columns> columns_;
};
