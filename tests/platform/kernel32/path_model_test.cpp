// How Win32 paths name host files: roots, separators (the trail byte of a
// double-byte character is none), normalisation, refused names, the
// current directory and the case-insensitive fall-back.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include <string>

#include "host_folder.h"
#include "platform/host/charset.h"
#include "platform/kernel32/path_model.h"
#include "platform/testing/twins.h"

namespace {

using hp::kernel32::ResolvedPath;
using hp::kernel32::resolvePath;
using hp::kernel32::windowsPathOf;

DWORD resolveToHost(const std::string &path, std::string &hostPath)
{
    ResolvedPath resolved;
    DWORD error = resolvePath(path.c_str(), resolved);
    EXPECT_EQ(resolved.kind, ResolvedPath::Kind::HostFile) << path;
    hostPath = resolved.hostPath;
    return error;
}

std::string hostOf(const std::string &path)
{
    std::string hostPath;
    EXPECT_EQ(resolveToHost(path, hostPath), static_cast<DWORD>(ERROR_SUCCESS)) << path;
    return hostPath;
}

// Restores the working directory a test changes.
class WorkingDirectory {
public:
    WorkingDirectory()
    {
        char buffer[4096];
        if (getcwd(buffer, sizeof buffer))
            saved_ = buffer;
    }
    ~WorkingDirectory()
    {
        if (!saved_.empty() && chdir(saved_.c_str()) != 0)
            ADD_FAILURE() << "could not return to " << saved_;
    }

private:
    std::string saved_;
};

class Kernel32Paths : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.path().empty());
        hp::testing::scriptedDrives().reset();
        host = folder.path();
        win = folder.windowsPath();
    }
    HostFolder folder;
    std::string host;
    std::string win;
};

TEST_F(Kernel32Paths, DriveCIsTheHostRootAndBothSeparatorsWork)
{
    EXPECT_EQ(win.substr(0, 3), "C:\\");
    EXPECT_EQ(hostOf(win + "\\a\\b"), host + "/a/b");
    EXPECT_EQ(hostOf("c" + win.substr(1) + "\\a\\b"), host + "/a/b");
    std::string forward = win;
    for (char &c : forward)
        if (c == '\\')
            c = '/';
    EXPECT_EQ(hostOf(forward + "/a/b"), host + "/a/b");
    EXPECT_EQ(hostOf(host + "/a/b"), host + "/a/b");
    EXPECT_EQ(hostOf(win.substr(2) + "\\a"), host + "/a");  // root of the current drive
    EXPECT_EQ(hostOf("C:\\"), "/");
    EXPECT_EQ(hostOf("C:\\..\\..\\"), "/");
}

TEST_F(Kernel32Paths, ComponentsAreNormalisedAsThePlatformDoes)
{
    struct {
        const char *suffix;
        const char *expected;
    } cases[] = {
        {"\\a\\..\\b", "/b"},         {"\\a\\.\\b\\", "/a/b"},      {"\\a\\\\\\b", "/a/b"},
        {"\\a.\\b", "/a/b"},           {"\\a\\b. . .", "/a/b"},      {"\\a\\b ", "/a/b"},
        {"\\a\\...\\b", "/a/.../b"},   {"\\a\\b\\..\\..\\..", ""},   {"\\a\\b..\\c", "/a/b../c"},
    };
    std::string parentOfHost = host.substr(0, host.find_last_of('/'));
    for (const auto &c : cases) {
        std::string expected = std::string(c.expected).empty() ? parentOfHost : host + c.expected;
        EXPECT_EQ(hostOf(win + c.suffix), expected) << c.suffix;
    }
}

TEST_F(Kernel32Paths, RefusedPathsGetThePlatformsErrors)
{
    struct {
        std::string path;
        DWORD error;
    } cases[] = {
        {"", ERROR_PATH_NOT_FOUND},
        {"\\\\server\\share\\x", ERROR_BAD_NETPATH},
        {"Q:\\x", ERROR_PATH_NOT_FOUND},  // no such drive
        {"A:\\", ERROR_PATH_NOT_FOUND},
        {win + "\\a?b", ERROR_INVALID_NAME},
        {win + "\\a*", ERROR_INVALID_NAME},
        {win + "\\a<b", ERROR_INVALID_NAME},
        {win + "\\a\"b", ERROR_INVALID_NAME},
        {win + "\\a:b", ERROR_INVALID_NAME},
        {win + "\\a|b", ERROR_INVALID_NAME},
        {win + "\\a\x01" "b", ERROR_INVALID_NAME},
        // Escapes of the name scheme must not smuggle in a separator, a
        // terminator or a step up.
        {win + "\\a\xFF" "U00002F" "b", ERROR_INVALID_NAME},
        {win + "\\a\xFF" "B00", ERROR_INVALID_NAME},
        {win + "\\\xFF" "U00002E" "\xFF" "U00002E", ERROR_INVALID_NAME},
        {win + "\\\xFF" "U00002E", ERROR_INVALID_NAME},
        {win + "\\bad\xFF" "Z", ERROR_INVALID_NAME},
        {win + "\\\x81", ERROR_INVALID_NAME},  // a lead byte without its trail byte
    };
    for (const auto &c : cases) {
        ResolvedPath resolved;
        EXPECT_EQ(resolvePath(c.path.c_str(), resolved), c.error) << c.path;
    }
    ResolvedPath resolved;
    EXPECT_EQ(resolvePath(nullptr, resolved), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Kernel32Paths, TrailBytesThatLookLikeSeparatorsOrSymbolsBelongToTheirCharacter)
{
    // ソ is 0x83 0x5C and 表 is 0x95 0x5C: the 0x5C is no backslash. ポ is
    // 0x83 0x7C: its 0x7C is no '|'.
    const std::string so = "ソ";
    ASSERT_EQ(so, "\x83\x5C");
    EXPECT_EQ(hostOf(win + "\\" + so + "\\x"), host + "/" + hp::host::utf8FromCp932(so) + "/x");
    EXPECT_EQ(hostOf(win + "\\表示\\y"), host + "/" + hp::host::utf8FromCp932("表示") + "/y");
    EXPECT_EQ(hostOf(win + "\\ポ"), host + "/" + hp::host::utf8FromCp932("ポ"));
    EXPECT_EQ(hp::host::utf8FromCp932(so), u8"ソ");
    // A name ending in ソ keeps its last byte; the separator after it counts.
    EXPECT_EQ(hostOf(win + "\\dirソ\\file"),
              host + "/" + hp::host::utf8FromCp932("dirソ") + "/file");
}

TEST_F(Kernel32Paths, RelativePathsStartFromTheWorkingDirectory)
{
    WorkingDirectory restore;
    ASSERT_EQ(chdir(host.c_str()), 0);
    std::string base = host.substr(host.find_last_of('/') + 1);
    EXPECT_EQ(hostOf("a\\b"), host + "/a/b");
    EXPECT_EQ(hostOf("./a"), host + "/a");
    EXPECT_EQ(hostOf("."), host);
    EXPECT_EQ(hostOf("..\\" + base + "\\z"), host + "/z");
    EXPECT_EQ(hostOf("C:a"), host + "/a");  // drive-relative: the current folder of C:
    EXPECT_EQ(hostOf("C:..\\" + base), host);

    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer, length), win);
}

TEST_F(Kernel32Paths, AMissingNameIsLookedUpAgainIgnoringAsciiCase)
{
    ASSERT_EQ(mkdir(folder.child("Folder").c_str(), 0755), 0);
    ASSERT_TRUE(HostFolder::writeFile(folder.child("Folder/File.TXT"), "x"));
    EXPECT_EQ(hostOf(win + "\\folder\\file.txt"), host + "/Folder/File.TXT");
    EXPECT_EQ(hostOf(win + "\\FOLDER\\new.txt"), host + "/Folder/new.txt");
    EXPECT_EQ(hostOf(win + "\\nofolder\\FILE.TXT"), host + "/nofolder/FILE.TXT");

    // The exact name wins when several differ only in case.
    ASSERT_TRUE(HostFolder::writeFile(folder.child("a"), "lower"));
    ASSERT_TRUE(HostFolder::writeFile(folder.child("A"), "upper"));
    EXPECT_EQ(hostOf(win + "\\a"), host + "/a");
    EXPECT_EQ(hostOf(win + "\\A"), host + "/A");

    // Only ASCII letters fold: a full-width ａ is not Ａ.
    ASSERT_TRUE(HostFolder::writeFile(folder.child(u8"ａ"), "wide"));
    EXPECT_EQ(hostOf(win + "\\Ａ"), host + u8"/Ａ");
}

std::string contentOf(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<error " + std::to_string(GetLastError()) + ">";
    char buffer[64];
    DWORD got = 0;
    BOOL read = ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return read ? std::string(buffer, got) : "<unreadable>";
}

// Linux programs write names in UTF-8: bytes that name nothing as code page
// 932 open the file they name as UTF-8, with either separator.
TEST_F(Kernel32Paths, Utf8NamesOpenWhatTheyNameButNeverHideACodePage932Name)
{
    ASSERT_EQ(mkdir(folder.child(u8"日本").c_str(), 0755), 0);
    ASSERT_TRUE(HostFolder::writeFile(folder.child(u8"日本/Caf\xC3\xA9 あ.mp3"), "utf8"));
    for (const std::string &path : {host + u8"/日本/Caf\xC3\xA9 あ.mp3", win + u8"\\日本\\Caf\xC3\xA9 あ.mp3"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(contentOf(path), "utf8");
        EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(path.c_str(), &data);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        FindClose(search);
        EXPECT_EQ(std::string(data.cFileName), hp::host::hostNameToCp932(u8"Caf\xC3\xA9 あ.mp3"));
    }
    EXPECT_EQ(GetFileAttributesA((host + u8"/日本/Caf\xC3\xA9.mp3").c_str()), INVALID_FILE_ATTRIBUTES);

    // 0xC3 0xA9 is é in UTF-8 and ﾃｩ in code page 932: the latter, when it
    // exists, is the file meant.
    const std::string bytes = "\xC3\xA9.txt";
    ASSERT_TRUE(HostFolder::writeFile(folder.child(bytes), "utf8"));
    ASSERT_TRUE(HostFolder::writeFile(folder.child(hp::host::utf8FromCp932(bytes)), "cp932"));
    EXPECT_EQ(contentOf(win + "\\" + bytes), "cp932");
    EXPECT_EQ(hostOf(win + "\\" + bytes), host + "/" + hp::host::utf8FromCp932(bytes));
    ASSERT_EQ(unlink(folder.child(hp::host::utf8FromCp932(bytes)).c_str()), 0);
    EXPECT_EQ(contentOf(win + "\\" + bytes), "utf8");
}

TEST_F(Kernel32Paths, SearchEntriesCarryTheHostTimesAndDotFilesAreHidden)
{
    ASSERT_TRUE(HostFolder::writeFile(folder.child(".hidden"), "12345"));
    // 2001-02-03 04:05:06.5 UTC, in 100-ns ticks since 1601.
    struct timespec times[2] = {{981173106, 500000000}, {981173106, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, folder.child(".hidden").c_str(), times, 0), 0);
    const uint64_t expected = (981173106ULL + 11644473600ULL) * 10000000ULL + 5000000ULL;

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((win + "\\.h*").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_STREQ(data.cFileName, ".hidden");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes,
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    uint64_t written = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime;
    uint64_t accessed = (static_cast<uint64_t>(data.ftLastAccessTime.dwHighDateTime) << 32) |
                        data.ftLastAccessTime.dwLowDateTime;
    EXPECT_EQ(written, expected);
    EXPECT_EQ(accessed, expected);
}

TEST_F(Kernel32Paths, WindowsPathsHandedOutUseDriveCAndBackslashes)
{
    EXPECT_EQ(windowsPathOf("/"), "C:\\");
    EXPECT_EQ(windowsPathOf("/usr/share/"), "C:\\usr\\share");
    EXPECT_EQ(windowsPathOf("/usr/./share/../lib"), "C:\\usr\\lib");
    EXPECT_EQ(windowsPathOf(host + u8"/ソ"), win + "\\ソ");
    {
        WorkingDirectory restore;
        ASSERT_EQ(chdir(host.c_str()), 0);
        EXPECT_EQ(windowsPathOf("rel/x"), win + "\\rel\\x");
    }
    // A character CP932 lacks is one user-defined double-byte character.
    std::string emoji = windowsPathOf(u8"/tmp/😀");
    ASSERT_EQ(emoji.size(), 9u);
    EXPECT_EQ(emoji.substr(0, 7), "C:\\tmp\\");
    EXPECT_GE(static_cast<unsigned char>(emoji[7]), 0xF0);
    EXPECT_LE(static_cast<unsigned char>(emoji[7]), 0xF9);
}

}  // namespace
