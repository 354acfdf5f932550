// POSIX files locked with flock, for the host build.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/exclusive_file.h"

namespace {

std::uint32_t failure_of(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return file_failure::kDiskFull;
    case EACCES:
    case EPERM:
        return file_failure::kAccessDenied;
    case EROFS:
        return file_failure::kWriteProtected;
    case ELOOP:
        return file_failure::kSymbolicLink;
    case EWOULDBLOCK:
        return file_failure::kSharingViolation;
    default:
        return file_failure::kOpenFailed;
    }
}

class PosixFile : public ExclusiveFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }

    long read(char* buffer, std::size_t size) override { return static_cast<long>(::read(fd_, buffer, size)); }
    bool write(const std::string& bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return failed();
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    bool seek(std::int64_t offset) override { return ::lseek(fd_, offset, SEEK_SET) >= 0; }
    bool seek_to_end() override { return ::lseek(fd_, 0, SEEK_END) >= 0; }
    std::int64_t size() override {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? st.st_size : -1;
    }
    bool truncate(std::int64_t size) override { return ::ftruncate(fd_, size) == 0 || failed(); }

private:
    static bool failed() {
        note_failure(failure_of(errno));
        return false;
    }
    int fd_;
};

}  // namespace

std::unique_ptr<ExclusiveFile> ExclusiveFile::open(const std::string& path, Disposition disposition, bool* in_use) {
    if (in_use)
        *in_use = false;
    int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
    if (disposition == Disposition::OpenAlways)
        flags |= O_CREAT;
    if (disposition == Disposition::CreateAlways)
        flags |= O_CREAT;
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        note_failure(failure_of(errno));
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (in_use)
            *in_use = error == EWOULDBLOCK;
        note_failure(failure_of(error));
        ::close(fd);
        return nullptr;
    }
    // Truncate only once the lock is ours, so a locked file is never emptied.
    if (disposition == Disposition::CreateAlways && ::ftruncate(fd, 0) != 0) {
        note_failure(failure_of(errno));
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

bool ExclusiveFile::exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}
