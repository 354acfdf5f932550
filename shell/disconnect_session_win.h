// The disconnect command on the row chosen in the session list: one question
// naming the user and the client (and, where the server ends the client's
// whole connection, saying so), the port's call, then the outcome. The row
// goes at the next pass that no longer finds the session.
#pragma once

#include <windows.h>

#include <vector>

#include "monitor/list_rows.h"
#include "netmgmt/net_management.h"

void disconnect_chosen_session(HWND owner, netmgmt::NetManagement& net, const std::vector<Row>& chosen);
