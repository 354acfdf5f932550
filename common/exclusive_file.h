// A file opened for exclusive use: no other opener, reading or writing, while
// it is open. Lines are written with explicit CR LF; nothing is translated.
// A symbolic link is never followed: where others may write to the folder, a
// link named like a log would make the program write wherever it points.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Why an open or a write failed, as the Windows error codes say it.
namespace file_failure {
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kWriteProtected = 19;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kOpenFailed = 110;
constexpr std::uint32_t kSymbolicLink = 681;  // ERROR_STOPPED_ON_SYMLINK
}  // namespace file_failure

class ExclusiveFile {
public:
    enum class Disposition {
        OpenExisting,  // fails when the file is missing
        OpenAlways,    // opens, or creates an empty file
        CreateAlways,  // creates, truncating an existing file
    };

    // nullptr when the file cannot be had (missing, locked, no rights);
    // `in_use`, when given, tells whether another holder has it.
    static std::unique_ptr<ExclusiveFile> open(const std::string& path, Disposition disposition,
                                               bool* in_use = nullptr);
    // The same, tried again every 100 ms for up to `wait_ms` while another
    // holder has the file (a log query reading it, another writer); a file
    // that cannot be had for any other reason fails at once.
    static std::unique_ptr<ExclusiveFile> open_waiting(const std::string& path, Disposition disposition, int wait_ms);
    static bool exists(const std::string& path);
    // Why this thread's latest open, write or truncate failed (a file_failure
    // code, or another Windows error code).
    static std::uint32_t last_failure();

    virtual ~ExclusiveFile() = default;
    // Bytes read (0 at the end), or -1 on failure.
    virtual long read(char* buffer, std::size_t size) = 0;
    virtual bool write(const std::string& bytes) = 0;
    virtual bool seek(std::int64_t offset) = 0;  // from the start
    virtual bool seek_to_end() = 0;
    virtual std::int64_t size() = 0;
    // Cuts the file to `size` bytes; the position is then undefined.
    virtual bool truncate(std::int64_t size) = 0;

protected:
    static void note_failure(std::uint32_t code);
};
