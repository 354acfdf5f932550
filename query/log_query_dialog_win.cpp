#include "query/log_query_dialog_win.h"

#include <commctrl.h>

#include <cstdio>
#include <tuple>

#include "common/exclusive_file.h"
#include "common/save_as_win.h"
#include "common/string_resource_win.h"
#include "common/thread_messages_win.h"
#include "monitor/activity_log.h"
#include "monitor/filvane_messages_win.h"
#include "query/log_query.h"
#include "query/query_resources.h"
#include "query/text_to_time.h"

namespace {

// The bar follows the walk at this pace, whatever the day's size.
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressMs = 50;

SYSTEMTIME picker_time(HWND picker) {
    SYSTEMTIME st{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return st;
}

// The day of `day` at the time of day of `time`, as the log writes stamps.
std::string stamp_text(const SYSTEMTIME& day, const SYSTEMTIME& time) {
    return activity_stamp({day.wYear, day.wMonth, day.wDay, time.wHour, time.wMinute, time.wSecond});
}

auto as_tuple(const SYSTEMTIME& st) {
    return std::make_tuple(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

// A condition field counts only while its box is ticked.
struct Condition {
    int check;
    int field;
};
const Condition kConditions[] = {{IDC_QUERY_USER_CHECK, IDC_QUERY_USER},
                                 {IDC_QUERY_COMPUTER_CHECK, IDC_QUERY_COMPUTER},
                                 {IDC_QUERY_FILE_CHECK, IDC_QUERY_FILE}};

}  // namespace

LogQueryDialog::LogQueryDialog() : Dialog(IDD_LOG_QUERY, true) { LogView::register_class(); }

LogQueryDialog::~LogQueryDialog() = default;

BOOL LogQueryDialog::on_init() {
    session_box_ = LogView::of(item(IDC_QUERY_SESSION_LOG));
    file_box_ = LogView::of(item(IDC_QUERY_FILE_LOG));
    // The two logs take the room the dialog is given; the conditions stay.
    growing_.capture(hwnd(), {{IDC_QUERY_SESSION_LOG, Grow::WideAndTall},
                              {IDC_QUERY_FILE_LOG, Grow::WideAndTall},
                              {IDC_QUERY_PROGRESS, Grow::Wide}});
    return TRUE;
}

bool LogQueryDialog::on_command(int id, int notification) {
    switch (id) {
    case IDC_QUERY_RUN:
        query();
        return true;
    case IDC_QUERY_SAVE:
        save_as();
        return true;
    case IDC_QUERY_USER_CHECK:
    case IDC_QUERY_COMPUTER_CHECK:
    case IDC_QUERY_FILE_CHECK:
        for (const auto& c : kConditions)
            if (c.check == id)
                EnableWindow(item(c.field), IsDlgButtonChecked(hwnd(), id) == BST_CHECKED);
        return true;
    case IDOK:
        return true;  // Enter never ends the dialog; the close box does
    default:
        return Dialog::on_command(id, notification);
    }
}

bool LogQueryDialog::on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& answer) {
    switch (msg) {
    case WM_SIZE:
        growing_.on_size();
        return false;
    case WM_GETMINMAXINFO:
        growing_.limit(*reinterpret_cast<MINMAXINFO*>(lp));
        answer = 0;
        return true;
    case WM_TIMER:
        if (wp != kProgressTimer)
            return false;
        if (run_)
            show_progress();
        return true;
    case filvane_message::kQueryDone: {
        std::unique_ptr<QueryResult> result = take_posted<QueryResult>(lp);
        if (run_)
            finish_query(*result);
        return true;
    }
    case WM_DESTROY:
        run_.reset();  // a walk still going is stopped before the dialog goes
        drop_posted<QueryResult>(hwnd(), filvane_message::kQueryDone);
        return false;
    default:
        return false;
    }
}

void LogQueryDialog::query() {
    if (run_)
        return;
    SYSTEMTIME day = picker_time(item(IDC_QUERY_DATE));
    SYSTEMTIME from = picker_time(item(IDC_QUERY_START));
    SYSTEMTIME to = picker_time(item(IDC_QUERY_END));
    if (as_tuple(from) > as_tuple(to)) {
        message_box(resource_text(IDS_QUERY_START_AFTER_END), MB_OK);
        return;
    }
    QueryConditions conditions;
    conditions.start = text_to_time(stamp_text(day, from)).value_or(0);
    conditions.end = text_to_time(stamp_text(day, to)).value_or(0);
    std::string* fields[] = {&conditions.user, &conditions.computer, &conditions.file};
    for (std::size_t i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(hwnd(), kConditions[i].check) == BST_CHECKED)
            *fields[i] = item_text(kConditions[i].field);

    LocalTime date{day.wYear, day.wMonth, day.wDay, 0, 0, 0};
    auto file = ExclusiveFile::open(activity_file_name(date), ExclusiveFile::Disposition::OpenExisting);
    if (!file) {
        message_box(resource_text(IDS_QUERY_NO_DAY_FILE), MB_OK);
        return;
    }
    session_box_->show({});
    file_box_->show({});
    bar_.reset();
    // The walk runs beside the message loop: the dialog, and the main
    // window whose monitoring thread waits on its lists, keep answering.
    run_ = std::make_unique<QueryRun>(std::move(file), conditions, hwnd(), filvane_message::kQueryDone);
    set_running(true);
    SetTimer(hwnd(), kProgressTimer, kProgressMs, nullptr);
}

void LogQueryDialog::show_progress() {
    const QueryProgress& progress = run_->progress();
    HWND bar = item(IDC_QUERY_PROGRESS);
    if (!bar_) {
        long counter = progress.counter;
        if (counter < 0)
            return;  // the counter line is not read yet
        RECT client{};
        GetClientRect(bar, &client);
        bar_.emplace(counter, client.right);
        // The range carries 16-bit values: the count's low 16 bits.
        SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(1, static_cast<WORD>(bar_->range_max())));
        SendMessageW(bar, PBM_SETPOS, 1, 0);
    }
    long line = progress.line;
    if (bar_->moves(line))
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(line), 0);
}

void LogQueryDialog::finish_query(QueryResult& result) {
    KillTimer(hwnd(), kProgressTimer);
    show_progress();
    run_.reset();
    session_box_->show(std::move(result.session_log));
    file_box_->show(std::move(result.file_log));
    set_running(false);
    if (result.bad_line > 0) {
        char text[160];
        std::snprintf(text, sizeof text, resource_text(IDS_QUERY_BAD_LINE).c_str(), result.bad_line);
        message_box(text, MB_OK);
    }
}

// While a walk runs, neither a second query nor a save of the half-empty
// boxes can start.
void LogQueryDialog::set_running(bool running) {
    EnableWindow(item(IDC_QUERY_RUN), !running);
    EnableWindow(item(IDC_QUERY_SAVE), !running);
    if (!running && !GetFocus())
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_QUERY_RUN)), TRUE);
}

void LogQueryDialog::save_as() {
    if (auto path = ask_save_path(hwnd(), {"VlxLogo.txt", resource_text(IDS_QUERY_SAVE_FILTER), "txt"}))
        save_to(*path);
}

void LogQueryDialog::save_to(const std::string& path) {
    auto file = ExclusiveFile::open(path, ExclusiveFile::Disposition::CreateAlways);
    if (!file)
        return;  // a file that cannot be created: nothing written, nothing shown
    if (!file->write(saved_log_bytes(session_box_->text(), file_box_->text())))
        message_box(resource_text(IDS_QUERY_SAVE_FAILED), MB_OK);
}

void run_log_query_command(HWND main_window) {
    LogQueryDialog dialog;
    dialog.run_modal(main_window);
}
