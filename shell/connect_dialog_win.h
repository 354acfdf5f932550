// The connect command: a small dialog asking for another computer's name
// (\\NAME, NAME or an IPv4 address). A name Filvane cannot watch is refused
// in a line under the box and the dialog stays (a message box over it left
// Wine's dialog deaf to Cancel); a good one starts a Filvane watching that
// server and closes the dialog.
#pragma once

#include <windows.h>

#include "common/dialog_win.h"

class ConnectDialog : public Dialog {
public:
    ConnectDialog();

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;

private:
    void connect();
};

void run_connect_command(HWND owner);
