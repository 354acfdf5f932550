#include "shell/close_opens_win.h"

#include <string>

#include "common/message_box_win.h"
#include "common/string_resource_win.h"
#include "common/wide_text_win.h"
#include "monitor/failure_messages.h"
#include "monitor/monitor_pass.h"
#include "monitor/open_id.h"
#include "shell/filvane_resources.h"

namespace {

// A failure box of thousands of lines helps nobody: the rest are counted.
constexpr std::size_t kFailuresNamed = 15;

const std::string& cell(const Row& row, int column) {
    static const std::string none;
    return static_cast<std::size_t>(column) < row.size() ? row[static_cast<std::size_t>(column)].text : none;
}

netmgmt::OpenFileInfo open_of(const Row& row) {
    netmgmt::OpenFileInfo open;
    open.path = cell(row, kOpenPath);
    open.user = cell(row, kOpenUser);
    open.id = parse_open_id(cell(row, kOpenId));
    return open;
}

bool asked_and_agreed(HWND owner, const std::vector<netmgmt::OpenFileInfo>& opens) {
    const std::string question = opens.size() == 1
                                     ? formatted_text(IDS_CLOSE_QUESTION, opens.front().path)
                                     : formatted_text(IDS_CLOSE_MANY_QUESTION, std::to_string(opens.size()));
    std::u16string text = widen(question);
    std::u16string caption = widen(resource_text(IDS_CLOSE_CAPTION));
    return MessageBoxW(owner, wide_ptr(text), wide_ptr(caption), MB_OKCANCEL) == IDOK;
}

void close_one(HWND owner, netmgmt::NetManagement& net, const netmgmt::OpenFileInfo& open) {
    const std::uint32_t result = net.close_open_file(open);
    if (result == netmgmt::kFileChanged)
        show_message(owner, resource_text(IDS_FILE_CHANGED));
    else if (result == 0)
        show_message(owner, resource_text(IDS_FILE_CLOSED));
    else
        // The cause says what to do, e.g. that closing needs the account.
        show_message(owner, resource_text(IDS_CLOSE_FAILED) + "\r\n" + failure_cause(result));
}

void close_many(HWND owner, netmgmt::NetManagement& net, const std::vector<netmgmt::OpenFileInfo>& opens) {
    std::size_t closed = 0;
    std::vector<std::string> failed;
    for (const netmgmt::OpenFileInfo& open : opens) {
        const std::uint32_t result = net.close_open_file(open);
        if (result == 0)
            ++closed;
        else
            failed.push_back(result == netmgmt::kFileChanged ? formatted_text(IDS_CLOSE_CHANGED_PATH, open.path)
                                                             : open.path);
    }
    std::string report = formatted_text(IDS_CLOSED_MANY, std::to_string(closed));
    if (!failed.empty()) {
        report += "\r\n" + formatted_text(IDS_CLOSE_MANY_FAILED, std::to_string(failed.size()));
        for (std::size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i)
            report += "\r\n" + failed[i];
        if (failed.size() > kFailuresNamed)
            report += "\r\n" + formatted_text(IDS_CLOSE_MORE_FAILED, std::to_string(failed.size() - kFailuresNamed));
    }
    show_message(owner, report);
}

}  // namespace

void close_chosen_opens(HWND owner, netmgmt::NetManagement& net, const std::vector<Row>& chosen) {
    if (chosen.empty()) {
        show_message(owner, resource_text(IDS_CHOOSE_FILE_TO_CLOSE));
        return;
    }
    std::vector<netmgmt::OpenFileInfo> opens;
    opens.reserve(chosen.size());
    for (const Row& row : chosen)
        opens.push_back(open_of(row));
    if (!asked_and_agreed(owner, opens))
        return;
    if (opens.size() == 1)
        close_one(owner, net, opens.front());
    else
        close_many(owner, net, opens);
}
