// What a Filvane process watches, settled before its window opens: the server
// its command line names, that server's single-instance guard, and that
// server's folder under the working folder as the working folder, so its day
// files, error log and log query stay apart from other servers'. The local
// computer keeps today's guard and folder.
#pragma once

#include <windows.h>

#include <string>

#include "common/single_instance_win.h"

class ServerStart {
public:
    // False, after a box saying why, when the command line names no server
    // or its folder cannot be used. A second copy for the same server shows
    // today's message and ends the process.
    bool settle();
    // Empty for the local computer.
    const std::string& server() const { return server_; }
    // The window's title and tray tip.
    std::string title() const;

private:
    bool enter_server_folder();

    SingleInstance instance_;
    std::string server_;
};

// Starts another Filvane, this program's own file, watching `server` (as
// watched_server_of spells it); false after a box owned by `owner` saying why
// it could not be started.
bool start_watching(HWND owner, const std::string& server);

// `file` as found in the folder Filvane started in: a window watching another
// server works in that server's folder, while the companions and the help
// file stay where they always were. Unchanged for the local computer.
std::u16string in_start_folder(const std::string& file);
