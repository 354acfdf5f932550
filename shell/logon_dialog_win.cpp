#include "shell/logon_dialog_win.h"

#include <string>

#include "common/string_resource_win.h"
#include "monitor/failure_messages.h"
#include "shell/server_resources.h"

LogonDialog::LogonDialog(netmgmt::NetManagement& net, std::uint32_t refusal)
    : Dialog(IDD_LOGON, true), net_(net), refusal_(refusal) {}

BOOL LogonDialog::on_init() {
    set_item_text(IDC_LOGON_CAUSE, formatted_text(IDS_LOGON_REFUSED_BY_SERVER, failure_cause(refusal_)));
    SetFocus(item(IDC_LOGON_USER));
    return FALSE;  // the focus is set
}

bool LogonDialog::on_command(int id, int notification) {
    if (id == IDOK) {
        give_account();
        return true;
    }
    return Dialog::on_command(id, notification);
}

void LogonDialog::give_account() {
    const std::string user = item_text(IDC_LOGON_USER);
    const std::string password = item_text(IDC_LOGON_PASSWORD);
    const bool remember = IsDlgButtonChecked(hwnd(), IDC_LOGON_REMEMBER) == BST_CHECKED;
    const std::uint32_t status = net_.use_account(user, password, remember);
    if (status == netmgmt::kSuccess) {
        end(IDOK);
        return;
    }
    set_item_text(IDC_LOGON_NOT_TAKEN, status == netmgmt::kInvalidParameter
                                           ? resource_text(IDS_LOGON_BAD_ACCOUNT)
                                           : formatted_text(IDS_LOGON_NOT_TAKEN, failure_cause(status)));
    SetFocus(item(status == netmgmt::kInvalidParameter ? IDC_LOGON_USER : IDC_LOGON_PASSWORD));
}

bool ask_for_account(HWND owner, netmgmt::NetManagement& net, std::uint32_t refusal) {
    LogonDialog dialog(net, refusal);
    return dialog.run_modal(owner) == IDOK;
}
