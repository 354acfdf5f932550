#include "shell/logon_asking.h"

#include "netmgmt/net_management.h"

bool LogonAsking::refusal(std::uint32_t status) const {
    return status == netmgmt::kLogonFailure || status == netmgmt::kNotAuthenticated ||
           (remote_ && status == netmgmt::kAccessDenied);
}

std::uint32_t LogonAsking::after_pass(std::uint32_t sessions_status, std::uint32_t open_files_status) {
    const std::uint32_t refused = refusal(sessions_status)     ? sessions_status
                                  : refusal(open_files_status) ? open_files_status
                                                               : 0;
    if (refused == 0)
        asked_ = false;
    if (pass_under_way_) {
        pass_under_way_ = false;
        return 0;
    }
    if (refused == 0 || asked_)
        return 0;
    asked_ = true;
    return refused;
}

void LogonAsking::account_given() {
    asked_ = false;
    pass_under_way_ = true;
}
