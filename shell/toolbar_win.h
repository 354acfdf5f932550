// The main window's toolbar: a rebar across the top holding a flat toolbar of
// eleven buttons with icons and texts.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

struct ToolbarCommand {
    int command;
    unsigned text;  // string id
};

// The buttons' commands and texts, in button order: what the system menu
// offers the keyboard.
std::vector<ToolbarCommand> toolbar_commands();

class Toolbar {
public:
    Toolbar() = default;
    ~Toolbar();  // destroys the bars and their image lists
    Toolbar(const Toolbar&) = delete;
    Toolbar& operator=(const Toolbar&) = delete;

    // 1 on success, -1 on failure. A rebar that cannot be made fails
    // silently; a toolbar that cannot be made shows "创建工具栏失败!".
    int create(HWND parent);
    // Stretches the rebar across the top of the parent's client area.
    void lay_out() const;

    HWND rebar() const { return rebar_; }
    HWND toolbar() const { return toolbar_; }

private:
    void release();
    int fail();  // releases what was made and says so
    bool add_images();
    bool add_buttons();

    HWND parent_ = nullptr;
    HWND rebar_ = nullptr;
    HWND toolbar_ = nullptr;
    HIMAGELIST normal_ = nullptr;
    HIMAGELIST hot_ = nullptr;
};
