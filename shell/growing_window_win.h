// The main window's growth (GrowingDialog), with its size, place, maximised
// state and column widths kept in the registry beside the settings.
#pragma once

#include <windows.h>

#include <vector>

#include "common/growing_dialog_win.h"

class GrowingWindow {
public:
    struct List {
        int id;
        const char* widths_value;  // registry value of its column widths
    };

    // The lists grow both ways, `others` as they say, the rest only move
    // down with the lists above them.
    void capture(HWND window, const std::vector<List>& lists, const std::vector<GrowingDialog::Control>& others);
    // Back where and as it was last closed; a place off every screen is
    // centred on the work area. Call once the window is shown.
    void restore_remembered();
    // False when the registry refused a value.
    bool remember() const;

    void on_size() { dialog_.on_size(); }
    void limit(MINMAXINFO& info) const { dialog_.limit(info); }

private:
    GrowingDialog dialog_;
    std::vector<List> lists_;
};
