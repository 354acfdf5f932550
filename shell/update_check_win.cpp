#include "shell/update_check_win.h"

#include <mmsystem.h>
#include <wininet.h>

#include <cstdio>
#include <vector>

#include "common/message_box_win.h"
#include "common/scoped_handle_win.h"
#include "common/string_resource_win.h"
#include "shell/filvane_resources.h"
#include "shell/server_address.h"
#include "shell/version_check.h"

namespace {

// One read more than an answer may hold tells a longer body.
constexpr DWORD kReadChunk = kVersionAnswerLimit + 1;
constexpr DWORD kOpenUrlFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kOpenUrlFlags == 0x84000100, "reload, no cache write, pragma no-cache");
const char kAcceptHeaders[] = "Accept: */*\r\n\r\n";

struct CloseInternetHandle {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = ScopedHandle<HINTERNET, CloseInternetHandle>;

DWORD WINAPI update_check_thread(LPVOID main_window) {
    run_update_check(static_cast<HWND>(main_window), version_file_address());
    return 0;
}

}  // namespace

std::string fetch_url_text(const std::string& url) {
    DWORD connection = 0;
    InternetGetConnectedState(&connection, 0);
    char agent[64] = {0};
    std::snprintf(agent, sizeof agent, "Agent%ld", static_cast<long>(timeGetTime()));
    DWORD access = (connection & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                            : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
    InternetHandle session(InternetOpenA(agent, access, nullptr, nullptr, 0));
    if (!session)
        return kFetchFailed;
    InternetHandle request(
        InternetOpenUrlA(session.get(), url.c_str(), kAcceptHeaders, sizeof kAcceptHeaders - 1, kOpenUrlFlags, 0));
    if (!request)
        return kFetchFailed;
    std::vector<char> buffer(kReadChunk, 0);
    std::string body;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), buffer.data(), kReadChunk, &read))
            return kFetchFailed;
        if (read == 0)
            return body;
        if (!append_body_chunk(body, buffer.data(), read))
            return kFetchFailed;
    }
}

UpdateCheckResult run_update_check(HWND main_window, const std::string& version_url) {
    UpdateCheckResult result;
    if (!InternetCheckConnectionA(version_url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0))
        return result;
    result.connected = true;
    result.fetched = fetch_url_text(version_url);
    if (!announces_new_version(result.fetched))
        return result;
    show_message(main_window, formatted_text(IDS_NEW_VERSION, result.fetched), MB_OK | MB_ICONEXCLAMATION);
    result.announced = true;
    SendMessageA(main_window, WM_CLOSE, 0, 0);
    return result;
}

bool start_update_check(HWND main_window) {
    HANDLE thread = CreateThread(nullptr, 0, update_check_thread, main_window, 0, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}
