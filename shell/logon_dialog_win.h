// The dialog that asks for an account when the watched server refuses the
// one Filvane has: the refusal's cause, a name, a password and "remember".
// OK gives the account to the port; a name the port refuses, or an account
// it cannot store, is said in a line under the boxes and the dialog stays.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/dialog_win.h"
#include "netmgmt/net_management.h"

class LogonDialog : public Dialog {
public:
    LogonDialog(netmgmt::NetManagement& net, std::uint32_t refusal);

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;

private:
    void give_account();

    netmgmt::NetManagement& net_;
    const std::uint32_t refusal_;
};

// Asks for an account after `refusal`; true when one was given (the caller
// starts a pass with it), false on Cancel.
bool ask_for_account(HWND owner, netmgmt::NetManagement& net, std::uint32_t refusal);
