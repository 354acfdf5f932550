#include "shell/toolbar_win.h"

#include <string>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "shell/commands_resources.h"
#include "shell/filvane_resources.h"

namespace {

struct Button {
    int icon;
    int command;
    unsigned text;
};

// Button i shows image i.
const Button kButtons[] = {
    {IDI_SETTINGS, ID_SETTINGS, IDS_COMMAND_SETTINGS},
    {IDI_CLOSE_FILE, ID_CLOSE_FILE, IDS_COMMAND_CLOSE_FILE},
    {IDI_LIST_USER, ID_DISCONNECT_SESSION, IDS_COMMAND_DISCONNECT},
    {IDI_LIST_COMPUTER, ID_CONNECT, IDS_TOOLBAR_CONNECT},
    {IDI_HOST_SCAN, ID_HOST_SCAN, IDS_COMMAND_HOST_SCAN},
    {IDI_PING, ID_PING, IDS_COMMAND_PING},
    {IDI_LOG_QUERY, ID_LOG_QUERY, IDS_COMMAND_LOG_QUERY},
    {IDI_MAIN, ID_ABOUT, IDS_COMMAND_ABOUT},
    {IDI_HIDE, ID_HIDE, IDS_COMMAND_HIDE},
    {IDI_HELP, ID_HELP, IDS_COMMAND_HELP},
    {IDI_QUIT, ID_QUIT, IDS_COMMAND_QUIT},
};
constexpr int kButtonCount = sizeof kButtons / sizeof kButtons[0];

constexpr int kImageSize = 22;
constexpr int kImageListEntries = 11;  // initial size and growth
constexpr int kBitmapSize = 24;
constexpr int kMinButtonWidth = 40;
constexpr int kMaxButtonWidth = 80;
// Transparent and flat, and kept where it is placed vertically (0x8812).
constexpr LONG_PTR kExtraToolbarStyle = TBSTYLE_TRANSPARENT | TBSTYLE_FLAT | 0x0010 | CCS_NOMOVEY;
// The band shows its gripper always and keeps a fixed background.
constexpr UINT kBandStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP;

}  // namespace

std::vector<ToolbarCommand> toolbar_commands() {
    std::vector<ToolbarCommand> commands;
    for (const Button& button : kButtons)
        commands.push_back({button.command, button.text});
    return commands;
}

namespace {

HIMAGELIST make_image_list() {
    HIMAGELIST list =
        ImageList_Create(kImageSize, kImageSize, ILC_COLOR8 | ILC_MASK, kImageListEntries, kImageListEntries);
    if (!list)
        return nullptr;
    ImageList_SetBkColor(list, GetSysColor(COLOR_BTNFACE));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const Button& button : kButtons) {
        auto icon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(button.icon), IMAGE_ICON, kImageSize, kImageSize, 0));
        int index = icon ? ImageList_AddIcon(list, icon) : -1;
        if (icon)
            DestroyIcon(icon);
        if (index < 0) {
            ImageList_Destroy(list);
            return nullptr;
        }
    }
    return list;
}

}  // namespace

Toolbar::~Toolbar() { release(); }

void Toolbar::release() {
    // The toolbar lives in the rebar, so one DestroyWindow takes both; the
    // image lists are never freed by the toolbar itself.
    if (rebar_ && IsWindow(rebar_))
        DestroyWindow(rebar_);
    if (toolbar_ && IsWindow(toolbar_))
        DestroyWindow(toolbar_);
    if (normal_)
        ImageList_Destroy(normal_);
    if (hot_)
        ImageList_Destroy(hot_);
    rebar_ = toolbar_ = nullptr;
    normal_ = hot_ = nullptr;
}

int Toolbar::create(HWND parent) {
    release();
    parent_ = parent;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    rebar_ =
        CreateWindowExW(0, REBARCLASSNAMEW, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_TOP | RBS_BANDBORDERS, 0, 0, 0,
                        0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_REBAR)), instance, nullptr);
    if (!rebar_)
        return -1;
    // Placed by the rebar, not by itself.
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_TOOLBAR)), instance,
                               nullptr);
    if (!toolbar_)
        return fail();
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(kMinButtonWidth, kMaxButtonWidth));
    bool filled = add_images();
    SetWindowLongPtrW(toolbar_, GWL_STYLE, GetWindowLongPtrW(toolbar_, GWL_STYLE) | kExtraToolbarStyle);
    if (!filled || !add_buttons())
        return fail();

    RECT first{};
    SendMessageW(toolbar_, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(first.right - first.left, first.bottom - first.top));
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(kBitmapSize, kBitmapSize));
    DWORD button_size = static_cast<DWORD>(SendMessageW(toolbar_, TB_GETBUTTONSIZE, 0, 0));

    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE;
    band.fStyle = kBandStyle;
    band.hwndChild = toolbar_;
    band.cyMinChild = HIWORD(button_size);
    SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    lay_out();
    return 1;
}

int Toolbar::fail() {
    release();
    show_message(parent_, resource_text(IDS_TOOLBAR_FAILED));
    return -1;
}

bool Toolbar::add_images() {
    hot_ = make_image_list();
    normal_ = make_image_list();
    if (!hot_ || !normal_)
        return false;
    SendMessageW(toolbar_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot_));
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal_));
    return true;
}

bool Toolbar::add_buttons() {
    std::u16string texts[kButtonCount];
    TBBUTTON buttons[kButtonCount] = {};
    for (int i = 0; i < kButtonCount; ++i) {
        texts[i] = widen(resource_text(kButtons[i].text));
        buttons[i].iBitmap = i;
        buttons[i].idCommand = kButtons[i].command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = reinterpret_cast<INT_PTR>(wide_ptr(texts[i]));  // copied by the toolbar
    }
    return SendMessageW(toolbar_, TB_ADDBUTTONSW, kButtonCount, reinterpret_cast<LPARAM>(buttons)) != 0;
}

void Toolbar::lay_out() const {
    if (!rebar_ || !parent_)
        return;
    RECT client{};
    GetClientRect(parent_, &client);
    int height = static_cast<int>(SendMessageW(rebar_, RB_GETBARHEIGHT, 0, 0));
    SetWindowPos(rebar_, nullptr, 0, 0, client.right - client.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
