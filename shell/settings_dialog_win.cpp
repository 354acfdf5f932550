#include "shell/settings_dialog_win.h"

#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "shell/settings_folder_browser_win.h"
#include "shell/settings_resources.h"
#include "shell/settings_rules.h"

namespace {

const char* const kIntervals[] = {"10", "20", "30", "40", "50", "60"};

// Text of item `index` of a list box (LB_) or combo box (CB_) through the
// wide messages; "" when there is no such item.
std::string list_item_text(HWND control, UINT length_msg, UINT text_msg, int index) {
    if (index < 0)
        return "";
    auto length = SendMessageW(control, length_msg, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return "";
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    auto got = SendMessageW(control, text_msg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return got < 0 ? "" : narrow(reinterpret_cast<const WCHAR*>(text.data()), static_cast<std::size_t>(got));
}

void add_string(HWND control, UINT msg, const std::string& gbk) {
    std::u16string wide = widen(gbk);
    SendMessageW(control, msg, 0, reinterpret_cast<LPARAM>(wide_ptr(wide)));
}

}  // namespace

SettingsDialog::SettingsDialog(SettingsStore& store, SettingsRegistry& registry)
    : Dialog(IDD_SETTINGS, true), store_(store), registry_(registry) {}

BOOL SettingsDialog::on_init() {
    MonitorSettings settings = store_.snapshot();
    set_item_text(IDC_SETTINGS_LOGGING, resource_text(settings.start_log ? IDS_LOGGING_ON : IDS_LOGGING_OFF));
    CheckDlgButton(hwnd(), IDC_SETTINGS_SESSIONS, settings.save_session ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), IDC_SETTINGS_OPEN_FILES, settings.save_file ? BST_CHECKED : BST_UNCHECKED);

    HWND intervals = item(IDC_SETTINGS_INTERVAL);
    for (const char* text : kIntervals)
        add_string(intervals, CB_ADDSTRING, text);
    SendMessageW(intervals, CB_SETCURSEL, static_cast<WPARAM>(interval_index(settings.share_time)), 0);

    HWND list = item(IDC_SETTINGS_FOLDERS);
    for (const std::string& folder : settings.folders)
        add_string(list, LB_ADDSTRING, folder);
    return TRUE;
}

bool SettingsDialog::on_command(int id, int notification) {
    switch (id) {
    case IDC_SETTINGS_LOGGING:
        toggle_logging();
        return true;
    case IDC_SETTINGS_ADD:
        add_folder();
        return true;
    case IDC_SETTINGS_DELETE:
        delete_folder();
        return true;
    case IDC_SETTINGS_FOLDERS:
        if (notification == LBN_SELCHANGE)
            show_selected_folder();
        return true;
    case IDC_SETTINGS_APPLY:
        apply();
        return true;
    case IDC_SETTINGS_CANCEL:
        end(IDCANCEL);
        return true;
    default:
        return Dialog::on_command(id, notification);  // the close box: IDCANCEL
    }
}

void SettingsDialog::toggle_logging() {
    if (item_text(IDC_SETTINGS_LOGGING) != resource_text(IDS_LOGGING_OFF)) {
        store_.update([](MonitorSettings& s) { s.start_log = false; });
        set_item_text(IDC_SETTINGS_LOGGING, resource_text(IDS_LOGGING_OFF));
    } else if (checked(IDC_SETTINGS_SESSIONS) || checked(IDC_SETTINGS_OPEN_FILES)) {
        store_.update([](MonitorSettings& s) { s.start_log = true; });
        set_item_text(IDC_SETTINGS_LOGGING, resource_text(IDS_LOGGING_ON));
    } else {
        message_box(resource_text(IDS_CHOOSE_CONTENT_FIRST));
    }
}

void SettingsDialog::add_folder() {
    std::string path;
    if (browse_for_folder(hwnd(), resource_text(IDS_CHOOSE_FOLDER), path))
        add_string(item(IDC_SETTINGS_FOLDERS), LB_ADDSTRING, path);
}

void SettingsDialog::delete_folder() {
    HWND list = item(IDC_SETTINGS_FOLDERS);
    auto selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) {
        message_box(resource_text(IDS_CHOOSE_FOLDER_TO_DELETE));
        return;
    }
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

void SettingsDialog::show_selected_folder() {
    HWND list = item(IDC_SETTINGS_FOLDERS);
    int selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (selected != LB_ERR)
        set_item_text(IDC_SETTINGS_PATH, list_item_text(list, LB_GETTEXTLEN, LB_GETTEXT, selected));
}

void SettingsDialog::apply() {
    ApplyChoices choices;
    choices.record_sessions = checked(IDC_SETTINGS_SESSIONS);
    choices.record_open_files = checked(IDC_SETTINGS_OPEN_FILES);
    choices.interval_item = selected_interval();
    choices.folders = folders();
    ApplyOutcome outcome = apply_settings(store_, choices, registry_);
    message_box(resource_text(outcome.message));
    if (outcome.stored)
        end(IDOK);
}

bool SettingsDialog::checked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }

std::vector<std::string> SettingsDialog::folders() const {
    HWND list = item(IDC_SETTINGS_FOLDERS);
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        result.push_back(list_item_text(list, LB_GETTEXTLEN, LB_GETTEXT, i));
    return result;
}

std::string SettingsDialog::selected_interval() const {
    HWND intervals = item(IDC_SETTINGS_INTERVAL);
    int selected = static_cast<int>(SendMessageW(intervals, CB_GETCURSEL, 0, 0));
    return list_item_text(intervals, CB_GETLBTEXTLEN, CB_GETLBTEXT, selected);
}
