// Winelib: Wine follows Unix symbolic links to files and does not mark them,
// so the Unix path it maps a name to is asked directly.
#include <sys/stat.h>

#include "common/link_guard_win.h"

namespace {

// lstat of the Unix path Wine maps `path` to; false when it has none or
// nothing is there.
bool unix_status(const WCHAR* path, struct stat& st) {
    char* unix_path = wine_get_unix_file_name(path);
    if (!unix_path)
        return false;
    bool found = ::lstat(unix_path, &st) == 0;
    HeapFree(GetProcessHeap(), 0, unix_path);
    return found;
}

}  // namespace

bool path_is_link(const WCHAR* path) {
    struct stat st {};
    return unix_status(path, st) && S_ISLNK(st.st_mode);
}

bool opened_through_link(HANDLE file, const WCHAR* path) {
    BY_HANDLE_FILE_INFORMATION info;
    struct stat st {};
    if (!GetFileInformationByHandle(file, &info) || !unix_status(path, st))
        return true;
    // The name must still be a plain file, and the very one that was opened.
    const unsigned long long index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return S_ISLNK(st.st_mode) || index != static_cast<unsigned long long>(st.st_ino);
}
