#include "shell/monitor_dialog_win.h"

#include <shellapi.h>

#include <iterator>

#include "common/controls_win.h"
#include "common/message_box_win.h"
#include "common/minimised_icon_win.h"
#include "common/string_resource_win.h"
#include "common/thread_messages_win.h"
#include "common/wide_text_win.h"
#include "filvane_version.h"
#include "monitor/error_log.h"
#include "monitor/list_view_rows_win.h"
#include "monitor/monitor_pass.h"
#include "monitor/monitor_settings.h"
#include "monitor/share_list.h"
#include "query/log_query_dialog_win.h"
#include "shell/about_dialog_win.h"
#include "shell/browser_start.h"
#include "shell/close_opens_win.h"
#include "shell/commands_resources.h"
#include "shell/companions_win.h"
#include "shell/connect_dialog_win.h"
#include "shell/disconnect_session_win.h"
#include "shell/filvane_resources.h"
#include "shell/list_export_win.h"
#include "shell/logon_dialog_win.h"
#include "shell/server_address.h"
#include "shell/settings_command_win.h"
#include "shell/settings_registry_win.h"
#include "shell/system_menu_commands_win.h"
#include "shell/tray_icon_win.h"
#include "shell/tray_menu_win.h"
#include "shell/update_check_win.h"
#include "shell/window_memory.h"

const char kMainTitle[] = FILVANE_MAIN_TITLE;

namespace {

constexpr UINT_PTR kShareTimer = 1;
// Ticks the lists' age on the status line while a slow pass holds them.
constexpr UINT_PTR kAgeTimer = 2;
constexpr UINT kAgeTimerMs = 500;
constexpr DWORD kStopWaitMs = 5000;

struct Column {
    unsigned heading;
    int width;
};

const Column kShareHeadings[] = {{IDS_HEADING_SHARE_NAME, 150},
                                 {IDS_HEADING_SHARE_PATH, 150},
                                 {IDS_HEADING_SHARE_USES, 120},
                                 {IDS_HEADING_SHARE_REMARK, 120}};
const Column kSessionHeadings[] = {{IDS_HEADING_USER, 130},
                                   {IDS_HEADING_COMPUTER, 150},
                                   {IDS_HEADING_OPENS, 120},
                                   {IDS_HEADING_CONNECTED, 100},
                                   {IDS_HEADING_IDLE, 100}};
const Column kOpenFileHeadings[] = {
    {IDS_HEADING_OPEN_PATH, 250}, {IDS_HEADING_VISITOR, 150}, {IDS_HEADING_OPEN_MODE, 120}, {IDS_HEADING_OPEN_ID, 0}};

static_assert(std::size(kShareHeadings) == kShareColumns && std::size(kSessionHeadings) == kSessionColumns &&
                  std::size(kOpenFileHeadings) == kOpenFileColumns,
              "one heading per column");

// The icon resource of each image of the lists' image list: a switch, so an
// image without its icon does not compile.
int list_icon(ListImage image) {
    switch (image) {
    case kImageOpenMode:
        return IDI_LIST_OPEN_MODE;
    case kImageOpenPath:
        return IDI_LIST_OPEN_PATH;
    case kImageSessionOpens:
        return IDI_LIST_SESSION_OPENS;
    case kImageShareName:
        return IDI_LIST_SHARE_NAME;
    case kImageComputer:
        return IDI_LIST_COMPUTER;
    case kImageTime:
        return IDI_LIST_TIME;
    case kImageUser:
        return IDI_LIST_USER;
    case kImageSharePath:
        return IDI_LIST_SHARE_PATH;
    case kImageShareUses:
        return IDI_LIST_SHARE_USES;
    case kImageShareRemark:
        return IDI_LIST_SHARE_REMARK;
    case kListImages:
        break;
    }
    return 0;
}

template <std::size_t N>
void set_up_list(HWND list, const Column (&columns)[N]) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
    for (std::size_t i = 0; i < N; ++i)
        list_insert_column(list, static_cast<int>(i), resource_text(columns[i].heading), columns[i].width);
}

}  // namespace

MonitorDialog::MonitorDialog(netmgmt::NetManagement& net, std::string title, DWORD pass_period_ms, bool remote)
    : Dialog(IDD_MONITOR, true),
      net_(net),
      title_(std::move(title)),
      pass_period_ms_(pass_period_ms),
      icon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN))),
      logon_asking_(remote) {}

MonitorDialog::~MonitorDialog() = default;

BOOL MonitorDialog::on_init() {
    SetWindowTextW(hwnd(), wide_ptr(widen(title_)));
    set_up_lists();
    sessions_.attach(item(IDC_SESSIONS));
    open_files_.attach(item(IDC_OPEN_FILES));
    // Before the toolbar, which places itself.
    growing_.capture(hwnd(),
                     {{IDC_SHARES, kShareColumnsValue},
                      {IDC_SESSIONS, kSessionColumnsValue},
                      {IDC_OPEN_FILES, kOpenFileColumnsValue}},
                     {{IDC_STATUS, Grow::Wide},
                      {IDC_FIND_LABEL, Grow::Right},
                      {IDC_FIND, Grow::Right},
                      {IDC_EXPORT_SESSIONS, Grow::Right},
                      {IDC_EXPORT_OPEN_FILES, Grow::Right}});
    toolbar_.create(hwnd());  // a failure has been reported; the window goes on without it
    add_about_to_system_menu();
    add_toolbar_commands_to_system_menu(hwnd());
    use_accelerators(LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_KEYS)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    AboutDialog welcome;
    welcome.run_modal(hwnd());

    load_monitor_settings(monitor_settings());

    worker_ = std::make_unique<MonitorWorker>(net_, hwnd(), pass_box_texts(), pass_period_ms_);
    if (!worker_->start()) {
        worker_.reset();  // nothing to stop at close
        message_box(resource_text(IDS_WORKER_NOT_STARTED));
    }
    // Nothing is listed yet: the lists' age counts from now.
    status_line_.lists_current_at(static_cast<std::int64_t>(GetTickCount64()));
    SetTimer(hwnd(), kAgeTimer, kAgeTimerMs, nullptr);
    start_update_check(hwnd());

    // The first refresh comes once the window is up, so a box about a
    // failing one never holds the window back.
    PostMessageW(hwnd(), filvane_message::kRestorePlacement, 0, 0);
    PostMessageW(hwnd(), filvane_message::kFirstShareRefresh, 0, 0);
    SetTimer(hwnd(), kShareTimer, share_refresh_period_ms(monitor_settings().snapshot().share_time), nullptr);
    return TRUE;
}

void MonitorDialog::add_about_to_system_menu() {
    WCHAR text[128] = {0};
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUT_MENU, text, 128) <= 0)
        return;
    HMENU menu = GetSystemMenu(hwnd(), FALSE);
    if (!menu)
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUT, text);
}

void MonitorDialog::set_up_lists() {
    set_up_list(item(IDC_SESSIONS), kSessionHeadings);
    set_up_list(item(IDC_OPEN_FILES), kOpenFileHeadings);
    set_up_list(item(IDC_SHARES), kShareHeadings);

    images_ = ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, 2, 0);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int image = 0; image < kListImages; ++image) {
        int resource = list_icon(static_cast<ListImage>(image));
        auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON, 16, 16, 0));
        ImageList_AddIcon(images_, icon);
        DestroyIcon(icon);
    }
    // The lists share one image list (LVS_SHAREIMAGELISTS), so none of them
    // destroys it; the window does, on close.
    for (int list : {IDC_SESSIONS, IDC_OPEN_FILES, IDC_SHARES}) {
        HWND control = item(list);
        SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | LVS_SHAREIMAGELISTS);
        SendMessageW(control, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_));
    }
}

void MonitorDialog::refresh_shares() {
    // A tick inside a box of the refresh before waits for the next one.
    if (refreshing_shares_)
        return;
    refreshing_shares_ = true;
    ListViewRows shares(item(IDC_SHARES));
    ErrorLog error_log;
    std::uint32_t status = refresh_share_rows(net_, shares, [&](const std::string& line) {
        if (!error_log.write(line))
            show_report(hwnd(), resource_text(IDS_ERROR_LOG_FAILED), MB_OK);
    });
    show_status(StatusSource::Shares, status);
    shares_status_ = status;
    refreshing_shares_ = false;
}

void MonitorDialog::show_status(StatusSource source, std::uint32_t status) {
    status_line_.report(source, status, current_local_time());
    show_status_line();
}

// While a find text narrows the lists the line starts with what they show
// of how many; the current failure follows.
void MonitorDialog::show_status_line() {
    std::string text;
    if (!find_text_.empty()) {
        auto counts = [](const SortedListView& list) {
            return std::to_string(list.shown_count()) + " / " + std::to_string(list.total());
        };
        text = formatted_text(IDS_SHOWN_SESSIONS, counts(sessions_)) + "  " +
               formatted_text(IDS_SHOWN_OPEN_FILES, counts(open_files_));
        if (!status_line_.text().empty())
            text += "  ";
    }
    text += status_line_.text();
    if (text == status_shown_)
        return;
    status_shown_ = text;
    set_item_text(IDC_STATUS, text);
}

void MonitorDialog::on_find_changed() {
    find_text_ = item_text(IDC_FIND);
    sessions_.find(find_text_);
    open_files_.find(find_text_);
    show_status_line();
}

void MonitorDialog::apply_pass(const PassUpdate& update) {
    sessions_.apply(update.sessions);
    open_files_.apply(update.open_files);
    show_status(StatusSource::Sessions, update.sessions_status);
    show_status(StatusSource::OpenFiles, update.open_files_status);
    reread_failed_shares(update);
    // Posted: the worker waits for this message, not for the user.
    if (const std::uint32_t refusal = logon_asking_.after_pass(update.sessions_status, update.open_files_status))
        PostMessageW(hwnd(), filvane_message::kAskForAccount, refusal, 0);
    show_status(StatusSource::DayFile, update.day_file_status);
    if (update.unwritten_entries)
        status_line_.report_unwritten(*update.unwritten_entries, current_local_time());
    if (update.lists_current_at)
        status_line_.lists_current_at(static_cast<std::int64_t>(*update.lists_current_at));
    show_lists_age();
}

void MonitorDialog::show_lists_age() {
    status_line_.report_age(static_cast<std::int64_t>(GetTickCount64()), stale_after_ms(pass_period_ms_));
    show_status_line();
}

void MonitorDialog::on_column_click(const NMLISTVIEW& click) {
    if (click.hdr.idFrom == IDC_SESSIONS)
        sessions_.sort_by(click.iSubItem);
    else if (click.hdr.idFrom == IDC_OPEN_FILES)
        open_files_.sort_by(click.iSubItem);
}

// After a server restart the share list would name its failure until the
// next tick, up to ShareTime later: it is read again at the first pass that
// reads both lists well after one that did not. Posted, so a box the refresh
// raises never holds the worker's pass.
void MonitorDialog::reread_failed_shares(const PassUpdate& update) {
    const bool read_well = update.sessions_status == 0 && update.open_files_status == 0;
    if (read_well && !pass_read_well_ && shares_status_ != 0)
        PostMessageW(hwnd(), WM_TIMER, kShareTimer, 0);
    pass_read_well_ = read_well;
}

// Cancel leaves the refusal on the status line; an account given is tried
// at once.
void MonitorDialog::ask_for_account(std::uint32_t refusal) {
    if (closing_ || !::ask_for_account(hwnd(), net_, refusal))
        return;
    logon_asking_.account_given();
    if (worker_)
        worker_->pass_now();
}

// Each action with the ids that ask for it: the toolbar's, and its twin in
// the tray menu where there is one.
const MonitorDialog::CommandAction* MonitorDialog::action_of(int id) {
    static const CommandAction kActions[] = {
        {ID_SETTINGS, ID_TRAY_SETTINGS, &MonitorDialog::open_settings},
        {ID_CLOSE_FILE, 0, &MonitorDialog::close_open_file},
        {ID_DISCONNECT_SESSION, 0, &MonitorDialog::disconnect_session},
        {ID_CONNECT, ID_TRAY_CONNECT, &MonitorDialog::connect_to_server},
        {ID_LOG_QUERY, 0, &MonitorDialog::open_log_query},
        {ID_ABOUT, ID_TRAY_ABOUT, &MonitorDialog::show_about},
        {ID_HOST_SCAN, ID_TRAY_HOST_SCAN, &MonitorDialog::start_host_scanner},
        {ID_PING, ID_TRAY_PING, &MonitorDialog::start_ping},
        {ID_HELP, 0, &MonitorDialog::open_help},
        {ID_HIDE, 0, &MonitorDialog::hide},
        {0, ID_TRAY_RESTORE, &MonitorDialog::restore},
        {ID_QUIT, ID_TRAY_QUIT, &MonitorDialog::quit},
    };
    for (const CommandAction& action : kActions)
        if (id != 0 && (id == action.toolbar_id || id == action.tray_id))
            return &action;
    return nullptr;
}

bool MonitorDialog::on_command(int id, int notification) {
    if (const CommandAction* action = action_of(id)) {
        (this->*action->run)();
        return true;
    }
    if (on_list_command(id, notification))
        return true;
    // Only the close box and the quit command end the window.
    return id == IDOK || id == IDCANCEL;
}

// The find box, the export buttons and the keys of the lists.
bool MonitorDialog::on_list_command(int id, int notification) {
    switch (id) {
    case IDC_FIND:
        if (notification == EN_CHANGE)
            on_find_changed();
        return true;
    case ID_FIND_FOCUS:
        SetFocus(item(IDC_FIND));
        SendMessageW(item(IDC_FIND), EM_SETSEL, 0, -1);
        return true;
    case ID_REFRESH_NOW:
        if (worker_)
            worker_->pass_now();
        refresh_shares();
        return true;
    case IDC_EXPORT_SESSIONS:
        export_shown_rows(hwnd(), sessions_, resource_text(IDS_EXPORT_SESSIONS_NAME));
        return true;
    case IDC_EXPORT_OPEN_FILES:
        export_shown_rows(hwnd(), open_files_, resource_text(IDS_EXPORT_OPEN_FILES_NAME));
        return true;
    default:
        return false;
    }
}

void MonitorDialog::on_list_key(const NMLVKEYDOWN& key) {
    const bool open_files = key.hdr.idFrom == IDC_OPEN_FILES;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (key.wVKey == 'C' && control) {
        copy_selected_rows(hwnd(), open_files ? open_files_ : sessions_);
    } else if (key.wVKey == 'A' && control && open_files) {
        LVITEMW all{};
        all.stateMask = LVIS_SELECTED;
        all.state = LVIS_SELECTED;
        SendMessageW(key.hdr.hwndFrom, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    } else if (key.wVKey == VK_DELETE && open_files) {
        close_open_file();
    }
}

void MonitorDialog::open_log_query() { run_log_query_command(hwnd()); }

void MonitorDialog::close_open_file() { close_chosen_opens(hwnd(), net_, open_files_.selected()); }

void MonitorDialog::disconnect_session() { disconnect_chosen_session(hwnd(), net_, sessions_.selected()); }

void MonitorDialog::connect_to_server() { run_connect_command(hwnd()); }

// The session list's right-click menu: the disconnect command.
void MonitorDialog::show_session_menu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuW(menu, MF_STRING, ID_DISCONNECT_SESSION, wide_ptr(widen(resource_text(IDS_COMMAND_DISCONNECT))));
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu, 0, at.x, at.y, 0, hwnd(), nullptr);
    DestroyMenu(menu);
}

bool MonitorDialog::on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    switch (msg) {
    case WM_SYSCOMMAND:
        if (wp == SC_MINIMIZE) {  // exactly: the window hides into the tray instead
            hide_into_tray(hwnd(), icon_, title_);
            result = 0;
            return true;
        }
        if ((wp & 0xFFFF) >= IDM_ABOUT && (wp & 0xFFFF) <= IDM_ABOUT + 15) {
            about_dialog().run_modal(hwnd());
            result = 0;
            return true;
        }
        if (const int command = toolbar_command_of(wp)) {
            on_command(command, 0);
            result = 0;
            return true;
        }
        return false;
    case WM_PAINT:
        if (!paint_minimised_icon(hwnd(), icon_))
            return false;
        result = 0;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(icon_);
        return true;
    case WM_TIMER:
        if (wp == kShareTimer)
            refresh_shares();
        else if (wp == kAgeTimer)
            show_lists_age();
        return false;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lp);
        if (header.code == LVN_GETDISPINFOW) {
            // The session and open-file lists hold no rows: they ask for the cells they draw.
            auto& info = *reinterpret_cast<NMLVDISPINFOW*>(lp);
            if (!sessions_.fill_cell(info) && !open_files_.fill_cell(info))
                return false;
            result = 0;
            return true;
        }
        if (header.code == LVN_ODFINDITEMW) {
            const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(lp);
            return sessions_.find_typed(find, result) || open_files_.find_typed(find, result);
        }
        if (header.code == LVN_COLUMNCLICK)
            on_column_click(*reinterpret_cast<const NMLISTVIEW*>(lp));
        else if (header.code == LVN_KEYDOWN && (header.idFrom == IDC_SESSIONS || header.idFrom == IDC_OPEN_FILES))
            on_list_key(*reinterpret_cast<const NMLVKEYDOWN*>(lp));
        else if (header.code == NM_RCLICK && header.idFrom == IDC_SESSIONS)
            show_session_menu();
        return false;
    }
    case WM_SIZE:
        growing_.on_size();
        toolbar_.lay_out();
        return false;
    case WM_GETMINMAXINFO:
        growing_.limit(*reinterpret_cast<MINMAXINFO*>(lp));
        result = 0;
        return true;
    case filvane_message::kRestorePlacement:
        growing_.restore_remembered();
        result = 0;
        return true;
    case filvane_message::kFirstShareRefresh:
        refresh_shares();
        result = 0;
        return true;
    case filvane_message::kPassUpdate:
        apply_pass(sent_payload<const PassUpdate>(lp));
        result = 0;
        return true;
    case filvane_message::kAskForAccount:
        ask_for_account(static_cast<std::uint32_t>(wp));
        result = 0;
        return true;
    case WM_CLOSE:
        close_window();
        result = 0;
        return true;
    case filvane_message::kTrayNotify:
        on_tray_notification(static_cast<UINT>(lp));
        result = 0;
        return true;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (!tray_menu_ || !tray_menu_->route(msg, lp))
            return false;
        result = TRUE;
        return true;
    default:
        (void)lp;
        return false;
    }
}

void MonitorDialog::close_window() {
    // A WM_CLOSE sent while closing waits (the update check's) must not
    // start the sequence again.
    if (closing_)
        return;
    closing_ = true;
    tray_icon(hwnd(), TrayAction::Delete, nullptr, title_);
    // A pass in the middle of handing over its lists finishes it: the wait
    // answers it. A worker still busy after that is left to the process's end.
    if (worker_)
        worker_->stop(kStopWaitMs);
    KillTimer(hwnd(), kShareTimer);
    KillTimer(hwnd(), kAgeTimer);
    if (!growing_.remember()) {
        ErrorLog error_log;
        if (!error_log.write(resource_text(IDS_WINDOW_NOT_REMEMBERED)))
            show_report(hwnd(), resource_text(IDS_ERROR_LOG_FAILED), MB_OK);
    }
    // Destroyed once the worker no longer draws rows with it.
    ImageList_Destroy(images_);
    images_ = nullptr;
    if (may_start_browser())
        ShellExecuteW(nullptr, L"open", wide_ptr(widen(home_page_address())), nullptr, nullptr, SW_SHOW);
    end(IDCANCEL);
}

void MonitorDialog::open_settings() {
    if (unsigned period = run_settings_command(hwnd()))
        SetTimer(hwnd(), kShareTimer, period, nullptr);
}

void MonitorDialog::show_about() { about_dialog().run_modal(hwnd()); }
void MonitorDialog::start_host_scanner() { start_companion(hwnd(), Companion::HostScanner); }
void MonitorDialog::start_ping() { start_companion(hwnd(), Companion::Ping); }
void MonitorDialog::open_help() { start_companion(hwnd(), Companion::Help); }
void MonitorDialog::hide() { SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }
void MonitorDialog::restore() { show_from_tray(hwnd(), title_); }
void MonitorDialog::quit() { SendMessageW(hwnd(), WM_CLOSE, 0, 0); }

void MonitorDialog::on_tray_notification(UINT mouse_message) {
    if (mouse_message == WM_LBUTTONUP) {
        show_from_tray(hwnd(), title_);
    } else if (mouse_message == WM_RBUTTONUP) {
        tray_menu_ = build_tray_menu();
        if (!tray_menu_)
            return;
        POINT at{};
        GetCursorPos(&at);
        track_tray_menu(*tray_menu_, hwnd(), at);
        tray_menu_.reset();
    }
}
