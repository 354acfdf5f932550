// The once-per-run check for a newer version on the maker's web server.
#pragma once

#include <windows.h>

#include <string>

// Starts the check on a thread of its own, which nobody waits for; false
// when the thread could not be created (the program runs on without it).
bool start_update_check(HWND main_window);

struct UpdateCheckResult {
    bool connected = false;  // the server could be reached at all
    std::string fetched;     // the body, or "Error"; empty when not connected
    bool announced = false;  // the box was shown and WM_CLOSE sent
};

// The check itself, on the calling thread: fetch `version_url`; for a newer
// version show the box owned by `main_window`, then, once it is closed, send
// it WM_CLOSE so the program quits as its quit command does.
UpdateCheckResult run_update_check(HWND main_window, const std::string& version_url);

// The body at `url` over WinInet, or "Error" when it cannot be fetched or is
// longer than an answer may be (kVersionAnswerLimit). The response status is
// not looked at: an error page's body is a body too.
std::string fetch_url_text(const std::string& url);
