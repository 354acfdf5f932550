#include "common/save_as_win.h"

#include <commdlg.h>

#include "common/wide_text_win.h"

std::optional<std::string> ask_save_path(HWND owner, const SaveAsRequest& request) {
    WCHAR path[MAX_PATH] = {0};
    lstrcpynW(path, wide_ptr(widen(request.proposed_name)), MAX_PATH);
    // The filter's "|" separators become the NULs the dialog wants.
    std::u16string filter = widen(request.filter);
    for (auto& c : filter)
        if (c == u'|')
            c = u'\0';
    std::u16string extension = widen(request.extension);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = wide_ptr(filter);
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = wide_ptr(extension);
    // Windows moves the current directory when the user browses, unless told not to.
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ofn))
        return std::nullopt;
    return narrow(path, static_cast<std::size_t>(lstrlenW(path)));
}
