// The toolbar on a plain parent window: buttons, texts, images, styles, the
// band, and what happens when its windows cannot be made.
#include "support/gtest_winelib.h"

#include <commctrl.h>

#include <atomic>
#include <string>

#include "common/code_page.h"
#include "shell/commands_resources.h"
#include "shell/filvane_resources.h"
#include "shell/toolbar_win.h"
#include "support/command_owner_window.h"
#include "support/window_driver.h"

namespace {

std::string button_text(HWND toolbar, int command) {
    WCHAR text[64] = {0};
    if (SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(text)) < 0)
        return "<none>";
    return codepage::utf16_to_gbk(reinterpret_cast<const char16_t*>(text));
}

// Refuses to create windows of one class on the hooking thread.
const WCHAR* g_refused_class = nullptr;

LRESULT CALLBACK refuse_class(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && g_refused_class) {
        WCHAR cls[64] = {0};
        GetClassNameW(reinterpret_cast<HWND>(wp), cls, 64);
        if (lstrcmpiW(cls, g_refused_class) == 0)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

struct Failure {
    int result = 0;
    bool box_seen = false;
};

// Creates the toolbar on a thread of its own whose hook refuses `cls`, and
// answers the message box that may appear.
Failure create_refusing(const WCHAR* cls) {
    Failure failure;
    std::atomic<bool> done{false};
    DWORD thread_id = 0;
    UiThread ui([&] {
        thread_id = GetCurrentThreadId();
        CommandOwnerWindow parent;
        g_refused_class = cls;
        HHOOK hook = SetWindowsHookExW(WH_CBT, refuse_class, nullptr, GetCurrentThreadId());
        Toolbar toolbar;
        failure.result = toolbar.create(parent.hwnd());
        if (hook)
            UnhookWindowsHookEx(hook);
        g_refused_class = nullptr;
        done = true;
    });
    HWND box = nullptr;
    wait_until(
        [&] {
            box = thread_id ? find_dialog_of_thread(thread_id) : nullptr;
            failure.box_seen = box && message_box_text(box) == "创建工具栏失败!";
            return done || failure.box_seen;
        },
        5000);
    if (failure.box_seen)
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(ui.join(5000));
    return failure;
}

}  // namespace

TEST(Toolbar, HasTheElevenButtonsWithTheirCommandsTextsAndImages) {
    CommandOwnerWindow parent;
    Toolbar toolbar;
    ASSERT_EQ(toolbar.create(parent.hwnd()), 1);
    HWND bar = toolbar.toolbar();
    struct Expected {
        int command;
        const char* text;
    };
    const Expected expected[] = {{32771, "系统设置"}, {32776, "关闭文件"}, {32810, "断开会话"}, {32811, "远程监控"},
                                 {32775, "主机检测"}, {32777, "Ping"},     {32772, "记录查询"}, {32773, "关于软件"},
                                 {32783, "隐藏托盘"}, {32787, "使用说明"}, {32782, "退出系统"}};
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 11);
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(i);
        TBBUTTON button{};
        ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.idCommand, expected[i].command);
        EXPECT_EQ(button.iBitmap, i) << "button i shows image i";
        EXPECT_EQ(button.fsStyle, BTNS_BUTTON);
        EXPECT_EQ(button_text(bar, expected[i].command), expected[i].text);
    }
    // Every button fits the main window's default 640-pixel width.
    RECT last{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, 10, reinterpret_cast<LPARAM>(&last)));
    EXPECT_LE(last.right, 630);
}

TEST(Toolbar, KeepsTwoImageListsOfTwentyTwoPixels) {
    CommandOwnerWindow parent;
    Toolbar toolbar;
    ASSERT_EQ(toolbar.create(parent.hwnd()), 1);
    auto normal = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar.toolbar(), TB_GETIMAGELIST, 0, 0));
    auto hot = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar.toolbar(), TB_GETHOTIMAGELIST, 0, 0));
    ASSERT_NE(normal, nullptr);
    ASSERT_NE(hot, nullptr);
    EXPECT_NE(normal, hot) << "two lists, not one shared";
    for (HIMAGELIST list : {normal, hot}) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list, &cx, &cy);
        EXPECT_EQ(cx, 22);
        EXPECT_EQ(cy, 22);
        EXPECT_EQ(ImageList_GetImageCount(list), 11);
        EXPECT_EQ(ImageList_GetBkColor(list), GetSysColor(COLOR_BTNFACE));
    }
}

TEST(Toolbar, StylesIdsAndBand) {
    CommandOwnerWindow parent;
    Toolbar toolbar;
    ASSERT_EQ(toolbar.create(parent.hwnd()), 1);
    EXPECT_EQ(GetDlgCtrlID(toolbar.rebar()), IDW_REBAR);
    EXPECT_EQ(GetDlgCtrlID(toolbar.toolbar()), IDW_TOOLBAR);
    EXPECT_EQ(GetParent(toolbar.toolbar()), toolbar.rebar());
    LONG style = GetWindowLongW(toolbar.toolbar(), GWL_STYLE);
    EXPECT_EQ(style & 0x8812, 0x8812) << "transparent, flat and the added bits";
    EXPECT_TRUE(style & TBSTYLE_TOOLTIPS);
    ASSERT_EQ(SendMessageW(toolbar.rebar(), RB_GETBANDCOUNT, 0, 0), 1);
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_TEXT;
    WCHAR text[16] = {0};
    band.lpText = text;
    band.cch = 16;
    ASSERT_TRUE(SendMessageW(toolbar.rebar(), RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(band.fStyle & 0xA0u, 0xA0u) << "gripper always, fixed background";
    EXPECT_EQ(band.hwndChild, toolbar.toolbar());
    EXPECT_EQ(text[0], 0) << "no band text";
    RECT client, bar;
    GetClientRect(parent.hwnd(), &client);
    GetClientRect(toolbar.rebar(), &bar);
    EXPECT_EQ(bar.right, client.right) << "across the parent";
}

TEST(Toolbar, ClickingAButtonSendsItsCommandToTheParent) {
    CommandOwnerWindow parent;
    Toolbar toolbar;
    ASSERT_EQ(toolbar.create(parent.hwnd()), 1);
    RECT button;
    ASSERT_TRUE(SendMessageW(toolbar.toolbar(), TB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&button)));
    LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    SendMessageW(toolbar.toolbar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(toolbar.toolbar(), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(pump_until([&] { return parent.commands > 0; }, 2000));
    EXPECT_EQ(parent.last_command, ID_PING);
}

TEST(Toolbar, MakingItAgainReplacesTheOldBars) {
    CommandOwnerWindow parent;
    Toolbar toolbar;
    ASSERT_EQ(toolbar.create(parent.hwnd()), 1);
    HWND first_rebar = toolbar.rebar();
    HWND first_toolbar = toolbar.toolbar();
    ASSERT_EQ(toolbar.create(parent.hwnd()), 1);
    EXPECT_FALSE(IsWindow(first_rebar)) << "the old bars are gone";
    EXPECT_FALSE(IsWindow(first_toolbar));
    EXPECT_EQ(GetDlgItem(parent.hwnd(), IDW_REBAR), toolbar.rebar()) << "one rebar, not two";
    EXPECT_EQ(SendMessageW(toolbar.rebar(), RB_GETBANDCOUNT, 0, 0), 1);
}

TEST(Toolbar, AToolbarThatCannotBeMadeIsReportedAndTheRebarGoesToo) {
    Failure failure = create_refusing(TOOLBARCLASSNAMEW);
    EXPECT_EQ(failure.result, -1);
    EXPECT_TRUE(failure.box_seen) << "创建工具栏失败! is shown";
}

TEST(Toolbar, ARebarThatCannotBeMadeFailsWithoutAMessage) {
    Failure failure = create_refusing(REBARCLASSNAMEW);
    EXPECT_EQ(failure.result, -1);
    EXPECT_FALSE(failure.box_seen);
}
