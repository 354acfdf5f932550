// A test fixture with the real main window running on its own thread over a
// scripted source, past its about box.
#pragma once

#include "support/gtest_winelib.h"

#include <memory>
#include <string>

#include "filvane_version.h"
#include "shell/monitor_dialog_win.h"
#include "support/fake_net.h"
#include "support/window_driver.h"

struct RunningMonitor : ::testing::Test {
    FakeNet net;
    std::unique_ptr<MonitorDialog> dialog;
    std::unique_ptr<UiThread> ui;
    HWND main = nullptr;
    DWORD pass_period_ms = MonitorWorker::kPassPeriodMs;  // a fixture may set it before SetUp

    static constexpr const char* kAboutTitle = FILVANE_ABOUT_TITLE;

    void SetUp() override {
        dialog = std::make_unique<MonitorDialog>(net, kMainTitle, pass_period_ms);
        ui = std::make_unique<UiThread>([this] { dialog->run_modal(nullptr); });
        // The about box comes first, during initialisation.
        HWND about = wait_for_window(kAboutTitle, 10000);
        ASSERT_NE(about, nullptr);
        PostMessageW(about, WM_CLOSE, 0, 0);
        main = wait_for_window(kMainTitle, 10000);
        ASSERT_NE(main, nullptr);
    }

    void TearDown() override {
        if (main && IsWindow(main))
            PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(ui->join(10000));
        ui.reset();
        dialog.reset();
    }
};
