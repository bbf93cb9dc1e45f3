// GetModuleFileNameA's answers and its truncation rules, the module and
// process handles, and the drives the machine reports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"
#include "scratch_folder.h"

namespace {

constexpr DWORD sentinel = 0xDEADBEEF;

TEST(Kernel32ConfModule, ModuleFileNameIsAFullPathOfTheExecutable)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 3u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(std::strlen(path), length);
    EXPECT_EQ(path[1], ':');
    EXPECT_EQ(path[2], '\\');
    char again[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), again, MAX_PATH), length);
    EXPECT_STREQ(again, path);
}

TEST(Kernel32ConfModule, ModuleFileNameIsCutToTheBufferAndSaysSo)
{
    char full[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, full, MAX_PATH);
    ASSERT_GT(length, 3u);

    // Since Vista a cut name is terminated within the buffer; Wine 8 still
    // fills it the XP way, without the terminator.
    const char *const wineCuts = "Wine 8 leaves the terminator out of a cut name";
    char buffer[MAX_PATH];
    std::memset(buffer, 'Z', sizeof buffer);
    SetLastError(sentinel);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, length), length);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    {
        KNOWN_DIFFERENCE(runningUnderWine(), wineCuts);
        EXPECT_EQ(std::string(buffer, length), std::string(full, length - 1) + '\0');
    }

    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, length + 1), length);
    EXPECT_STREQ(buffer, full);

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 1), 1u);
    {
        KNOWN_DIFFERENCE(runningUnderWine(), wineCuts);
        EXPECT_EQ(buffer[0], '\0');
    }
    EXPECT_EQ(buffer[1], '#');

    std::memset(buffer, 'Z', sizeof buffer);
    SetLastError(sentinel);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 0), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer[0], 'Z');
}

TEST(Kernel32ConfModule, TheInstanceHandleIsStableAndNotNull)
{
    HMODULE instance = GetModuleHandleA(nullptr);
    EXPECT_NE(instance, static_cast<HMODULE>(nullptr));
    EXPECT_EQ(GetModuleHandleA(nullptr), instance);
    SetLastError(sentinel);
    EXPECT_EQ(GetModuleHandleA("no_such_module_hp.dll"), static_cast<HMODULE>(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Kernel32ConfModule, LogicalDrivesIncludeC)
{
    DWORD drives = GetLogicalDrives();
    EXPECT_TRUE(drives & (1u << ('C' - 'A')));
    EXPECT_EQ(drives >> 26, 0u);
}

TEST(Kernel32ConfModule, HandleCountNeedsTheCurrentProcess)
{
    DWORD count = sentinel;
    EXPECT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &count));
    EXPECT_NE(count, sentinel);
    SetLastError(sentinel);
    EXPECT_FALSE(GetProcessHandleCount(nullptr, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
