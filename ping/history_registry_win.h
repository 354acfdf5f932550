// The host history in the application profile: key Software\RODA\<program>\MRU
// of HKEY_CURRENT_USER, "Entries" (REG_DWORD) and "Host#0".. (REG_SZ).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The entries that exist, in stored order: a missing "Entries" is no
// history, and a missing "Host#N" is no entry (not an empty one).
std::vector<std::string> load_host_history(const std::string& program);
// ERROR_SUCCESS or the first registry error.
LONG save_host_history(const std::string& program, const std::vector<std::string>& entries);
