#include "netmgmt/share_mode_database.h"

#include <cstring>
#include <string>

#include "netmgmt/tdb_fingerprint.h"

namespace netmgmt {
namespace samba {
namespace {

constexpr std::uint32_t kTdbVersion = 0x26011967 + 6;
constexpr std::size_t kVersionAt = 32;
constexpr std::size_t kHashSizeAt = 36;

constexpr std::size_t kRecordHeader = 24;  // next, rec_len, key_len, data_len, full_hash, magic
constexpr std::uint32_t kLive = 0x26011999;
constexpr std::uint32_t kFree = ~kLive;
constexpr std::uint32_t kDead = 0xfee1dead;
constexpr std::uint32_t kRecovery = 0xf53bc0e7;
constexpr std::uint32_t kRecoveryInvalid = 0;

constexpr std::size_t kFileIdBytes = 24;  // the record's key: device, inode, extid
// The record lock's header: the exclusive holder, a word, two epochs and
// the count of shared holders; the share-mode data follows.
constexpr std::size_t kLockHeader = 48;
constexpr std::size_t kSharedHoldersAt = 44;
constexpr std::size_t kEntryBytes = 132;
constexpr std::size_t kEntryPidAt = 0;
constexpr std::size_t kEntryAccessAt = 72;
constexpr std::size_t kEntryFileIdAt = 100;
constexpr std::size_t kEntryUidAt = 108;

// tdb and NDR both write in the machine's byte order here (little-endian
// NDR on a little-endian server, the only kind Samba's tdb files are read
// on by this build).
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    bool has(std::size_t at, std::size_t bytes) const { return at <= size_ && bytes <= size_ - at; }
    std::uint32_t u32(std::size_t at) const { return value<std::uint32_t>(at); }
    std::uint64_t u64(std::size_t at) const { return value<std::uint64_t>(at); }
    const unsigned char* at(std::size_t offset) const { return data_ + offset; }
    std::size_t size() const { return size_; }

private:
    template <class T>
    T value(std::size_t at) const {
        T v;
        std::memcpy(&v, data_ + at, sizeof v);
        return v;
    }
    const unsigned char* data_;
    std::size_t size_;
};

// One NDR string (size, offset, length, the bytes with their NUL) at `at`;
// `at` moves past it, aligned to 4.
bool take_string(const Reader& r, std::size_t& at, std::string& out) {
    if (!r.has(at, 12))
        return false;
    const std::uint32_t size = r.u32(at), offset = r.u32(at + 4), length = r.u32(at + 8);
    if (offset != 0 || length != size || length == 0 || !r.has(at + 12, length) || *r.at(at + 12 + length - 1) != 0)
        return false;
    out.assign(reinterpret_cast<const char*>(r.at(at + 12)), length - 1);
    at = (at + 12 + length + 3) & ~std::size_t{3};
    return true;
}

// The share-mode data: the file's folder and name; false when it does not
// read as one or names another file than `key`.
bool take_file(const Reader& r, const unsigned char* key, std::string& share_path, std::string& name) {
    constexpr std::size_t kPointersAt = 12, kDeleteTokensAt = 24, kTokenBytes = 12;
    if (!r.has(0, 32))
        return false;
    const std::uint32_t tokens = r.u32(kDeleteTokensAt);
    if (r.u32(kDeleteTokensAt + 4) != tokens || tokens > 1024)
        return false;
    // Two write times after the delete tokens, then the file's id.
    std::size_t at = ((32 + tokens * kTokenBytes + 7) & ~std::size_t{7}) + 16;
    if (!r.has(at, kFileIdBytes) || std::memcmp(r.at(at), key, kFileIdBytes) != 0)
        return false;
    at += kFileIdBytes;
    const bool has_stream = r.u32(kPointersAt + 8) != 0;
    std::string stream;
    if (r.u32(kPointersAt) == 0 || r.u32(kPointersAt + 4) == 0 || !take_string(r, at, share_path) ||
        !take_string(r, at, name) || (has_stream && !take_string(r, at, stream)))
        return false;
    name += stream;
    return true;
}

bool take_record(const Reader& value, const unsigned char* key, std::vector<DatabaseOpen>& out) {
    if (!value.has(0, kLockHeader + 4) || value.u32(kSharedHoldersAt) != 0)
        return false;  // a holder's lock in progress: another layout than the one read below
    const std::uint32_t data_bytes = value.u32(kLockHeader);
    const std::size_t entries_at = kLockHeader + 4 + std::size_t{data_bytes};
    if (!value.has(kLockHeader + 4, data_bytes))
        return false;
    const std::size_t entry_bytes = value.size() - entries_at;
    if (entry_bytes % kEntryBytes != 0)
        return false;
    ListedOpen file;
    if (!take_file(Reader(value.at(kLockHeader + 4), data_bytes), key, file.share_path, file.name))
        return false;
    for (std::size_t at = entries_at; at < entries_at + entry_bytes; at += kEntryBytes) {
        DatabaseOpen o;
        o.open = file;
        const std::uint64_t pid = value.u64(at + kEntryPidAt);
        o.open.owner.pid = static_cast<std::uint32_t>(pid);
        o.open.owner.uid = value.u32(at + kEntryUidAt);
        o.open.access_mask = value.u32(at + kEntryAccessAt);
        o.id = static_cast<std::uint32_t>((pid << 16) | value.u64(at + kEntryFileIdAt));
        out.push_back(std::move(o));
    }
    return true;
}

}  // namespace

std::optional<std::vector<DatabaseOpen>> parse_share_mode_database(const unsigned char* image, std::size_t size) {
    const Reader file(image, size);
    const std::optional<std::size_t> header = tdb_header_at(image, size);
    if (!header || file.u32(kVersionAt) != kTdbVersion)
        return std::nullopt;
    // Offsets count from the real header.
    const std::size_t base = *header;
    if (!file.has(base, kTdbHeaderBytes) || std::memcmp(image, image + base, 9) != 0)
        return std::nullopt;
    const std::uint64_t hash_size = Reader(image + base, kTdbHeaderBytes).u32(kHashSizeAt);
    std::vector<DatabaseOpen> opens;
    for (std::size_t at = base + kTdbHeaderBytes + 4 * (hash_size + 1); at < size;) {
        if (!file.has(at, kRecordHeader))
            return std::nullopt;
        const std::uint32_t length = file.u32(at + 4), key_bytes = file.u32(at + 8), data_bytes = file.u32(at + 12);
        const std::uint32_t magic = file.u32(at + 20);
        if (!file.has(at + kRecordHeader, length))
            return std::nullopt;
        if (magic == kLive) {
            if (key_bytes != kFileIdBytes || std::uint64_t{key_bytes} + data_bytes > length ||
                !take_record(
                    Reader(file.at(at + kRecordHeader + key_bytes), data_bytes), file.at(at + kRecordHeader), opens))
                return std::nullopt;
        } else if (magic != kFree && magic != kDead && magic != kRecovery && magic != kRecoveryInvalid) {
            return std::nullopt;
        }
        at += kRecordHeader + length;
    }
    return opens;
}

}  // namespace samba
}  // namespace netmgmt
