#include "shell/settings_folder_browser_win.h"

#include <objbase.h>
#include <shlobj.h>

#include "common/wide_text_win.h"

namespace {

// The browser needs COM on the calling thread; balanced on every path.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

}  // namespace

bool browse_for_folder(HWND owner, const std::string& title, std::string& path) {
    ComScope com;
    std::u16string wide_title = widen(title);
    WCHAR display_name[MAX_PATH] = {0};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display_name;
    info.lpszTitle = wide_ptr(wide_title);
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
    if (!picked)
        return false;
    WCHAR wide_path[MAX_PATH] = {0};
    BOOL has_path = SHGetPathFromIDListW(picked, wide_path);
    CoTaskMemFree(picked);
    if (!has_path)
        return false;
    std::string gbk_path = narrow(wide_path, static_cast<std::size_t>(lstrlenW(wide_path)));
    // A longer path would not be this folder once cut.
    if (gbk_path.empty() || gbk_path.size() >= MAX_PATH)
        return false;
    path = gbk_path;
    return true;
}
