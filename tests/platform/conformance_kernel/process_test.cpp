// The process's names for things: full paths made from the current
// directory.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace {

std::string fullPath(const char *path)
{
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : "<failed>";
}

TEST(Kernel32ConfProcess, FullPathsJoinTheCurrentDirectoryAndFoldDots)
{
    char current[MAX_PATH];
    const DWORD currentLength = GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_GT(currentLength, 2u);
    const std::string here(current, currentLength);
    const std::string drive = here.substr(0, 2);
    EXPECT_EQ(fullPath("a.mp3"), here + "\\a.mp3");
    EXPECT_EQ(fullPath(".\\sub\\..\\b c.mid"), here + "\\b c.mid");
    EXPECT_EQ(fullPath("\\music\\x.mp3"), drive + "\\music\\x.mp3");
    EXPECT_EQ(fullPath("C:\\a\\.\\b\\"), "C:\\a\\b\\");
    EXPECT_EQ(fullPath("C:/a/../../../c.mp3"), "C:\\c.mp3");
    EXPECT_EQ(fullPath("C:\\a\\b. "), "C:\\a\\b");
    EXPECT_EQ(fullPath("C:\\曲\\表"), "C:\\曲\\表");

    char buffer[MAX_PATH];
    LPSTR filePart = nullptr;
    EXPECT_EQ(GetFullPathNameA("C:\\dir\\name.mp3", 5, buffer, &filePart), 16u);
    EXPECT_EQ(GetFullPathNameA("C:\\dir\\name.mp3", 16, buffer, &filePart), 15u);
    EXPECT_STREQ(buffer, "C:\\dir\\name.mp3");
    EXPECT_EQ(filePart, buffer + 7);
}

}  // namespace
