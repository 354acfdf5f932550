#include "shell/list_export_win.h"

#include <commctrl.h>

#include <cstddef>
#include <vector>

#include "common/exclusive_file.h"
#include "common/message_box_win.h"
#include "common/save_as_win.h"
#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "controls/clipboard_text_win.h"
#include "monitor/list_export.h"
#include "shell/filvane_resources.h"

namespace {

// The headings as the list shows them, hidden columns included.
std::vector<std::string> headings(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::vector<std::string> texts;
    for (int column = 0; column < count; ++column) {
        WCHAR text[128] = {0};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        texts.push_back(narrow(text, static_cast<std::size_t>(lstrlenW(text))));
    }
    return texts;
}

}  // namespace

bool write_shown_rows(const SortedListView& list, const std::string& path) {
    auto file = ExclusiveFile::open(path, ExclusiveFile::Disposition::CreateAlways);
    return file && file->write(csv_text(headings(list.control()), list.shown()));
}

void export_shown_rows(HWND owner, const SortedListView& list, const std::string& proposed_name) {
    auto path = ask_save_path(owner, {proposed_name, resource_text(IDS_EXPORT_FILTER), "csv"});
    if (path && !write_shown_rows(list, *path))
        show_message(owner, formatted_text(IDS_EXPORT_FAILED, *path));
}

void copy_selected_rows(HWND owner, const SortedListView& list) {
    const std::vector<Row> rows = list.selected();
    if (!rows.empty() && !put_on_clipboard(owner, tab_separated_text(rows)))
        show_message(owner, resource_text(IDS_COPY_FAILED));
}
