#include "controls/log_view_win.h"

#include <algorithm>

#include "common/gdi_handles_win.h"
#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "controls/clipboard_text_win.h"
#include "controls/log_view_resources.h"

namespace {

const WCHAR* const kClassName = L"FilvaneLogView";
constexpr int kMargin = 2;  // pixels beside the text, as an edit box keeps
constexpr int kWheelRows = 3;

enum MenuCommand { kCopy = 1, kSelectAll };

bool control_down() { return GetKeyState(VK_CONTROL) < 0; }

int x_of(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
int y_of(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }

}  // namespace

bool LogView::register_class() {
    static const bool registered = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = procedure;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_IBEAM));
        c.lpszClassName = kClassName;
        return RegisterClassW(&c) != 0;
    }();
    return registered;
}

LogView* LogView::of(HWND window) {
    WCHAR name[32] = {0};
    GetClassNameW(window, name, 32);
    if (lstrcmpW(name, kClassName) != 0)
        return nullptr;
    return reinterpret_cast<LogView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LogView::LogView(HWND window) : window_(window), widths_([this](unsigned code) { return measure(code); }) {}

// The window owns its view from WM_NCCREATE to WM_NCDESTROY, which the
// analyser cannot follow.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
LRESULT CALLBACK LogView::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new LogView(hwnd)));
    auto view = reinterpret_cast<LogView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete view;
        view = nullptr;
    }
    return view ? view->handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}
// NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)

LRESULT LogView::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETFONT:
        set_font(reinterpret_cast<HFONT>(wp));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    // Its text, as an edit box answers, for tools that read the box.
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(widen(model_.text()).size());
    case WM_GETTEXT:
        return copy_text(reinterpret_cast<WCHAR*>(lp), wp);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
        return 1;  // painting fills every pixel
    case WM_PAINT:
        paint();
        return 0;
    case WM_SIZE:
        scroll_to(static_cast<long long>(model_.top()));
        return 0;
    case WM_VSCROLL:
        scroll(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL:
        scroll_to(static_cast<long long>(model_.top()) -
                  static_cast<long long>(GET_WHEEL_DELTA_WPARAM(wp)) / WHEEL_DELTA * kWheelRows);
        return 0;
    case WM_LBUTTONDOWN:
        press(x_of(lp), y_of(lp), (wp & MK_SHIFT) != 0);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == window_)
            drag(x_of(lp), y_of(lp));
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_KEYDOWN:
        if (key(wp))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window_, nullptr, FALSE);  // the selection shows only with the focus
        return 0;
    case WM_CONTEXTMENU:
        context_menu(x_of(lp), y_of(lp));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, msg, wp, lp);
}

void LogView::show(std::string text) {
    RECT client{};
    GetClientRect(window_, &client);
    model_.show(std::move(text), client.right - 2 * kMargin, widths_);
    scroll_bar();
    InvalidateRect(window_, nullptr, FALSE);
}

void LogView::select_all() {
    model_.select_all();
    InvalidateRect(window_, nullptr, FALSE);
}

void LogView::copy() const {
    if (!model_.selected().empty())
        put_on_clipboard(window_, model_.selected());
}

LRESULT LogView::copy_text(WCHAR* buffer, std::size_t size) const {
    if (size == 0)
        return 0;
    std::u16string wide = widen(model_.text());
    std::size_t length = std::min(wide.size(), size - 1);
    std::copy_n(wide.data(), length, reinterpret_cast<char16_t*>(buffer));
    buffer[length] = 0;
    return static_cast<LRESULT>(length);
}

void LogView::set_font(HFONT font) {
    font_ = font;
    TEXTMETRICW metrics{};
    {
        WindowDc dc(window_);
        Selection selected(dc.get(), shown_font());
        GetTextMetricsW(dc.get(), &metrics);
    }
    row_height_ = std::max(1, static_cast<int>(metrics.tmHeight));
    widths_ = CharWidths([this](unsigned code) { return measure(code); });
    InvalidateRect(window_, nullptr, FALSE);
}

HGDIOBJ LogView::shown_font() const { return font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT); }

int LogView::measure(unsigned code) const {
    std::string character = code < 0x100 ? std::string(1, static_cast<char>(code))
                                         : std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::u16string wide = widen(character);
    WindowDc dc(window_);
    Selection selected(dc.get(), shown_font());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), wide_ptr(wide), static_cast<int>(wide.size()), &size);
    return size.cx;
}

void LogView::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    RECT client{};
    GetClientRect(window_, &client);
    {
        Selection selected(dc, shown_font());
        bool focused = GetFocus() == window_;
        int y = 0;
        for (std::size_t row = model_.top(); row < model_.rows() && y < client.bottom; ++row, y += row_height_)
            paint_row(dc, row, y, client.right, focused);
        RECT rest{0, y, client.right, client.bottom};
        FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
    }
    EndPaint(window_, &ps);
}

// A row in up to three runs: before the selection, selected, after it.
void LogView::paint_row(HDC dc, std::size_t row, int y, int right, bool focused) {
    std::size_t begin = model_.row_begin(row);
    std::size_t end = begin + model_.row(row).size();
    auto [from, to] = focused ? model_.selected_in_row(row) : std::make_pair(begin, begin);
    RECT line{0, y, right, y + row_height_};
    FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOW));
    const std::size_t edges[] = {begin, from, to, end};
    for (int run = 0; run < 3; ++run) {
        if (edges[run] >= edges[run + 1])
            continue;
        bool selected = run == 1;
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        std::u16string text = widen(model_.text().substr(edges[run], edges[run + 1] - edges[run]));
        RECT cell{kMargin + model_.x_of(row, edges[run], widths_), y,
                  kMargin + model_.x_of(row, edges[run + 1], widths_), y + row_height_};
        ExtTextOutW(dc, cell.left, y, ETO_OPAQUE, &cell, wide_ptr(text), static_cast<UINT>(text.size()), nullptr);
    }
}

std::size_t LogView::page() const {
    RECT client{};
    GetClientRect(window_, &client);
    return static_cast<std::size_t>(std::max(1L, static_cast<long>(client.bottom / row_height_)));
}

void LogView::scroll(int request) {
    auto top = static_cast<long long>(model_.top());
    auto page = static_cast<long long>(this->page());
    switch (request) {
    case SB_LINEUP:
        return scroll_to(top - 1);
    case SB_LINEDOWN:
        return scroll_to(top + 1);
    case SB_PAGEUP:
        return scroll_to(top - page);
    case SB_PAGEDOWN:
        return scroll_to(top + page);
    case SB_TOP:
        return scroll_to(0);
    case SB_BOTTOM:
        return scroll_to(static_cast<long long>(model_.rows()));
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message's own position has 16 bits; a busy day has more rows.
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(window_, SB_VERT, &info);
        return scroll_to(info.nTrackPos);
    }
    default:
        return;
    }
}

void LogView::scroll_to(long long row) {
    std::size_t before = model_.top();
    model_.scroll_to(row, page());
    scroll_bar();
    if (model_.top() != before)
        InvalidateRect(window_, nullptr, FALSE);
}

void LogView::scroll_bar() {
    SCROLLINFO info{sizeof info,
                    SIF_ALL | SIF_DISABLENOSCROLL,
                    0,
                    static_cast<int>(model_.rows() > 0 ? model_.rows() - 1 : 0),
                    static_cast<UINT>(page()),
                    static_cast<int>(model_.top()),
                    0};
    SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

std::size_t LogView::offset_at(int x, int y) {
    long long row = static_cast<long long>(model_.top()) + (y >= 0 ? y / row_height_ : (y + 1) / row_height_ - 1);
    if (row < 0)
        return 0;
    return model_.offset_at(static_cast<std::size_t>(row), x - kMargin, widths_);
}

void LogView::press(int x, int y, bool extend) {
    SetFocus(window_);
    SetCapture(window_);
    std::size_t at = offset_at(x, y);
    if (extend)
        model_.extend_to(at);
    else
        model_.select(at, at);
    InvalidateRect(window_, nullptr, FALSE);
}

// Dragging past the top or bottom edge scrolls a row at a time.
void LogView::drag(int x, int y) {
    RECT client{};
    GetClientRect(window_, &client);
    if (y < 0)
        scroll_to(static_cast<long long>(model_.top()) - 1);
    else if (y >= client.bottom)
        scroll_to(static_cast<long long>(model_.top()) + 1);
    model_.extend_to(offset_at(x, std::min(std::max(y, 0), static_cast<int>(client.bottom) - 1)));
    InvalidateRect(window_, nullptr, FALSE);
}

bool LogView::key(WPARAM key) {
    if (control_down() && key == 'A') {
        select_all();
        return true;
    }
    if (control_down() && (key == 'C' || key == VK_INSERT)) {
        copy();
        return true;
    }
    auto top = static_cast<long long>(model_.top());
    auto page = static_cast<long long>(this->page());
    switch (key) {
    case VK_UP:
        scroll_to(top - 1);
        return true;
    case VK_DOWN:
        scroll_to(top + 1);
        return true;
    case VK_PRIOR:
        scroll_to(top - page);
        return true;
    case VK_NEXT:
        scroll_to(top + page);
        return true;
    case VK_HOME:
        scroll_to(0);
        return true;
    case VK_END:
        scroll_to(static_cast<long long>(model_.rows()));
        return true;
    default:
        return false;
    }
}

void LogView::context_menu(int x, int y) {
    SetFocus(window_);  // as an edit box does: what the menu selects shows
    if (x == -1 && y == -1) {
        RECT at{};
        GetWindowRect(window_, &at);
        x = at.left;
        y = at.top;
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | (model_.selected().empty() ? MF_GRAYED : MF_ENABLED), kCopy,
                wide_ptr(widen(resource_text(IDS_LOG_VIEW_COPY))));
    AppendMenuW(menu, MF_STRING | (model_.text().empty() ? MF_GRAYED : MF_ENABLED), kSelectAll,
                wide_ptr(widen(resource_text(IDS_LOG_VIEW_SELECT_ALL))));
    int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, window_, nullptr);
    DestroyMenu(menu);
    if (chosen == kCopy)
        copy();
    else if (chosen == kSelectAll)
        select_all();
}
