// When the main window asks for an account: once per refusal, again after a
// given account is refused too, and never for a failure no account mends.
#include <gtest/gtest.h>

#include "netmgmt/net_management.h"
#include "shell/logon_asking.h"

using namespace netmgmt;

TEST(LogonAsking, AsksOncePerRefusalNotEveryPass) {
    LogonAsking asking(true);
    EXPECT_EQ(asking.after_pass(kSuccess, kSuccess), 0u);
    EXPECT_EQ(asking.after_pass(kLogonFailure, kLogonFailure), kLogonFailure);
    for (int pass = 0; pass < 5; ++pass)
        EXPECT_EQ(asking.after_pass(kLogonFailure, kLogonFailure), 0u) << "declined: the status line says it";
    EXPECT_EQ(asking.after_pass(kBadNetPath, kBadNetPath), 0u);
    EXPECT_EQ(asking.after_pass(kSuccess, kSuccess), 0u);
    EXPECT_EQ(asking.after_pass(kSuccess, kNotAuthenticated), kNotAuthenticated) << "refused anew after a good pass";
}

TEST(LogonAsking, AGivenAccountThatIsRefusedTooIsAskedAboutAgain) {
    LogonAsking asking(true);
    ASSERT_EQ(asking.after_pass(kNotAuthenticated, kNotAuthenticated), kNotAuthenticated);
    asking.account_given();
    EXPECT_EQ(asking.after_pass(kNotAuthenticated, kNotAuthenticated), 0u)
        << "the pass under way when the account came";
    EXPECT_EQ(asking.after_pass(kLogonFailure, kLogonFailure), kLogonFailure);
    EXPECT_EQ(asking.after_pass(kLogonFailure, kLogonFailure), 0u);

    asking.account_given();
    EXPECT_EQ(asking.after_pass(kSuccess, kSuccess), 0u);
    EXPECT_EQ(asking.after_pass(kSuccess, kSuccess), 0u);
    EXPECT_EQ(asking.after_pass(kLogonFailure, kSuccess), kLogonFailure);
}

TEST(LogonAsking, ADeniedAccessIsTheAccountsOnlyOnAnotherComputer) {
    LogonAsking remote(true), local(false);
    EXPECT_EQ(remote.after_pass(kAccessDenied, kAccessDenied), kAccessDenied);
    // Here it is the running user's: without root the status tool fails,
    // which no Samba account mends.
    EXPECT_EQ(local.after_pass(kAccessDenied, kAccessDenied), 0u);
    EXPECT_EQ(local.after_pass(kAccessDenied, kNotAuthenticated), kNotAuthenticated)
        << "the open files' refusal when the sessions' is the user's";
    for (std::uint32_t other : {kServerNotStarted, kTimeout, kExposedFile, kInvalidData})
        EXPECT_EQ(LogonAsking(true).after_pass(other, other), 0u) << other;
}
