// Scoped GDI objects, device contexts and selections, so every paint path
// gives back what it took.
#pragma once

#include <windows.h>

#include "common/scoped_handle_win.h"

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiObject = ScopedHandle<HGDIOBJ, DeleteGdiObject>;

// Selects `object` into `dc` and restores the previous object at scope end.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (old_)
            SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

struct DeleteDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

class MemoryDc : public ScopedHandle<HDC, DeleteDc> {
public:
    explicit MemoryDc(HDC compatible) : ScopedHandle(CreateCompatibleDC(compatible)) {}
};

// A window's device context (the screen's for no window), released at scope end.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
