// Win32 files opened with no sharing at all.
#include <windows.h>

#include "common/exclusive_file.h"
#include "common/win_text.h"

namespace {

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
        return WriteFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
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

private:
    HANDLE h_;
};

}  // namespace

std::unique_ptr<ExclusiveFile> ExclusiveFile::open(const std::string& path, Disposition disposition, bool* in_use) {
    DWORD creation = disposition == Disposition::OpenExisting ? OPEN_EXISTING
                     : disposition == Disposition::OpenAlways ? OPEN_ALWAYS
                                                              : CREATE_ALWAYS;
    HANDLE h = CreateFileW(
        wide_ptr(widen(path)), GENERIC_READ | GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (in_use)
            *in_use = GetLastError() == ERROR_SHARING_VIOLATION;
        return nullptr;
    }
    return std::make_unique<Win32File>(h);
}

bool ExclusiveFile::exists(const std::string& path) {
    return GetFileAttributesW(wide_ptr(widen(path))) != INVALID_FILE_ATTRIBUTES;
}
