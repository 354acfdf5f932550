#pragma once

#include <windows.h>

#include <string>

// A string-table entry as GBK; empty when there is none.
std::string load_string(HINSTANCE instance, UINT id);
// The same from the program's own string table: how the windows get the
// texts they show.
std::string resource_text(UINT id);
// The table's text with its "%s" replaced by `value`, taken as it is.
std::string formatted_text(UINT id, const std::string& value);
