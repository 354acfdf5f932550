// A real share-mode database (locking.tdb of a private Samba 4.17 while two
// clients held two files each; the server's srvsvc NetFileEnum listed the
// ids below), and what a torn or foreign image must not turn into.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

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

const std::string kShare = "/tmp/filvane-capture.wPkMXo/shares/docs";

}  // namespace

TEST(ShareModeDatabase, CapturedImageGivesTheOpensSrvsvcListed) {
    const std::vector<unsigned char> image = captured_image();
    const auto opens = parse_share_mode_database(image.data(), image.size());
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

// A record caught half written, a shorter file or another layout rejects the
// image as a whole: a wrong row would be shown and logged as a change.
TEST(ShareModeDatabase, DamagedImagesAreRejectedNeverMisread) {
    const std::vector<unsigned char> image = captured_image();
    const auto good = parse_share_mode_database(image.data(), image.size());
    ASSERT_TRUE(good);
    // The records start after the header copy and hash table.
    const std::size_t records = 401408 + 168 + 4 * (10007 + 1);
    ASSERT_LT(records, image.size());

    EXPECT_FALSE(parse_share_mode_database(image.data(), 100)) << "shorter than a header";
    std::vector<unsigned char> foreign = image;
    foreign[32] ^= 1;  // another tdb version
    EXPECT_FALSE(parse_share_mode_database(foreign.data(), foreign.size()));

    // Each byte of the records changed in turn: either rejected, or read as
    // the same opens where the byte does not matter (padding, epochs, times),
    // or a value the layout cannot check (an id, a mask, a letter of a
    // name) changed in one row alone. Never more rows, never a crash.
    std::size_t rejected = 0;
    for (std::size_t at = records; at < image.size(); ++at) {
        if (image[at] == 0 && (at + 1 == image.size() || image[at + 1] == 0) && (image[at - 1] == 0))
            continue;  // runs of zeros: free space
        std::vector<unsigned char> changed = image;
        changed[at] ^= 0x5a;
        const auto read = parse_share_mode_database(changed.data(), changed.size());
        if (!read) {
            ++rejected;
            continue;
        }
        ASSERT_EQ(read->size(), good->size()) << at;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < read->size(); ++i) {
            const DatabaseOpen &a = (*read)[i], &b = (*good)[i];
            differing += a.id != b.id || a.open.name != b.open.name || a.open.share_path != b.open.share_path ||
                         a.open.access_mask != b.open.access_mask || a.open.owner.uid != b.open.owner.uid;
        }
        EXPECT_LE(differing, 2u) << at;  // a file's path is shared by the opens of its record
    }
    EXPECT_GT(rejected, 0u);

    // Cut anywhere within the records: rejected unless the cut falls between them.
    for (std::size_t size = records; size < image.size(); size += 7) {
        const auto read = parse_share_mode_database(image.data(), size);
        EXPECT_TRUE(!read || read->size() < good->size()) << size;
    }
}
