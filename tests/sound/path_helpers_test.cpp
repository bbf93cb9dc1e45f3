// Splitting Shift-JIS paths, and counting folder entries on real folders.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "platform/testing/twins.h"
#include "sound/path_helpers.h"
#include "tests/support/owner_window.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr char untouched[] = "<untouched>";

struct SplitCase {
    const char *path;
    int capacity;
    int result;
    const char *output;  // untouched: the output keeps its old text
};

std::string runSplit(int (*split)(HWND, const char *, char *, int), const SplitCase &c, int &result)
{
    char output[300];
    strcpy(output, untouched);
    result = split(nullptr, c.path, output, c.capacity);
    return output;
}

// "ソ" is 0x83 0x5C: its trail byte is the code of "\".
TEST(PathHelpers, DirectoryPart)
{
    const SplitCase cases[] = {
        {"C:\\music\\song.mp3", 260, 1, "C:\\music\\"},
        {"song.mp3", 260, 0, ""},
        {"\\song.mp3", 260, 0, ""},  // a separator at index 0 counts as none
        {"", 260, 0, untouched},
        {"C:\\music\\song.mp3", 10, 1, "C:\\music\\"},  // exactly last + 2
        {"C:\\music\\song.mp3", 9, 0, untouched},
        {"song.mp3", 1, 0, untouched},  // no room even for the empty text
        {"C:\\ソ\\a.mp3", 260, 1, "C:\\ソ\\"},
        {"C:\\ソa.mp3", 260, 1, "C:\\"},
        {"a/b\\c/d.mid", 260, 1, "a/b\\c/"},
        {"ab\x81/cd", 260, 1, "ab\x81/"},   // "/" cannot trail: it ends the pair
        {"ab\x81\x81/cd", 260, 1, "ab\x81\x81/"},
        {"C:\\music\\", 260, 1, "C:\\music\\"},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(std::string(c.path) + " capacity " + std::to_string(c.capacity));
        int result = -1;
        EXPECT_EQ(runSplit(directoryPart, c, result), c.output);
        EXPECT_EQ(result, c.result);
    }
}

TEST(PathHelpers, DirectoryPartMayWriteOverItsOwnPath)
{
    char path[260] = "C:\\Program Files\\Hollyphone\\Hollyphone.exe";
    EXPECT_EQ(directoryPart(nullptr, path, path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\Program Files\\Hollyphone\\");
}

TEST(PathHelpers, FileNamePart)
{
    const SplitCase cases[] = {
        {"C:\\music\\song.mp3", 260, 1, "song.mp3"},
        {"song.mp3", 260, 1, "song.mp3"},
        {"C:\\music\\", 260, 1, ""},
        {"", 260, 0, untouched},
        {"C:\\music\\song.mp3", 8, 0, untouched},  // no room for the terminator
        {"C:\\music\\song.mp3", 9, 1, "song.mp3"},
        {"song.mp3", 8, 0, untouched},
        {"song.mp3", 9, 1, "song.mp3"},
        {"\\song.mp3", 260, 1, "\\song.mp3"},  // the only separator is at index 0
        {"C:\\dir\\ソ", 260, 1, "ソ"},
        {"C:\\dir/ソ表.mid", 260, 1, "ソ表.mid"},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(std::string(c.path) + " capacity " + std::to_string(c.capacity));
        int result = -1;
        EXPECT_EQ(runSplit(fileNamePart, c, result), c.output);
        EXPECT_EQ(result, c.result);
    }
}

class FolderCount : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::testing::messageBoxRecorder().reset();
        folder_.write("one.mp3", "a");
        folder_.write("two.txt", "b");
        folder_.makeFolder("sub");
        folder_.write("sub/inner.mp3", "c");
    }

    hp::test::ScratchFolder folder_;
};

TEST_F(FolderCount, CountsByMode)
{
    struct Case {
        const char *pattern;
        int mode;
        int expected;
    };
    const Case cases[] = {
        {"ignored", countAllEntries, 3},
        {"*.*", countMatchingFiles, 2},
        {"*.mp3", countMatchingFiles, 1},
        {"ignored", countFolders, 1},
        {"*.mp3", countMatchingAndFolders, 2},  // one.mp3, then the folder sub
        {"s*", countMatchingAndFolders, 2},     // sub matches, and counts again as a folder
        {"*.mp3", 7, 1},
        {"s*", 7, 1},
    };
    for (const std::string &folder : {folder_.path(), folder_.path() + "/"}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(folder + " " + c.pattern + " mode " + std::to_string(c.mode));
            EXPECT_EQ(countFolderEntries(nullptr, folder.c_str(), c.pattern, c.mode), c.expected);
        }
    }
    EXPECT_TRUE(hp::testing::messageBoxRecorder().calls().empty());
}

TEST_F(FolderCount, DotFoldersNeverCount)
{
    std::string empty = folder_.makeFolder("empty");
    EXPECT_EQ(countFolderEntries(nullptr, empty.c_str(), "*.*", countAllEntries), 0);
    EXPECT_EQ(countFolderEntries(nullptr, empty.c_str(), "*.*", countFolders), 0);
}

TEST_F(FolderCount, SearchThatCannotStartWarnsOnlyAWindow)
{
    std::string missing = folder_.pathOf("missing");
    EXPECT_EQ(countFolderEntries(nullptr, missing.c_str(), "*.*", countAllEntries), 0);
    EXPECT_TRUE(hp::testing::messageBoxRecorder().calls().empty());

    hp::test::OwnerWindow window;
    ASSERT_NE(window.handle(), nullptr);
    // Nothing matches the first search of mode 3: the folder search is not
    // reached and the count is 0.
    EXPECT_EQ(countFolderEntries(window.handle(), folder_.path().c_str(), "*.wav",
                                 countMatchingAndFolders),
              0);
    const auto &boxes = hp::testing::messageBoxRecorder().calls();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, window.handle());
    EXPECT_EQ(boxes[0].text, "FindHandleが取得出来ません");
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONWARNING));
}

TEST_F(FolderCount, SearchTextBeyondItsBufferIsRefused)
{
    std::string longFolder = folder_.path() + "/" + std::string(390, 'd');
    EXPECT_EQ(countFolderEntries(nullptr, longFolder.c_str(), "*.*", countAllEntries), 0);
    EXPECT_EQ(countFolderEntries(nullptr, folder_.path().c_str(), nullptr, countMatchingFiles),
              0);
}

}  // namespace
