#include "netmgmt/samba_databases_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <unordered_map>
#include <vector>

#include "netmgmt/tdb_fingerprint.h"

namespace netmgmt {
namespace samba {
namespace {

const char* const kDatabases[] = {
    "smbXsrv_session_global.tdb", "smbXsrv_tcon_global.tdb", "smbXsrv_open_global.tdb", "locking.tdb"};
constexpr std::size_t kChunkBytes = 1 << 20;

ssize_t read_at(int fd, unsigned char* into, std::size_t size, off_t at) {
    ssize_t n;
    do
        n = pread(fd, into, size, at);
    while (n < 0 && errno == EINTR);
    return n;
}

// Adds one database's content to `hash`; false when it cannot be read.
bool add_database(const std::string& path, std::vector<unsigned char>& chunk, ContentHash& hash) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool read_whole = fstat(fd, &st) == 0;
    std::size_t start = 0;
    if (read_whole) {
        const ssize_t got = read_at(fd, chunk.data(), kTdbHeaderBytes, 0);
        start = got > 0 ? tdb_content_start(chunk.data(), static_cast<std::size_t>(got)) : 0;
        read_whole = start != 0;
    }
    // The file's identity too: a database made anew (the server restarted)
    // may hold the same bytes as before.
    const std::uint64_t identity[] = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    hash.add(reinterpret_cast<const unsigned char*>(identity), sizeof identity);
    for (off_t at = static_cast<off_t>(start); read_whole;) {
        const ssize_t got = read_at(fd, chunk.data(), chunk.size(), at);
        if (got < 0)
            read_whole = false;
        if (got <= 0)
            break;
        hash.add(chunk.data(), static_cast<std::size_t>(got));
        at += got;
    }
    close(fd);
    return read_whole;
}

bool read_whole(const std::string& path, std::vector<unsigned char>& out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool read = fstat(fd, &st) == 0;
    if (read) {
        out.resize(static_cast<std::size_t>(st.st_size));
        std::size_t have = 0;
        while (read && have < out.size()) {
            const ssize_t got = read_at(fd, out.data() + have, out.size() - have, static_cast<off_t>(have));
            read = got >= 0;
            if (got <= 0)
                break;
            have += static_cast<std::size_t>(got);
        }
        out.resize(have);  // a database made smaller meanwhile reads short and is rejected
    }
    close(fd);
    return read;
}

bool running(std::uint32_t pid) { return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

}  // namespace

std::optional<std::vector<DatabaseOpen>> share_mode_opens(const std::string& lock_directory) {
    std::optional<std::vector<DatabaseOpen>> opens;
    {
        std::vector<unsigned char> image;
        if (!read_whole(lock_directory + "/locking.tdb", image))
            return std::nullopt;
        opens = parse_share_mode_database(image.data(), image.size());
    }
    if (!opens)
        return std::nullopt;
    std::unordered_map<std::uint32_t, bool> alive;
    std::vector<DatabaseOpen> kept;
    kept.reserve(opens->size());
    for (auto& o : *opens) {
        auto known = alive.find(o.open.owner.pid);
        if (known == alive.end())
            known = alive.emplace(o.open.owner.pid, running(o.open.owner.pid)).first;
        if (known->second)
            kept.push_back(std::move(o));
    }
    return kept;
}

std::optional<std::uint64_t> databases_fingerprint(const std::string& lock_directory) {
    std::vector<unsigned char> chunk(kChunkBytes);
    ContentHash hash;
    for (const char* name : kDatabases)
        if (!add_database(lock_directory + "/" + name, chunk, hash))
            return std::nullopt;
    return hash.value();
}

}  // namespace samba
}  // namespace netmgmt
