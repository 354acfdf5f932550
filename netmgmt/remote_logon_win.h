// Another Windows server reached with an account the user gave, as the
// system's own tools do it: a connection to the server's IPC$ share with
// that name and password (mpr), which netapi32's calls to the server then
// use. Remembered accounts live in the user's credential store.
#pragma once

#include <cstdint>
#include <string>

namespace netmgmt {

// Connects to `server`'s IPC$ (`server` as "\\NAME") as `user`, in place of
// the connection there was; the system's result code.
std::uint32_t log_on(const std::u16string& server, const std::u16string& user, const std::u16string& password);

// Stores the account for `server` in the user's credential store.
std::uint32_t remember_logon(const std::u16string& server, const std::u16string& user, const std::u16string& password);

// Connects with the account stored for `server`; false when none is stored
// or the server refuses it (the next call says why).
bool log_on_remembered(const std::u16string& server);

}  // namespace netmgmt
