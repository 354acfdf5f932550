#include "ping/completion.h"

#include "ping/host_history.h"

bool completion_after_key(int virtual_key) { return virtual_key != kKeyBackspace && virtual_key != kKeyDelete; }

Completion complete(const std::vector<std::string>& entries, const std::string& typed, EditSelection selection,
                    bool selection_known) {
    const int length = static_cast<int>(typed.size());
    Completion result{-1, typed, selection_known ? selection : EditSelection{length, length}};
    // An empty edit would match every entry: emptying the box must not fill it.
    if (typed.empty())
        return result;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (entry.size() >= typed.size() && same_host(entry.substr(0, typed.size()), typed)) {
            result.entry = static_cast<int>(i);
            result.text = entry;
            break;
        }
    }
    // A caret inside the typed text stays where it is; otherwise the completed
    // tail is selected so that further typing replaces it.
    if (!(selection_known && selection.end < length))
        result.selection = EditSelection{length, -1};
    return result;
}
