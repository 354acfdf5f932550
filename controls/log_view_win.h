// The log query's two boxes: a read-only text view of our own, where a
// read-only edit box took minutes to take in a busy day's text under
// Wine. It draws only the rows in view, and keeps what users do with such a
// box: scrolling by bar, wheel and keys, selecting with the mouse (Shift
// extends), Ctrl+A, Ctrl+C and a context menu to copy.
#pragma once

#include <windows.h>

#include <string>

#include "controls/log_view_model.h"

class LogView {
public:
    // Registers the window class "FilvaneLogView" that the dialog template
    // names (once per process); false when it cannot be had.
    static bool register_class();
    // The view of a window of that class; nullptr for any other window.
    static LogView* of(HWND window);

    void show(std::string text);
    const std::string& text() const { return model_.text(); }
    void select_all();
    void copy() const;

private:
    explicit LogView(HWND window);
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    void paint();
    void paint_row(HDC dc, std::size_t row, int y, int right, bool focused);
    LRESULT copy_text(WCHAR* buffer, std::size_t size) const;
    void set_font(HFONT font);
    int measure(unsigned code) const;
    // The font set on the box, or the system's while none is.
    HGDIOBJ shown_font() const;
    void scroll(int request);
    void scroll_to(long long row);
    void scroll_bar();
    std::size_t page() const;
    std::size_t offset_at(int x, int y);
    void press(int x, int y, bool extend);
    void drag(int x, int y);
    bool key(WPARAM key);
    void context_menu(int x, int y);

    HWND window_;
    HFONT font_ = nullptr;
    int row_height_ = 16;
    CharWidths widths_;
    LogViewModel model_;
};
