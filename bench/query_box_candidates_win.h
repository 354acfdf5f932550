// The controls that could show the log query's session-log box, each in the
// box's place and size with the dialog's font, for the timings that
// bench/query_box_candidates.sh collects from the window tests.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <functional>
#include <memory>
#include <string>

#include "common/wide_text_win.h"
#include "controls/log_view_win.h"
#include "controls/wrapped_text.h"

struct BoxCandidate {
    HWND window = nullptr;
    std::function<void(const std::string&)> show;
    std::function<void()> select_all;
};

namespace box_candidates {

// A popup over the box that hands its control's notifications to `on_notify`.
inline LRESULT CALLBACK host_procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto on_notify = reinterpret_cast<std::function<bool(NMHDR&, INT_PTR&)>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    INT_PTR result = 0;
    if (msg == WM_NOTIFY && on_notify && (*on_notify)(*reinterpret_cast<NMHDR*>(lp), result))
        return result;
    if (msg == WM_NCDESTROY)
        delete on_notify;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

inline HWND host_over(HWND box) {
    static const bool registered = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = host_procedure;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"FilvaneBoxCandidateHost";
        return RegisterClassW(&c) != 0;
    }();
    RECT at{};
    GetWindowRect(box, &at);
    return registered ? CreateWindowExW(WS_EX_TOOLWINDOW, L"FilvaneBoxCandidateHost", L"", WS_POPUP | WS_VISIBLE,
                                        at.left, at.top, at.right - at.left, at.bottom - at.top, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr)
                      : nullptr;
}

inline HWND child(HWND host, const WCHAR* cls, DWORD style, HWND box) {
    RECT client{};
    GetClientRect(host, &client);
    HWND control = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | style, 0, 0, client.right,
                                   client.bottom, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(box, WM_GETFONT, 0, 0), TRUE);
    return control;
}

inline BoxCandidate text_box(HWND box, const WCHAR* cls, DWORD style, UINT limit_message) {
    HWND host = host_over(box);
    HWND control = child(host, cls, ES_MULTILINE | ES_READONLY | WS_VSCROLL | style, box);
    SendMessageW(control, limit_message, limit_message == EM_EXLIMITTEXT ? 0 : 0x7FFFFFFE,
                 limit_message == EM_EXLIMITTEXT ? 0x7FFFFFFE : 0);
    if (limit_message == EM_EXLIMITTEXT && (style & ES_AUTOHSCROLL))
        SendMessageW(control, EM_SETTARGETDEVICE, 0, 1);  // a rich edit wraps unless told not to
    return {host, [control](const std::string& text) { SetWindowTextW(control, wide_ptr(widen(text))); },
            [control] { SendMessageW(control, EM_SETSEL, 0, -1); }};
}

// One row per box-wide piece of text, as the view wraps it; the list asks
// for the rows in view.
inline BoxCandidate list_view(HWND box) {
    HWND host = host_over(box);
    HWND list = child(host, WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS, box);
    RECT client{};
    GetClientRect(list, &client);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    auto rows = std::make_shared<WrappedText>();
    SetWindowLongPtrW(
        host, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(new std::function<bool(NMHDR&, INT_PTR&)>([rows](NMHDR& header, INT_PTR&) {
            if (header.code != LVN_GETDISPINFOW)
                return false;
            auto& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            std::u16string text = widen(std::string(rows->row(static_cast<std::size_t>(item.iItem))));
            lstrcpynW(item.pszText, wide_ptr(text), item.cchTextMax);
            return true;
        })));
    auto widths = std::make_shared<CharWidths>([list](unsigned code) {
        std::u16string one = widen(code < 0x100 ? std::string(1, static_cast<char>(code))
                                                : std::string{static_cast<char>(code >> 8), static_cast<char>(code)});
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, wide_ptr(one), static_cast<int>(one.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        return static_cast<int>(size.cx);
    });
    int width = column.cx - 16;  // the list's padding around a label
    return {host,
            [=](const std::string& text) {
                *rows = WrappedText(text, width, *widths);
                SendMessageW(list, LVM_SETITEMCOUNT, rows->rows(), 0);
            },
            [list] {
                LVITEMW all{};
                all.state = all.stateMask = LVIS_SELECTED;
                SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
            }};
}

// The view the dialog uses.
inline BoxCandidate log_view(HWND box) {
    HWND host = host_over(box);
    LogView::register_class();
    LogView* view = LogView::of(child(host, L"FilvaneLogView", WS_VSCROLL, box));
    return {host, [view](const std::string& text) { view->show(text); }, [view] { view->select_all(); }};
}

}  // namespace box_candidates

// "edit", "edit-wrap", "richedit", "richedit-wrap", "listview" or "logview";
// no window for another name.
inline BoxCandidate box_candidate(const std::string& name, HWND box) {
    using namespace box_candidates;
    if (name == "edit")
        return text_box(box, L"EDIT", ES_AUTOHSCROLL | WS_HSCROLL, EM_SETLIMITTEXT);
    if (name == "edit-wrap")
        return text_box(box, L"EDIT", 0, EM_SETLIMITTEXT);
    if ((name == "richedit" || name == "richedit-wrap") && LoadLibraryW(L"riched20.dll"))
        return text_box(box, L"RichEdit20W", name == "richedit" ? ES_AUTOHSCROLL | WS_HSCROLL : 0, EM_EXLIMITTEXT);
    if (name == "listview")
        return list_view(box);
    if (name == "logview")
        return log_view(box);
    return {};
}
