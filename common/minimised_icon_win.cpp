#include "common/minimised_icon_win.h"

void draw_minimised_icon(HWND window, HDC dc, HICON icon) {
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon);
}

bool paint_minimised_icon(HWND window, HICON icon) {
    if (!IsIconic(window))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    draw_minimised_icon(window, dc, icon);
    EndPaint(window, &paint);
    return true;
}
