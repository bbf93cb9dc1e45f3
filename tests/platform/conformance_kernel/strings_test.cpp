// The lstr* helpers, MulDiv, GetTickCount and Sleep.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {

TEST(Kernel32ConfStrings, CopyConcatenateAndMeasure)
{
    char buffer[16];
    EXPECT_EQ(lstrcpyA(buffer, "abc"), buffer);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(lstrcatA(buffer, "def"), buffer);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(lstrlenA(buffer), 6);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrcpyA(nullptr, "x"), nullptr);
    EXPECT_EQ(lstrcpyA(buffer, nullptr), nullptr);
    EXPECT_EQ(lstrcatA(nullptr, "x"), nullptr);
}

TEST(Kernel32ConfStrings, CopyNCountsTheTerminator)
{
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(lstrcpynA(buffer, "abcdef", 4), buffer);
    EXPECT_EQ(std::string(buffer, 5), std::string("abc\0Z", 5));
    EXPECT_EQ(lstrcpynA(buffer, "ab", 8), buffer);
    EXPECT_STREQ(buffer, "ab");
    std::memset(buffer, 'Z', sizeof buffer);
    lstrcpynA(buffer, "abc", 1);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'Z');
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(lstrcpynA(buffer, "abc", 0), buffer);
    EXPECT_EQ(buffer[0], 'Z');
    lstrcpynA(buffer, "seven77", -1);  // a negative count copies it all
    EXPECT_STREQ(buffer, "seven77");
}

TEST(Kernel32ConfStrings, CompareGivesMinusOneZeroOrOneInWordSortOrder)
{
    struct {
        const char *first;
        const char *second;
        int expected;
    } cases[] = {
        {"abc", "abc", 0},   {"abc", "abd", -1},   {"abd", "abc", 1},   {"ab", "abc", -1},
        {"a", "B", -1},      {"B", "a", 1},        {"a", "A", -1},      {"A", "a", 1},
        {"10", "9", -1},     {"9", "a", -1},       {"_a", "a", -1},     {"a b", "ab", -1},
        {"", "a", -1},       {"Track02.cda", "Track10.cda", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lstrcmpA(c.first, c.second), c.expected) << c.first << " vs " << c.second;
    EXPECT_NE(lstrcmpA("co-op", "coop"), 0);
    EXPECT_EQ(lstrcmpA("co-op", "coop"), -lstrcmpA("coop", "co-op"));
    EXPECT_EQ(lstrcmpA(nullptr, nullptr), 0);
    EXPECT_EQ(lstrcmpA(nullptr, "a"), -1);
    EXPECT_EQ(lstrcmpA("a", nullptr), 1);
}

TEST(Kernel32ConfStrings, CompareIgnoringCase)
{
    EXPECT_EQ(lstrcmpiA("Hollyphone.INI", "hollyphone.ini"), 0);
    EXPECT_EQ(lstrcmpiA("abc", "ABD"), -1);
    EXPECT_EQ(lstrcmpiA("b", "A"), 1);
    EXPECT_EQ(lstrcmpiA(nullptr, ""), -1);
}

TEST(Kernel32ConfStrings, MulDivRoundsHalfAwayFromZeroAndReportsOverflow)
{
    struct {
        int number, numerator, denominator, expected;
    } cases[] = {
        {10, 3, 4, 8},     {-10, 3, 4, -8},   {10, 3, -4, -8},  {-10, -3, -4, -8},
        {5, 1, 2, 3},      {-5, 1, 2, -3},    {4, 1, 3, 1},     {1, 1, 0, -1},
        {2147483647, 2, 1, -1}, {2147483647, 2, 2, 2147483647}, {65535, 100, 65535, 100},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << "*" << c.numerator << "/" << c.denominator;
}

TEST(Kernel32ConfStrings, SleepLetsTheTickCountAdvance)
{
    DWORD before = GetTickCount();
    Sleep(50);
    DWORD elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 30u);  // the tick count may move in 15.6 ms steps
}

}  // namespace
