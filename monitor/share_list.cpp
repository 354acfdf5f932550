#include "monitor/share_list.h"

#include "monitor/failure_messages.h"
#include "monitor/monitor_pass.h"
#include "netmgmt/enumerate.h"

std::uint32_t refresh_share_rows(netmgmt::NetManagement& net, ListRows& list,
                                 const std::function<void(const std::string&)>& report) {
    bool replied = false;
    auto status = netmgmt::enumerate_all([&](std::uint32_t& resume) { return net.enum_shares(8192, resume); },
                                         [&](const std::vector<netmgmt::ShareInfo>& records, bool first) {
                                             if (first)
                                                 list.delete_all_rows();
                                             replied = true;
                                             for (const auto& share : records)
                                                 insert_full_row(list, 0,
                                                                 {{share.name, kImageShareName},
                                                                  {share.path, kImageSharePath},
                                                                  {std::to_string(share.current_uses), kImageShareUses},
                                                                  {share.remark, kImageShareRemark}});
                                         });
    if (status != netmgmt::kSuccess)
        report(replied ? share_refresh_failure_message(status) : share_call_failure_message(status));
    return status;
}
