#pragma once

#include <windows.h>

#include <string>

// A string-table entry as GBK; empty when there is none.
std::string load_string(HINSTANCE instance, UINT id);
