// brenvik's start: Windows Sockets, the skin, then the scanner window; the
// program ends with the window.
#include <windows.h>
#include <commctrl.h>

#include "common/companion_start_win.h"
#include "scanner/brenvik_resources.h"
#include "scanner/scanner_dialog_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return run_companion(
        instance, {ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES, "VELDRIN", IDR_SKIN, IDS_SOCKETS_FAILED}, [] {
            ScannerDialog dialog;
            dialog.run_modal(nullptr);
        });
}
