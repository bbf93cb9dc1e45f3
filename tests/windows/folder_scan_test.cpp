// Folder counts and drive lists over the real platform's folder search and
// drives.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "platform/win32.h"
#include "sound/path_helpers.h"
#include "sound/sound_device.h"
#include "tests/support/scratch_folder.h"

namespace {

class FolderScan : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_.write("one.mp3", "a");
        folder_.write("two.txt", "b");
        folder_.write("noextension", "c");
        folder_.makeFolder("sub");
        folder_.write("sub/inner.mp3", "d");
    }

    hp::test::ScratchFolder folder_;
};

TEST_F(FolderScan, CountsByModeWhateverTheFolderEndsWith)
{
    struct Case {
        const char *pattern;
        int mode;
        int expected;
    };
    const Case cases[] = {
        {"ignored", countAllEntries, 4},
        {"*.*", countMatchingFiles, 3},  // "*.*" also matches a name without a dot
        {"*.mp3", countMatchingFiles, 1},
        {"ignored", countFolders, 1},
        {"*.mp3", countMatchingAndFolders, 2},
        {"s*", countMatchingAndFolders, 2},  // sub matches, and counts again as a folder
        {"*.mp3", 7, 1},
        {"s*", 7, 1},
        {"*.wav", countMatchingFiles, 0},
    };
    const std::string windowsStyle = folder_.path();  // C:\...\hp-test-...
    for (const std::string &folder : {windowsStyle, windowsStyle + "\\", windowsStyle + "/"}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(folder + " " + c.pattern + " mode " + std::to_string(c.mode));
            EXPECT_EQ(countFolderEntries(nullptr, folder.c_str(), c.pattern, c.mode), c.expected);
        }
    }
}

// "." and ".." are entries of every folder but a root; they never count.
TEST_F(FolderScan, EmptyFoldersAndMissingOnesCountNothing)
{
    std::string empty = folder_.makeFolder("empty");
    EXPECT_EQ(countFolderEntries(nullptr, empty.c_str(), "*.*", countAllEntries), 0);
    EXPECT_EQ(countFolderEntries(nullptr, empty.c_str(), "*.*", countFolders), 0);
    std::string missing = folder_.pathOf("missing");
    EXPECT_EQ(countFolderEntries(nullptr, missing.c_str(), "*.*", countAllEntries), 0);
}

// A code page 932 folder name whose last byte is the trail byte 0x5C (表)
// is taken as ending in a separator: the search text then has none.
TEST_F(FolderScan, FolderNameEndingInATrailByte0x5C)
{
    std::string folder = folder_.makeFolder("予定表");
    folder_.write("予定表/a.mp3", "a");
    // "...予定表" + "*.*" is a search in the parent for names that start with
    // the folder's name: the folder itself.
    EXPECT_EQ(countFolderEntries(nullptr, folder.c_str(), "*.*", countFolders), 1);
    EXPECT_EQ(countFolderEntries(nullptr, (folder + "\\").c_str(), "*.*", countAllEntries), 1);
}

// Drive roots in letter order, one per bit of the logical drive mask.
TEST(DriveLists, RootsFollowTheLogicalDrives)
{
    DWORD drives = GetLogicalDrives();
    ASSERT_NE(drives, 0u);
    char roots[260];
    memset(roots, 'x', sizeof roots);
    int count = soundDevice.listDriveRoots(roots, sizeof roots);

    std::string expected;
    for (int i = 0; i < 26; ++i) {
        if (drives & (1u << i))
            expected += std::string(1, static_cast<char>('A' + i)) + ":\\";
    }
    EXPECT_EQ(count, static_cast<int>(expected.size() / 3));
    EXPECT_EQ(std::string(roots), expected);
    EXPECT_NE(expected.find("C:\\"), std::string::npos);

    // One root more than there is room for.
    char small[7];
    if (count >= 3) {
        EXPECT_EQ(soundDevice.listDriveRoots(small, sizeof small), -1);
        EXPECT_EQ(std::string(small), expected.substr(0, 6));
    }
}

// Hard disks hold more than track files: no audio CD is listed, and the
// scan of every drive root (Wine's Z: is the whole host) comes back.
TEST(DriveLists, DisksAreNoAudioCds)
{
    char found[260];
    memset(found, 'x', sizeof found);
    EXPECT_EQ(soundDevice.listAudioCdDrives(found, sizeof found, driveListTrackRanges), 0);
    EXPECT_STREQ(found, "");
}

}  // namespace
