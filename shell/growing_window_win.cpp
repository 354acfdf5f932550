#include "shell/growing_window_win.h"

#include <algorithm>

#include "shell/settings_registry_win.h"
#include "shell/window_memory.h"

void GrowingWindow::capture(HWND window, const std::vector<List>& lists,
                            const std::vector<GrowingDialog::Control>& others) {
    lists_ = lists;
    std::vector<GrowingDialog::Control> controls = others;
    std::vector<int> list_ids;
    for (const List& list : lists) {
        controls.push_back({list.id, Grow::WideAndTall});
        list_ids.push_back(list.id);
    }
    dialog_.capture(window, controls, list_ids);
}

void GrowingWindow::restore_remembered() {
    HWND window = dialog_.window();
    if (!window)
        return;
    const SIZE smallest = dialog_.smallest_frame();
    if (auto stored = parse_placement(read_setting_text(kPlacementValue))) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(window, &placement);
        const int width = std::max<int>(stored->right - stored->left, smallest.cx);
        const int height = std::max<int>(stored->bottom - stored->top, smallest.cy);
        RECT wanted{stored->left, stored->top, stored->left + width, stored->top + height};
        if (!MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
            RECT work{};
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            const int left = work.left + std::max<int>((work.right - work.left - width) / 2, 0);
            const int top = work.top + std::max<int>((work.bottom - work.top - height) / 2, 0);
            wanted = {left, top, left + width, top + height};
        }
        placement.rcNormalPosition = wanted;
        placement.showCmd = stored->maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        SetWindowPlacement(window, &placement);
    }
    for (const List& list : lists_)
        if (auto widths = parse_widths(read_setting_text(list.widths_value), dialog_.column_count(list.id)))
            dialog_.choose_widths(list.id, *widths);
}

bool GrowingWindow::remember() const {
    HWND window = dialog_.window();
    if (!window)
        return true;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement))
        return false;
    const RECT& normal = placement.rcNormalPosition;
    const StoredPlacement stored{normal.left, normal.top, normal.right, normal.bottom, IsZoomed(window) != FALSE};
    auto key = RegistrySettings().open_or_create();
    if (!key || !key->write(kPlacementValue, placement_text(stored)))
        return false;
    for (const List& list : lists_)
        if (!key->write(list.widths_value, widths_text(dialog_.widths(list.id))))
            return false;
    return true;
}
