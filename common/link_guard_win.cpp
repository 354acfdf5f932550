// Windows: a symbolic link is a reparse point, and a handle opened with
// FILE_FLAG_OPEN_REPARSE_POINT is the link itself, not what it points at.
#include "common/link_guard_win.h"

bool path_is_link(const WCHAR* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool opened_through_link(HANDLE file, const WCHAR*) {
    BY_HANDLE_FILE_INFORMATION info;
    return !GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
