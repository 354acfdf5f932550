// The skin visibly changes how dialogs are drawn: the same dialog's
// background, read back from the screen, before and after the skin applies.
#include "support/gtest_winelib.h"

#include "common/dialog_win.h"
#include "filvane_version.h"
#include "shell/about_dialog_win.h"
#include "shell/filvane_resources.h"
#include "skin/skin_layer_win.h"
#include "support/window_driver.h"

namespace {

// Shows an about box on its own thread and reads one pixel of its client
// area; the dialog is closed again before returning.
COLORREF about_background() {
    AboutDialog about;
    COLORREF colour = CLR_INVALID;
    UiThread ui([&] { about.run_modal(nullptr); });
    HWND box = wait_for_window(FILVANE_ABOUT_TITLE, 5000);
    if (!box)
        return colour;
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Sleep(300);
    HDC dc = GetDC(box);
    RECT rc;
    GetClientRect(box, &rc);
    colour = GetPixel(dc, rc.right - 10, rc.bottom - 10);
    ReleaseDC(box, dc);
    PostMessageW(box, WM_CLOSE, 0, 0);
    ui.join(5000);
    return colour;
}

}  // namespace

TEST(Skin, ChangesHowDialogsAreDrawn) {
    COLORREF plain = about_background();
    ASSERT_NE(plain, CLR_INVALID);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    skin::initialize(instance, "Filvane");
    EXPECT_FALSE(skin::load_from_resource(instance, 999, "SKINDATA")) << "a missing skin does not load";
    ASSERT_TRUE(skin::load_from_resource(instance, IDR_SKIN, "SKINDATA"));
    skin::apply_to_dialogs("Dialog");
    COLORREF skinned = about_background();
    EXPECT_NE(skinned, plain);
    EXPECT_EQ(skinned, RGB(0xDC, 0xE6, 0xF2)) << "the skin's background colour";
}
