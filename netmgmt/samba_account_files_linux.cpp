#include "netmgmt/samba_account_files_linux.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "netmgmt/net_management.h"

namespace netmgmt {
namespace samba {
namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Up to `limit` bytes from `fd`; false on a read error or a longer file.
bool read_at_most(int fd, long long limit, std::string& out) {
    char chunk[1024];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(chunk, static_cast<std::size_t>(n));
        if (static_cast<long long>(out.size()) > limit)
            return false;
    }
}

std::uint32_t write_failure(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return kAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return kDiskFull;
    case ELOOP:
        return kSymbolicLink;
    case ENOTDIR:
        return kPathNotFound;
    default:
        return kWriteFault;
    }
}

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes `folder` and its missing parents, each mode 700; the folder itself,
// new or not, must be the user's own folder and is closed to others.
std::uint32_t private_folder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return write_failure(errno);
        if (slash == std::string::npos)
            break;
    }
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0)
        return write_failure(errno);
    if (S_ISLNK(st.st_mode))
        return kSymbolicLink;
    if (!S_ISDIR(st.st_mode))
        return kPathNotFound;
    if (st.st_uid != geteuid())
        return kInvalidOwner;
    if (exposed(st.st_mode) && chmod(folder.c_str(), 0700) != 0)
        return write_failure(errno);
    return kSuccess;
}

}  // namespace

AccountPlaces account_places() {
    AccountPlaces places{env("FILVANE_SAMBA_CREDENTIALS"), env("XDG_CONFIG_HOME"), env("HOME")};
    if (places.home.empty())
        if (const passwd* user = getpwuid(geteuid()))
            places.home = user->pw_dir ? user->pw_dir : "";
    return places;
}

std::uint32_t read_account_file(const std::string& path, Credentials& out) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return kFileNotFound;
        return errno == ELOOP ? kSymbolicLink : errno == EACCES ? kAccessDenied : kNotAuthenticated;
    }
    struct stat st {};
    std::uint32_t status = kNotAuthenticated;
    if (fstat(fd, &st) == 0)
        status = account_file_refusal(
            {false, S_ISREG(st.st_mode), st.st_uid, st.st_mode & 07777, static_cast<long long>(st.st_size)}, geteuid());
    std::string text;
    if (status == kSuccess && !read_at_most(fd, kMaxAccountFileSize, text))
        status = kNotAuthenticated;
    close(fd);
    return status == kSuccess ? read_account(text, out) : status;
}

std::uint32_t read_first_account(const std::vector<std::string>& paths, Credentials& out) {
    for (const std::string& path : paths) {
        const std::uint32_t status = read_account_file(path, out);
        if (status != kFileNotFound)
            return status;
    }
    return kNotAuthenticated;
}

std::uint32_t write_account_file(const std::string& folder, const std::string& name, const Credentials& account) {
    const std::optional<std::string> text = account_file_text(account);
    if (!text)
        return kInvalidParameter;
    if (folder.empty() || folder.front() != '/' || name.empty() || name.find('/') != std::string::npos)
        return kPathNotFound;
    if (std::uint32_t status = private_folder(folder))
        return status;
    std::string temporary = folder + "/." + name + ".XXXXXX";
    // mkostemp makes the file with O_CREAT | O_EXCL, mode 600.
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return write_failure(errno);
    bool written = write_all(fd, *text) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && rename(temporary.c_str(), (folder + "/" + name).c_str()) == 0)
        return kSuccess;
    if (written)
        error = errno;
    unlink(temporary.c_str());
    return write_failure(error);
}

}  // namespace samba
}  // namespace netmgmt
