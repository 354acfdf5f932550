#pragma once

#include "common/dialog_win.h"

// The about box: the icon and the product line, no buttons; only its close
// box ends it.
class AboutDialog : public Dialog {
public:
    AboutDialog();
};

// The process-wide about box behind the about commands.
AboutDialog& about_dialog();
