#include "shell/system_menu_commands_win.h"

#include <vector>

#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "shell/commands_resources.h"
#include "shell/toolbar_win.h"

namespace {

// System-menu ids step by 16: the system keeps the low four bits. 16 is
// the about item; these follow it.
constexpr UINT kFirstItem = 32;
constexpr UINT kItemStep = 16;

std::vector<ToolbarCommand> offered() {
    std::vector<ToolbarCommand> commands;
    for (const ToolbarCommand& command : toolbar_commands())
        if (command.command != ID_ABOUT)
            commands.push_back(command);
    return commands;
}

}  // namespace

void add_toolbar_commands_to_system_menu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    const std::vector<ToolbarCommand> commands = offered();
    for (std::size_t i = 0; i < commands.size(); ++i)
        AppendMenuW(menu, MF_STRING, kFirstItem + kItemStep * i, wide_ptr(widen(resource_text(commands[i].text))));
}

int toolbar_command_of(WPARAM item) {
    const UINT id = static_cast<UINT>(item & 0xFFF0);
    const std::vector<ToolbarCommand> commands = offered();
    if (id < kFirstItem || (id - kFirstItem) / kItemStep >= commands.size())
        return 0;
    return commands[(id - kFirstItem) / kItemStep].command;
}
