// The host history in the application profile: key Software\RODA\<program>\MRU
// of HKEY_CURRENT_USER, "Entries" (REG_DWORD) and "Host#0".. (REG_SZ).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Entries in stored order; missing values read as no history or empty texts.
std::vector<std::string> load_host_history(const std::string& program);
// ERROR_SUCCESS or the first registry error.
LONG save_host_history(const std::string& program, const std::vector<std::string>& entries);
