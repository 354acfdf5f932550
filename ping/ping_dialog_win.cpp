#include "ping/ping_dialog_win.h"

#include <cstdio>

#include "common/controls_win.h"
#include "common/gdi_handles_win.h"
#include "common/message_box_win.h"
#include "common/minimised_icon_win.h"
#include "common/string_resource_win.h"
#include "common/thread_messages_win.h"
#include "common/wide_text_win.h"
#include "ping/corvap_resources.h"
#include "ping/history_registry_win.h"
#include "ping/ping_lines.h"
#include "ping/ping_messages_win.h"

const char kPingMutexName[] = "quindarping";

namespace {

constexpr int kMinCount = 1;
constexpr int kMaxCount = 99;
constexpr int kDefaultCount = 5;
constexpr UINT kMarkerPeriodMs = 100;
constexpr int kLineImageSize = 16;
constexpr COLORREF kImageMask = RGB(255, 0, 255);
constexpr COLORREF kMarkerColour = RGB(255, 0, 0);

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

}  // namespace

PingDialog::PingDialog()
    : Dialog(IDD_PING, false),
      icon_(static_cast<HICON>(
          LoadImageW(instance(), MAKEINTRESOURCEW(IDI_CORVAP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED))) {}

PingDialog::~PingDialog() = default;

BOOL PingDialog::on_init() {
    single_instance_.claim_or_leave(kPingMutexName, resource_text(IDS_ALREADY_RUNNING));
    host_combo_.attach(item(IDC_HOST));
    load_history();
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    HICON small_icon =
        static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(IDI_CORVAP), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon ? small_icon : icon_));
    measure_activity_line();
    set_up_list();
    count_spin_ = item(IDC_COUNT_SPIN);
    SendMessageW(count_spin_, UDM_SETRANGE32, kMinCount, kMaxCount);
    SendMessageW(count_spin_, UDM_SETPOS32, 0, kDefaultCount);
    return TRUE;
}

void PingDialog::load_history() {
    HWND combo = item(IDC_HOST);
    for (const std::string& host : load_host_history(program_name())) {
        std::size_t at = history_.add(host);
        SendMessageW(combo, CB_INSERTSTRING, at, reinterpret_cast<LPARAM>(wide_ptr(widen(host))));
    }
}

void PingDialog::set_up_list() {
    results_ = item(IDC_RESULTS);
    // Without LVS_SHAREIMAGELISTS the list view destroys the image list with itself.
    HIMAGELIST images = ImageList_LoadImageW(instance(), MAKEINTRESOURCEW(IDB_LINE_IMAGES), kLineImageSize, 1,
                                             kImageMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    list_insert_column(results_, 0, resource_text(IDS_COLUMN_STATE), 800);
    if (images)
        SendMessageW(results_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    fit_column();
}

void PingDialog::fit_column() {
    // The client width shrinks when the vertical scroll bar appears; a column
    // wider than it would bring a horizontal one.
    RECT client;
    GetClientRect(results_, &client);
    LONG width = client.right - client.left;
    if (SendMessageW(results_, LVM_GETCOLUMNWIDTH, 0, 0) != width)
        SendMessageW(results_, LVM_SETCOLUMNWIDTH, 0, width);
}

void PingDialog::measure_activity_line() {
    RECT left, right;
    GetWindowRect(item(IDC_LINE_LEFT), &left);
    GetWindowRect(item(IDC_LINE_RIGHT), &right);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&left), 2);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&right), 2);
    x1_ = left.right + 5;
    y1_ = left.bottom;
    x2_ = right.left;
    y2_ = right.bottom;
    marker_.set_line(x1_, x2_);
    // The marker reaches half its size beyond the line's ends and the line.
    band_ = RECT{x1_ - kMarkerHalfSize, y1_ - 3, x2_ + kMarkerHalfSize, y1_ + 3};
}

bool PingDialog::on_command(int id, int notification) {
    switch (id) {
    case IDC_PING:
        if (notification == BN_CLICKED && !running_)
            start_run();
        return true;
    case IDC_HOST:
        if (notification == CBN_EDITUPDATE)
            host_combo_.on_edit_update();
        return false;
    case IDCANCEL:
        close();
        return true;
    default:
        return false;
    }
}

void PingDialog::enable_inputs(bool enabled) {
    for (int id : {IDC_HOST, IDC_COUNT, IDC_PING})
        EnableWindow(item(id), enabled ? TRUE : FALSE);
}

void PingDialog::start_run() {
    count_text_ = item_text(IDC_COUNT);
    enable_inputs(false);
    // An unreadable count leaves the spin's last valid position in force.
    BOOL unreadable = FALSE;
    int count = static_cast<int>(SendMessageW(count_spin_, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&unreadable)));
    count = count < kMinCount ? kMinCount : count > kMaxCount ? kMaxCount : count;
    if (list_row_count(results_) > 0) {
        list_insert_row(results_, list_row_count(results_), "", kSeparatorImage);
        fit_column();
    }
    std::string host = window_text(item(IDC_HOST));
    marker_.start();
    running_ = true;
    SetTimer(hwnd(), IDT_MARKER, kMarkerPeriodMs, nullptr);
    worker_.Request(static_cast<unsigned>(count), host, hwnd());
}

void PingDialog::add_line(int kind, std::unique_ptr<char[]> text) {
    int row = list_insert_row(results_, list_row_count(results_), text.get(), kind);
    fit_column();
    SendMessageW(results_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void PingDialog::end_run(bool resolved) {
    enable_inputs(true);
    running_ = false;
    InvalidateRect(hwnd(), &band_, TRUE);
    KillTimer(hwnd(), IDT_MARKER);
    if (!resolved)
        return;
    HWND combo = item(IDC_HOST);
    std::string host = window_text(combo);
    long at = history_.add_if_absent(host);
    if (at >= 0)
        SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(wide_ptr(widen(host))));
    SetFocus(combo);
}

void PingDialog::move_marker() {
    marker_.tick();
    InvalidateRect(hwnd(), &band_, TRUE);
}

void PingDialog::paint() {
    if (paint_minimised_icon(hwnd(), icon_))
        return;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    MoveToEx(dc, x1_, y1_, nullptr);
    LineTo(dc, x2_, y2_);
    if (running_) {
        GdiObject red(CreateSolidBrush(kMarkerColour));
        Selection selected(dc, red.get());
        int x = marker_.x(), h = kMarkerHalfSize;
        Rectangle(dc, x - h, y2_ - h, x + h, y2_ + h);
    }
    EndPaint(hwnd(), &ps);
}

void PingDialog::close() {
    LONG status = save_host_history(program_name(), history_.entries());
    if (status != ERROR_SUCCESS) {
        char text[64];
        std::snprintf(text, sizeof text, "RegSetValueEx - Error: %ld", static_cast<long>(status));
        message_box(text);
    }
    KillTimer(hwnd(), IDT_MARKER);
    end(IDCANCEL);
}

bool PingDialog::on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    switch (msg) {
    case ping_message::kLine:
        add_line(static_cast<int>(wp), take_posted<char[]>(lp));
        result = 0;
        return true;
    case ping_message::kDone:
        end_run(lp == 1);
        result = 0;
        return true;
    case WM_TIMER:
        if (wp != IDT_MARKER)
            return false;
        move_marker();
        return true;
    case WM_PAINT:
        paint();
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(icon_);
        return true;
    case WM_DESTROY:
        // Lines still queued for this window would otherwise never be freed.
        drop_posted<char[]>(hwnd(), ping_message::kLine);
        return false;
    default:
        return false;
    }
}
