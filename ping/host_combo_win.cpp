#include "ping/host_combo_win.h"

#include <commctrl.h>

#include "common/controls_win.h"
#include "common/wide_text_win.h"
#include "ping/completion.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;

// The edit counts UTF-16 units; the history's texts are GBK bytes.
int gbk_offset(const std::u16string& text, int units) {
    if (units < 0 || static_cast<std::size_t>(units) >= text.size())
        return static_cast<int>(codepage::utf16_to_gbk(text).size());
    return static_cast<int>(codepage::utf16_to_gbk(text.substr(0, static_cast<std::size_t>(units))).size());
}

int utf16_offset(const std::string& gbk, int bytes) {
    if (bytes < 0)
        return -1;
    return static_cast<int>(codepage::gbk_to_utf16(gbk.substr(0, static_cast<std::size_t>(bytes))).size());
}

}  // namespace

HostCombo::~HostCombo() { detach(); }

void HostCombo::attach(HWND combo) {
    detach();
    combo_ = combo;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(combo, &info))
        edit_ = info.hwndItem;
    SetWindowSubclass(combo_, key_watch, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (edit_)
        SetWindowSubclass(edit_, key_watch, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void HostCombo::detach() {
    if (edit_ && IsWindow(edit_))
        RemoveWindowSubclass(edit_, key_watch, kSubclassId);
    if (combo_ && IsWindow(combo_))
        RemoveWindowSubclass(combo_, key_watch, kSubclassId);
    combo_ = edit_ = nullptr;
}

LRESULT CALLBACK HostCombo::key_watch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
    if (msg == WM_KEYDOWN)
        reinterpret_cast<HostCombo*>(self)->completion_ = completion_after_key(static_cast<int>(wp));
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, key_watch, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void HostCombo::on_edit_update() {
    if (!completion_ || !edit_)
        return;
    std::string typed = window_text(edit_);
    std::u16string typed_units = widen(typed);
    DWORD start = 0, end = 0;
    SendMessageW(combo_, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EditSelection selection{
        gbk_offset(typed_units, static_cast<int>(start)), gbk_offset(typed_units, static_cast<int>(end))};
    Completion shown = complete(history_.entries(), typed, selection, true);
    // The combo list mirrors the history entry for entry.
    if (shown.entry >= 0)
        SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(shown.entry), 0);
    int from = utf16_offset(shown.text, shown.selection.start);
    int to = utf16_offset(shown.text, shown.selection.end);
    SendMessageW(combo_, CB_SETEDITSEL, 0, MAKELPARAM(from, to));
}
