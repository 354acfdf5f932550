// Win32 files opened with no sharing at all.
#include <windows.h>

#include "common/exclusive_file.h"
#include "common/link_guard_win.h"
#include "common/wide_text_win.h"

namespace {

std::uint32_t failure_of(DWORD error) { return error == ERROR_HANDLE_DISK_FULL ? file_failure::kDiskFull : error; }

class Win32File : public ExclusiveFile {
public:
    explicit Win32File(HANDLE h) : h_(h) {}
    ~Win32File() override { CloseHandle(h_); }

    long read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        if (!ReadFile(h_, buffer, static_cast<DWORD>(size), &got, nullptr))
            return -1;
        return static_cast<long>(got);
    }
    bool write(const std::string& bytes) override {
        DWORD put = 0;
        // The code a successful open leaves (183 for an existing file) must
        // not pass for the cause of a short write.
        SetLastError(ERROR_SUCCESS);
        const BOOL wrote = WriteFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
        if (wrote && put == bytes.size())
            return true;
        // A write cut short without an error is the disk filling up.
        note_failure(wrote || GetLastError() == ERROR_SUCCESS ? file_failure::kDiskFull : failure_of(GetLastError()));
        return false;
    }
    bool seek(std::int64_t offset) override {
        LARGE_INTEGER li;
        li.QuadPart = offset;
        return SetFilePointerEx(h_, li, nullptr, FILE_BEGIN) != 0;
    }
    bool seek_to_end() override {
        LARGE_INTEGER zero{};
        return SetFilePointerEx(h_, zero, nullptr, FILE_END) != 0;
    }
    std::int64_t size() override {
        LARGE_INTEGER li;
        return GetFileSizeEx(h_, &li) ? li.QuadPart : -1;
    }
    bool truncate(std::int64_t size) override {
        if (seek(size) && SetEndOfFile(h_))
            return true;
        note_failure(failure_of(GetLastError()));
        return false;
    }

private:
    HANDLE h_;
};

}  // namespace

std::unique_ptr<ExclusiveFile> ExclusiveFile::open(const std::string& path, Disposition disposition, bool* in_use) {
    if (in_use)
        *in_use = false;
    const std::u16string wide = widen(path);
    if (path_is_link(wide_ptr(wide))) {
        note_failure(file_failure::kSymbolicLink);
        return nullptr;
    }
    // Created or opened, never cut, until the handle is known to be no link.
    DWORD creation = disposition == Disposition::OpenExisting ? OPEN_EXISTING : OPEN_ALWAYS;
    HANDLE h = CreateFileW(wide_ptr(wide), GENERIC_READ | GENERIC_WRITE, 0, nullptr, creation,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (in_use)
            *in_use = error == ERROR_SHARING_VIOLATION;
        note_failure(failure_of(error));
        return nullptr;
    }
    auto file = std::make_unique<Win32File>(h);
    if (opened_through_link(h, wide_ptr(wide))) {
        note_failure(file_failure::kSymbolicLink);
        return nullptr;
    }
    if (disposition == Disposition::CreateAlways && !file->truncate(0))
        return nullptr;
    return file;
}

bool ExclusiveFile::exists(const std::string& path) {
    return GetFileAttributesW(wide_ptr(widen(path))) != INVALID_FILE_ATTRIBUTES;
}
