// Where GetModuleFileNameA says the executable is, and the tests' way to
// move it (hp::testing::setModulePath).
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/testing/twins.h"
#include "platform/win32.h"

namespace {

std::string moduleFileName()
{
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length);
}

TEST(Kernel32ModulePath, TheRealAnswerIsTheRunningExecutableOnDriveC)
{
    char host[4096];
    ssize_t length = readlink("/proc/self/exe", host, sizeof host - 1);
    ASSERT_GT(length, 0);
    std::string expected = "C:" + std::string(host, length);
    for (char &c : expected)
        if (c == '/')
            c = '\\';
    EXPECT_EQ(moduleFileName(), expected);
}

TEST(Kernel32ModulePath, TestsCanPutTheExecutableElsewhereAndBack)
{
    std::string real = moduleFileName();
    hp::testing::setModulePath("/opt/holly phone/Hollyphone");
    EXPECT_EQ(moduleFileName(), "C:\\opt\\holly phone\\Hollyphone");
    // The module is also found by its file name, with or without ".exe".
    EXPECT_EQ(GetModuleHandleA("hollyphone.exe"), GetModuleHandleA(nullptr));
    EXPECT_EQ(GetModuleHandleA("C:\\opt\\holly phone\\Hollyphone"), GetModuleHandleA(nullptr));
    EXPECT_EQ(GetModuleHandleA("other.exe"), nullptr);
    hp::testing::setModulePath("");
    EXPECT_EQ(moduleFileName(), real);
}

TEST(Kernel32ModulePath, OnlyOurOwnModuleIsKnown)
{
    char buffer[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x1000), buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
