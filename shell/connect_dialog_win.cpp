#include "shell/connect_dialog_win.h"

#include <optional>
#include <string>

#include "common/string_resource_win.h"
#include "shell/commands_resources.h"
#include "shell/server_name.h"
#include "shell/server_resources.h"
#include "shell/server_start_win.h"

ConnectDialog::ConnectDialog() : Dialog(IDD_CONNECT, true) {}

BOOL ConnectDialog::on_init() {
    SetFocus(item(IDC_CONNECT_NAME));
    return FALSE;  // the focus is set
}

bool ConnectDialog::on_command(int id, int notification) {
    if (id == IDOK) {
        connect();
        return true;
    }
    return Dialog::on_command(id, notification);
}

void ConnectDialog::connect() {
    const std::string name = item_text(IDC_CONNECT_NAME);
    // An empty box names no other computer.
    const std::optional<std::string> server = watched_server_of({name});
    if (!server || server->empty()) {
        set_item_text(IDC_CONNECT_REFUSED, formatted_text(IDS_BAD_SERVER_NAME, name));
        SetFocus(item(IDC_CONNECT_NAME));
        return;
    }
    if (start_watching(hwnd(), *server))
        end(IDOK);
}

void run_connect_command(HWND owner) {
    ConnectDialog dialog;
    dialog.run_modal(owner);
}
