// The close-file command on the rows chosen in the open-file list: one
// question naming the open (or how many), each open closed by its id as it
// was read before the question, then one answer: closed, or how many closed
// and which failed.
#pragma once

#include <windows.h>

#include <vector>

#include "monitor/list_rows.h"
#include "netmgmt/net_management.h"

void close_chosen_opens(HWND owner, netmgmt::NetManagement& net, const std::vector<Row>& chosen);
