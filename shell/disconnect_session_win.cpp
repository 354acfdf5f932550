#include "shell/disconnect_session_win.h"

#include <string>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/text_pattern.h"
#include "common/wide_text_win.h"
#include "monitor/failure_messages.h"
#include "monitor/monitor_pass.h"
#include "shell/commands_resources.h"

namespace {

const std::string& cell(const Row& row, int column) {
    static const std::string none;
    return static_cast<std::size_t>(column) < row.size() ? row[static_cast<std::size_t>(column)].text : none;
}

// The user and the client as the string table places them. Each value fills
// its own half of the pattern, so a "%s" inside a user name stays as it is.
std::string who(const netmgmt::SessionInfo& session) {
    const std::string pattern = resource_text(IDS_DISCONNECT_WHO);
    const std::size_t second = pattern.find("%s", pattern.find("%s") + 2);
    if (second == std::string::npos)
        return with_value(pattern, session.user);
    return with_value(pattern.substr(0, second), session.user) + with_value(pattern.substr(second), session.computer);
}

bool asked_and_agreed(HWND owner, const netmgmt::SessionInfo& session, bool ends_connection) {
    std::string question = formatted_text(IDS_DISCONNECT_QUESTION, who(session));
    if (ends_connection)
        question += "\r\n\r\n" + formatted_text(IDS_DISCONNECT_ENDS_CONNECTION, session.computer);
    const std::u16string text = widen(question);
    const std::u16string caption = widen(resource_text(IDS_COMMAND_DISCONNECT));
    return MessageBoxW(owner, wide_ptr(text), wide_ptr(caption), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

}  // namespace

void disconnect_chosen_session(HWND owner, netmgmt::NetManagement& net, const std::vector<Row>& chosen) {
    if (chosen.size() != 1) {
        show_message(owner, resource_text(IDS_CHOOSE_SESSION));
        return;
    }
    netmgmt::SessionInfo session;
    session.user = cell(chosen.front(), kSessionUser);
    session.computer = cell(chosen.front(), kSessionComputer);
    if (!asked_and_agreed(owner, session, net.disconnect_ends_connection()))
        return;
    const std::uint32_t result = net.disconnect_session(session);
    if (result == 0)
        show_message(owner, resource_text(IDS_SESSION_DISCONNECTED), MB_OK | MB_ICONINFORMATION);
    else
        show_message(owner, formatted_text(IDS_DISCONNECT_FAILED, failure_cause(result)));
}
