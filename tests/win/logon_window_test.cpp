// The account dialog of the main window, through the scripted port: a
// refused pass asks once, OK hands the account over and a pass lists with
// it, Cancel leaves the refusal to the status line, and an account the
// server refuses too is asked for again with its cause.
#include "support/running_monitor.h"

#include <string>
#include <vector>

#include "common/controls_win.h"
#include "netmgmt/net_management.h"
#include "shell/filvane_resources.h"
#include "shell/server_resources.h"
#include "support/fake_net.h"
#include "support/window_driver.h"

namespace {

const char kLogonTitle[] = "登录到服务器";

std::string refused_by(const std::string& cause) {
    return "服务器拒绝了本程序的访问:" + cause + "。请输入一个可以查看会话和打开文件的账户。";
}

struct LogonWindow : RunningMonitor {
    void refuse(std::uint32_t status) {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.session_failure = status;
        net.open_file_failure = status;
    }
    void answer_accounts(std::uint32_t status) {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.account_result = status;
    }
    std::vector<FakeNet::GivenAccount> given() {
        std::lock_guard<std::mutex> lock(net.mutex);
        return net.accounts_given;
    }
    static void type(HWND dialog, const std::string& user, const std::string& password, bool remember) {
        set_window_text(GetDlgItem(dialog, IDC_LOGON_USER), user);
        set_window_text(GetDlgItem(dialog, IDC_LOGON_PASSWORD), password);
        SendMessageW(GetDlgItem(dialog, IDC_LOGON_REMEMBER), BM_SETCHECK, remember ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    static std::string text(HWND dialog, int id) { return window_text(GetDlgItem(dialog, id)); }
    // Two passes and more, so a dialog asked for on any of them is up.
    static bool stays_away() {
        Sleep(2500);
        return find_window(kLogonTitle) == nullptr;
    }
};

}  // namespace

TEST_F(LogonWindow, ARefusalAsksOnceAndTheGivenAccountListsThePass) {
    {
        std::lock_guard<std::mutex> lock(net.mutex);
        net.sessions = {{"alice", "PC1", 0, 5, 0}};
    }
    refuse(netmgmt::kNotAuthenticated);
    HWND dialog = wait_for_window(kLogonTitle, 5000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(wait_until(
        [&] {
            return text(dialog, IDC_LOGON_CAUSE) ==
                   refused_by("没有可用的Samba管理员账户,以root运行filvane-samba-account setup可建立(1244)");
        },
        3000))
        << text(dialog, IDC_LOGON_CAUSE);

    // An account the port will not take keeps the dialog up and says why.
    answer_accounts(netmgmt::kInvalidParameter);
    type(dialog, "ad:min", "pw", false);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_until(
        [&] {
            return text(dialog, IDC_LOGON_NOT_TAKEN) ==
                   "用户名不能为空,不能含有冒号;用户名和密码都不能含有换行等控制字符。";
        },
        3000));
    Sleep(1500);  // passes go on, refused, while the dialog is up
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(find_window(kLogonTitle), dialog) << "one dialog, however many passes are refused";

    // The server takes the next account.
    answer_accounts(netmgmt::kSuccess);
    type(dialog, "管理员", "密码 1", true);
    refuse(netmgmt::kSuccess);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 3000));
    const auto accounts = given();
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_EQ(accounts[1].user, "管理员");
    EXPECT_EQ(accounts[1].password, "密码 1");
    EXPECT_TRUE(accounts[1].remember);
    EXPECT_FALSE(accounts[0].remember);
    EXPECT_TRUE(wait_until([&] { return list_row_count(GetDlgItem(main, IDC_SESSIONS)) == 1; }, 3000));
    EXPECT_TRUE(stays_away());
}

TEST_F(LogonWindow, CancelLeavesTheRefusalToTheStatusLine) {
    refuse(netmgmt::kLogonFailure);
    HWND dialog = wait_for_window(kLogonTitle, 5000);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 3000));
    EXPECT_TRUE(stays_away()) << "the refused passes after Cancel ask no more";
    EXPECT_NE(
        window_text(GetDlgItem(main, IDC_STATUS)).find("Samba管理员账户的用户名或密码错误(1326)"), std::string::npos)
        << window_text(GetDlgItem(main, IDC_STATUS));
    EXPECT_TRUE(given().empty());

    // Once the server answers and then refuses again, that is a new refusal.
    refuse(netmgmt::kSuccess);
    Sleep(1500);
    refuse(netmgmt::kLogonFailure);
    dialog = wait_for_window(kLogonTitle, 5000);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 3000));
}

TEST_F(LogonWindow, AnAccountTheServerRefusesIsAskedForAgainWithItsCause) {
    refuse(netmgmt::kNotAuthenticated);
    HWND dialog = wait_for_window(kLogonTitle, 5000);
    ASSERT_NE(dialog, nullptr);
    type(dialog, "admin", "wrong", false);
    refuse(netmgmt::kLogonFailure);  // what the server says of that account
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 3000));
    dialog = wait_for_window(kLogonTitle, 5000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(wait_until(
        [&] { return text(dialog, IDC_LOGON_CAUSE) == refused_by("Samba管理员账户的用户名或密码错误(1326)"); }, 3000))
        << text(dialog, IDC_LOGON_CAUSE);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 3000));
    EXPECT_EQ(given().size(), 1u);
}
