// Telling a log file's path from a symbolic link, before it is opened (so
// nothing is created or cut through a link) and again on the opened handle
// (a link may be put in its place in between).
#pragma once

#include <windows.h>

bool path_is_link(const WCHAR* path);
// `file` was opened from `path` with FILE_FLAG_OPEN_REPARSE_POINT.
bool opened_through_link(HANDLE file, const WCHAR* path);
