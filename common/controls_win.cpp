#include "common/controls_win.h"

#include <vector>

#include "common/wide_text_win.h"

std::string window_text(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    std::vector<WCHAR> buffer(static_cast<std::size_t>(length) + 1, 0);
    int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return narrow(buffer.data(), static_cast<std::size_t>(got));
}

void set_window_text(HWND hwnd, const std::string& gbk) { SetWindowTextW(hwnd, wide_ptr(widen(gbk))); }

void list_insert_column(HWND list, int index, const std::string& heading, int width) {
    std::u16string text = widen(heading);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<WCHAR*>(wide_ptr(text));
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

int list_insert_row(HWND list, int index, const std::string& text, int image) {
    std::u16string wide = widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<WCHAR*>(wide_ptr(wide));
    item.iImage = image;
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void list_set_cell(HWND list, int row, int column, const std::string& text, int image) {
    std::u16string wide = widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<WCHAR*>(wide_ptr(wide));
    item.iImage = image;
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::string list_cell_text(HWND list, int row, int column) {
    WCHAR buffer[1024] = {0};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return narrow(buffer, static_cast<std::size_t>(length));
}

int list_row_count(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
