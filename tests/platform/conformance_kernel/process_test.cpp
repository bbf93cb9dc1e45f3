// The process's names for things: full paths made from the current
// directory, and named mutexes, whose name exists while any handle to it is
// open.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace {

constexpr DWORD sentinel = 0xDEADBEEF;

std::string fullPath(const char *path)
{
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : "<failed>";
}

// One name for every run: a name leaves a file behind on our layer.
std::string mutexName() { return "HollyphoneConformance.Mutex"; }

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

TEST(Kernel32ConfProcess, AMutexNameExistsWhileAnyHandleToItIsOpen)
{
    const std::string name = mutexName();
    SetLastError(sentinel);
    HANDLE first = CreateMutexA(nullptr, FALSE, name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

    SetLastError(sentinel);
    HANDLE second = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    HANDLE local = CreateMutexA(nullptr, FALSE, ("Local\\" + name).c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "one namespace";

    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(local));
    HANDLE third = CreateMutexA(nullptr, FALSE, name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "one handle is left";
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(third));

    SetLastError(sentinel);
    HANDLE again = CreateMutexA(nullptr, FALSE, name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "the last handle took it";
    EXPECT_TRUE(CloseHandle(again));

    HANDLE unnamed = CreateMutexA(nullptr, FALSE, nullptr);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(CloseHandle(unnamed));

    SetLastError(sentinel);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, ("NoSuchNamespace\\" + name).c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
