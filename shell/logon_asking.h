// When the main window asks for an account: once for each refusal by the
// server, never on every pass while it lasts. Cancel leaves the refusal to
// the status line until the server has answered without one.
#pragma once

#include <cstdint>

class LogonAsking {
public:
    // `remote`: the window watches another computer, where a denied access
    // is the account's; on the computer itself it is the running user's.
    explicit LogonAsking(bool remote) : remote_(remote) {}

    // The refusal a pass's enumerations ended with, to ask about now; 0
    // when there is none or it has been asked about.
    std::uint32_t after_pass(std::uint32_t sessions_status, std::uint32_t open_files_status);
    // An account was given: the pass under way when it came may still
    // answer with the old one, so its refusal is not asked about.
    void account_given();

private:
    bool refusal(std::uint32_t status) const;

    const bool remote_;
    bool asked_ = false;
    bool pass_under_way_ = false;
};
