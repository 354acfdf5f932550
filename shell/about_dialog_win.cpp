#include "shell/about_dialog_win.h"

#include "shell/filvane_resources.h"

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT, true) {}

AboutDialog& about_dialog() {
    static AboutDialog dialog;
    return dialog;
}
