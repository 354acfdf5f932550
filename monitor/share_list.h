// The share list: rebuilt from scratch at every refresh, each share inserted
// at the top, so the list reads in the reverse of the system's order.
#pragma once

#include <functional>
#include <string>

#include "monitor/list_rows.h"
#include "netmgmt/net_management.h"

enum ShareColumn { kShareName, kSharePath, kShareUses, kShareRemark, kShareColumns };

// Returns 0, or the failure that stopped the refresh; a failed refresh keeps
// whatever rows the list had at that moment. `report` gets one line per
// failing refresh.
std::uint32_t refresh_share_rows(netmgmt::NetManagement& net, ListRows& list,
                                 const std::function<void(const std::string&)>& report);
