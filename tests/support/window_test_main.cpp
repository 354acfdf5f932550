#include "support/window_test_main.h"

#include "support/gtest_winelib.h"

int run_window_tests(int argc, char** argv, DWORD control_classes) {
    INITCOMMONCONTROLSEX controls{sizeof controls, control_classes};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
