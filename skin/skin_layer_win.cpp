#include "skin/skin_layer_win.h"

#include <atomic>
#include <mutex>
#include <string>

#include "skin/skin_format.h"

namespace skin {
namespace {

HINSTANCE g_instance = nullptr;
std::string g_application;
SkinObjects g_objects;
std::mutex g_mutex;
std::atomic<const SkinObject*> g_dialog_skin{nullptr};
HBRUSH g_background_brush = nullptr;
thread_local HHOOK t_hook = nullptr;

constexpr WCHAR kDialogClass[] = L"#32770";
constexpr WCHAR kPreviousProc[] = L"FilvaneSkinProc";

COLORREF to_colorref(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

bool is_class(HWND hwnd, const WCHAR* name) {
    WCHAR cls[32] = {0};
    GetClassNameW(hwnd, cls, 32);
    return lstrcmpiW(cls, name) == 0;
}

void paint_background(HWND hwnd, HDC dc, const SkinObject& look) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, g_background_brush);
    // An accent frame and a band along the top make the skin unmistakable.
    HBRUSH accent = CreateSolidBrush(to_colorref(look.accent));
    RECT band = rc;
    band.bottom = band.top + 3;
    FillRect(dc, &band, accent);
    FrameRect(dc, &rc, accent);
    DeleteObject(accent);
}

LRESULT CALLBACK skinned_dialog_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kPreviousProc));
    const SkinObject* look = g_dialog_skin.load();
    if (look) {
        switch (msg) {
        case WM_ERASEBKGND:
            paint_background(hwnd, reinterpret_cast<HDC>(wp), *look);
            return 1;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            // Read-only edits ask as statics; they keep the system's look.
            if (msg == WM_CTLCOLORSTATIC && is_class(reinterpret_cast<HWND>(lp), L"Edit"))
                break;
            SetTextColor(reinterpret_cast<HDC>(wp), to_colorref(look->text));
            SetBkColor(reinterpret_cast<HDC>(wp), to_colorref(look->background));
            return reinterpret_cast<LRESULT>(g_background_brush);
        default:
            break;
        }
    }
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kPreviousProc);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return CallWindowProcW(previous, hwnd, msg, wp, lp);
}

LRESULT CALLBACK creation_hook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && g_dialog_skin.load()) {
        HWND hwnd = reinterpret_cast<HWND>(wp);
        if (is_class(hwnd, kDialogClass) && !GetPropW(hwnd, kPreviousProc)) {
            auto previous = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(skinned_dialog_proc));
            SetPropW(hwnd, kPreviousProc, reinterpret_cast<HANDLE>(previous));
        }
    }
    return CallNextHookEx(t_hook, code, wp, lp);
}

}  // namespace

void initialize(HINSTANCE instance, const char* application_name) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_instance = instance;
    g_application = application_name ? application_name : "";
}

bool load_from_resource(HINSTANCE instance, int resource_id, const char* resource_type) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resource_id), resource_type);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    std::string bytes(static_cast<const char*>(data), SizeofResource(instance, found));
    SkinObjects objects;
    if (!parse_skin(bytes, objects))
        return false;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_objects = std::move(objects);
    return true;
}

void apply_to_dialogs(const char* object_name) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_objects.find(object_name ? object_name : "");
    if (it == g_objects.end())
        return;
    if (!g_background_brush)
        g_background_brush = CreateSolidBrush(to_colorref(it->second.background));
    g_dialog_skin.store(&it->second);
    attach_current_thread();
}

void bind(HINSTANCE instance, const char* application_name, int skin_id) {
    initialize(instance, application_name);
    if (load_from_resource(instance, skin_id, "SKINDATA"))
        apply_to_dialogs("Dialog");
}

void attach_current_thread() {
    if (!t_hook && g_dialog_skin.load())
        t_hook = SetWindowsHookExW(WH_CBT, creation_hook, nullptr, GetCurrentThreadId());
}

}  // namespace skin
