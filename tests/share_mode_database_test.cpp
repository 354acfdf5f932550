// A real share-mode database (locking.tdb of a private Samba 4.17 while two
// clients held two files each; the server's srvsvc NetFileEnum listed the
// ids below), read through libtdb as the backend reads it, and what a
// damaged or foreign database must not turn into.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/types.h>
#include <tdb.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "netmgmt/samba_databases_linux.h"
#include "netmgmt/share_mode_database.h"
#include "support/samba_data.h"

using namespace netmgmt::samba;

namespace {

// The image from its sparse text: the size, then offset and hex of each
// non-zero row.
std::vector<unsigned char> captured_image() {
    std::istringstream in(read_data("locking_tdb.hex"));
    std::vector<unsigned char> image;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string first, hex;
        fields >> first >> hex;
        if (first == "size") {
            image.assign(std::stoul(hex), 0);
            continue;
        }
        const std::size_t at = std::stoul(first);
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            image.at(at + i / 2) = static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16));
    }
    return image;
}

// The image as a database file, removed again at the end.
struct DatabaseFile {
    std::string path;
    explicit DatabaseFile(const std::vector<unsigned char>& image, std::size_t size) {
        char name[] = "/tmp/filvane-locking-XXXXXX";
        const int fd = mkstemp(name);
        path = name;
        const bool written = fd >= 0 && write(fd, image.data(), size) == static_cast<ssize_t>(size) && close(fd) == 0;
        EXPECT_TRUE(written) << path;
    }
    ~DatabaseFile() { std::remove(path.c_str()); }
};

std::optional<std::vector<DatabaseOpen>> read_image(const std::vector<unsigned char>& image, std::size_t size) {
    DatabaseFile file(image, size);
    return read_share_mode_database(file.path);
}

// Each record's key and value, as tdb holds them.
using Record = std::pair<std::vector<unsigned char>, std::vector<unsigned char>>;
std::vector<Record> records_of(const std::vector<unsigned char>& image) {
    DatabaseFile file(image, image.size());
    std::vector<Record> records;
    TDB_CONTEXT* database = tdb_open(file.path.c_str(), 0, TDB_DEFAULT, O_RDONLY, 0);
    EXPECT_NE(database, nullptr);
    if (!database)
        return records;
    tdb_traverse_read(
        database,
        [](TDB_CONTEXT*, TDB_DATA key, TDB_DATA value, void* into) {
            static_cast<std::vector<Record>*>(into)->push_back(
                {{key.dptr, key.dptr + key.dsize}, {value.dptr, value.dptr + value.dsize}});
            return 0;
        },
        &records);
    tdb_close(database);
    return records;
}

const std::string kShare = "/tmp/filvane-capture.wPkMXo/shares/docs";

}  // namespace

TEST(ShareModeDatabase, CapturedImageGivesTheOpensSrvsvcListed) {
    const std::vector<unsigned char> image = captured_image();
    const auto opens = read_image(image, image.size());
    ASSERT_TRUE(opens);
    struct Expected {
        std::uint32_t id, permissions, uid;
        std::string name;
    };
    // NetFileEnum's order differs: matched by id. Permissions are the
    // access mask's read and write bits, as srvsvc gives them.
    const Expected expected[] = {{1250361357, 3, 1, "load-daemon/c0000/f00000.txt"},
                                 {1250361360, 1, 1, "load-daemon/c0000/f00001.txt"},
                                 {1250492432, 1, 2, "load-bin/c0001/f00001.txt"},
                                 {1250492429, 3, 2, "load-bin/c0001/f00000.txt"}};
    ASSERT_EQ(opens->size(), 4u);
    for (const Expected& e : expected) {
        auto found = std::find_if(opens->begin(), opens->end(), [&](const DatabaseOpen& o) { return o.id == e.id; });
        ASSERT_NE(found, opens->end()) << e.id;
        EXPECT_EQ(found->open.share_path, kShare);
        EXPECT_EQ(found->open.name, e.name);
        EXPECT_EQ(found->open.access_mask & 3u, e.permissions);
        EXPECT_EQ(found->open.owner.uid, e.uid);
        EXPECT_EQ(found->open.owner.pid, e.id >> 16);
    }
}

// A damaged record, a shorter file or another layout rejects the listing as
// a whole: a wrong row would be shown and logged as a change.
TEST(ShareModeDatabase, DamagedDatabasesAreRejectedNeverMisread) {
    const std::vector<unsigned char> image = captured_image();
    const auto good = read_image(image, image.size());
    ASSERT_TRUE(good);

    EXPECT_FALSE(read_image(image, 100)) << "shorter than a header";
    std::vector<unsigned char> foreign = image;
    foreign[32] ^= 1;  // another tdb version
    EXPECT_FALSE(read_image(foreign, foreign.size()));

    // Each byte of each record's value changed in turn: either rejected, or
    // read as the same opens where the byte does not matter (padding,
    // epochs, times), or one value the layout cannot check (an id, a mask,
    // a letter of a name) changed. Never more rows, never a crash.
    const std::vector<Record> records = records_of(image);
    ASSERT_EQ(records.size(), 4u);  // four files, one open each
    std::size_t rejected = 0;
    for (const Record& record : records) {
        std::vector<DatabaseOpen> whole;
        ASSERT_TRUE(add_share_mode_record(
            record.first.data(), record.first.size(), record.second.data(), record.second.size(), whole));
        ASSERT_EQ(whole.size(), 1u);
        for (std::size_t at = 0; at < record.second.size(); ++at) {
            std::vector<unsigned char> value = record.second;
            value[at] ^= 0x5a;
            std::vector<DatabaseOpen> read;
            if (!add_share_mode_record(record.first.data(), record.first.size(), value.data(), value.size(), read)) {
                EXPECT_TRUE(read.empty()) << at;
                ++rejected;
                continue;
            }
            ASSERT_EQ(read.size(), 1u) << at;
            const DatabaseOpen &a = read[0], &b = whole[0];
            const int differing = (a.id != b.id) + (a.open.name != b.open.name) +
                                  (a.open.share_path != b.open.share_path) +
                                  (a.open.access_mask != b.open.access_mask) + (a.open.owner.uid != b.open.owner.uid);
            EXPECT_LE(differing, 1) << at;
        }
        std::vector<DatabaseOpen> none;
        EXPECT_FALSE(add_share_mode_record(
            record.first.data(), record.first.size() - 1, record.second.data(), record.second.size(), none))
            << "a key that is no file id";
        EXPECT_FALSE(add_share_mode_record(
            record.first.data(), record.first.size(), record.second.data(), record.second.size() - 1, none))
            << "a value cut short";
    }
    EXPECT_GT(rejected, 0u);

    // The file cut anywhere: rejected, or fewer opens, never more.
    for (std::size_t size = 0; size < image.size(); size += 4093) {
        const auto read = read_image(image, size);
        EXPECT_TRUE(!read || read->size() < good->size()) << size;
    }
}
