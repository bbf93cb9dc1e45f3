// Folder searches through the Win32 surface: wildcards, the dot entries,
// order, attributes and the errors at the ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "scratch_folder.h"

namespace {

constexpr DWORD sentinel = 0xDEADBEEF;

struct Found {
    std::string name;
    DWORD attributes = 0;
    DWORD sizeLow = 0;
};

// Every entry a search returns, in order; error is the last error after
// the search ended (ERROR_NO_MORE_FILES) or failed to start.
std::vector<Found> search(const std::string &pattern, DWORD &error)
{
    std::vector<Found> found;
    WIN32_FIND_DATAA data;
    std::memset(&data, 0xCC, sizeof data);
    SetLastError(sentinel);
    HANDLE handle = FindFirstFileA(pattern.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return found;
    }
    do {
        found.push_back({data.cFileName, data.dwFileAttributes, data.nFileSizeLow});
        std::memset(&data, 0xCC, sizeof data);
    } while (FindNextFileA(handle, &data));
    error = GetLastError();
    FindClose(handle);
    return found;
}

std::vector<std::string> namesOf(const std::vector<Found> &found)
{
    std::vector<std::string> names;
    for (const Found &entry : found)
        names.push_back(entry.name);
    return names;
}

class Kernel32ConfFind : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.created());
        ASSERT_TRUE(scratch.write("a.txt", "1"));
        ASSERT_TRUE(scratch.write("B.TXT", "22"));
        ASSERT_TRUE(scratch.write("c.cda", "333"));
        ASSERT_TRUE(scratch.write("noext", "4444"));
        ASSERT_TRUE(scratch.write("d.cda.txt", "55555"));
        ASSERT_TRUE(CreateDirectoryA(scratch.file("sub").c_str(), nullptr));
    }

    // The names a pattern finds; their order is checked where the platform
    // sorts them (NTFS), as a set where the file system does not (Wine).
    std::vector<std::string> find(const std::string &mask)
    {
        DWORD error = 0;
        std::vector<std::string> names = namesOf(search(scratch.file(mask), error));
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_MORE_FILES)) << mask;
        if (runningUnderWine())
            std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> expected(std::vector<std::string> names)
    {
        if (runningUnderWine())
            std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder scratch;
};

TEST_F(Kernel32ConfFind, StarListsTheDotEntriesFirstThenNamesInCaseInsensitiveOrder)
{
    EXPECT_EQ(find("*"),
              expected({".", "..", "a.txt", "B.TXT", "c.cda", "d.cda.txt", "noext", "sub"}));
}

TEST_F(Kernel32ConfFind, WildcardsFollowThePlatformsDosRules)
{
    struct {
        const char *mask;
        std::vector<std::string> names;
        bool wineDiffers;  // Wine 8 lacks the DOS forms of "?" and "*."
    } cases[] = {
        {"*.*", {".", "..", "a.txt", "B.TXT", "c.cda", "d.cda.txt", "noext", "sub"}, false},
        {"*.cda", {"c.cda"}, false},
        {"*.CDA", {"c.cda"}, false},
        {"*.txt", {"a.txt", "B.TXT", "d.cda.txt"}, false},
        {"?.txt", {"a.txt", "B.TXT"}, false},
        {"a.tx?", {"a.txt"}, false},
        {"a.txt?", {"a.txt"}, true},
        {"*.", {".", "..", "noext", "sub"}, true},
        {"no*", {"noext"}, false},
        {"*ext", {"noext"}, false},
        {"s?b", {"sub"}, false},
        {"*.cda*", {"c.cda", "d.cda.txt"}, false},
    };
    for (const auto &c : cases) {
        if (c.wineDiffers && runningUnderWine())
            continue;  // known difference
        EXPECT_EQ(find(c.mask), expected(c.names)) << c.mask;
    }
}

TEST_F(Kernel32ConfFind, EntriesCarryAttributesSizesAndTheNameAsStored)
{
    DWORD error = 0;
    std::vector<Found> found = search(scratch.file("*"), error);
    ASSERT_EQ(found.size(), 8u);
    for (const Found &entry : found) {
        SCOPED_TRACE(entry.name);
        bool folder = entry.name == "." || entry.name == ".." || entry.name == "sub";
        EXPECT_EQ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, folder);
        if (!folder) {
            EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_ARCHIVE);
            EXPECT_EQ(entry.sizeLow, entry.name == "a.txt"   ? 1u
                                     : entry.name == "B.TXT" ? 2u
                                     : entry.name == "c.cda" ? 3u
                                     : entry.name == "noext" ? 4u
                                                             : 5u);
        }
    }
}

TEST_F(Kernel32ConfFind, ANameWithoutWildcardsFindsThatEntryInItsStoredCase)
{
    DWORD error = 0;
    std::vector<Found> found = search(scratch.file("A.TXT"), error);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "a.txt");
    found = search(scratch.file("sub"), error);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "sub");
    EXPECT_TRUE(found[0].attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Kernel32ConfFind, FailuresTellWhatWasMissing)
{
    struct {
        std::string pattern;
        DWORD error;
    } cases[] = {
        {scratch.file("*.mp3"), ERROR_FILE_NOT_FOUND},
        {scratch.file("nothing.txt"), ERROR_FILE_NOT_FOUND},
        {scratch.file("sub\\"), ERROR_FILE_NOT_FOUND},
        {scratch.file("missing\\*"), ERROR_PATH_NOT_FOUND},
        {scratch.file("missing\\file.txt"), ERROR_PATH_NOT_FOUND},
    };
    for (const auto &c : cases) {
        DWORD error = 0;
        EXPECT_TRUE(search(c.pattern, error).empty()) << c.pattern;
        EXPECT_EQ(error, c.error) << c.pattern;
    }
}

TEST_F(Kernel32ConfFind, AnEmptySubfolderStillListsItsDotEntries)
{
    EXPECT_EQ(find("sub\\*"), expected({".", ".."}));
    DWORD error = 0;
    EXPECT_TRUE(search(scratch.file("sub\\*.txt"), error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Kernel32ConfFind, ADriveRootHasNoDotEntries)
{
    DWORD error = 0;
    std::vector<std::string> names = namesOf(search("C:\\*", error));
    EXPECT_FALSE(names.empty());
    EXPECT_EQ(std::count(names.begin(), names.end(), "."), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), ".."), 0);
}

// A closed search handle, or a file handle, given to FindNextFileA is a
// dangling pointer on the platform; only the invalid value is safe to test.
TEST_F(Kernel32ConfFind, FindCloseRefusesTheInvalidHandle)
{
    SetLastError(sentinel);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(scratch.file("*").c_str(), &data);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(handle));
}

}  // namespace
