// The server a Filvane watches, as its command line names it: nothing for the
// computer it runs on, or \\NAME, NAME (a host name) or a dotted IPv4
// address. The name also names the process's single-instance guard and the
// folder of that server's day files and error log, so it must be usable as
// both.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The name in one spelling per server: host names in upper case (they are
// case-blind), addresses as written. Empty for the computer Filvane runs on.
// Nothing when the arguments name no server Filvane can watch.
std::optional<std::string> watched_server_of(const std::vector<std::string>& arguments);

// The single-instance guard of that server: the local computer keeps the
// name it always had.
std::string instance_name_of(const std::string& server);

// How the network-management calls and the window name the server: "\\NAME".
std::string unc_name_of(const std::string& server);
