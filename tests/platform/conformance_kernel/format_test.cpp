// wsprintfA's format language and its 1024-character limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {

template <typename... Arguments>
std::string format(const char *pattern, Arguments... arguments)
{
    char buffer[1100];
    std::memset(buffer, 'Z', sizeof buffer);
    int length = wsprintfA(buffer, pattern, arguments...);
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(buffer)) << pattern;
    return std::string(buffer);
}

TEST(WsprintfConformance, IntegersWithFlagsWidthAndPrecision)
{
    struct {
        const char *pattern;
        int value;
        const char *expected;
    } cases[] = {
        {"%d", 42, "42"},           {"%i", -42, "-42"},          {"%5d", 42, "   42"},
        {"%-5d|", 42, "42   |"},    {"%05d", 42, "00042"},       {"%05d", -42, "-0042"},
        {"%010ld", -1, "-000000001"}, {"%.5d", 42, "00042"},     {"%8.5d", 42, "   00042"},
        {"%u", -1, "4294967295"},   {"%x", 255, "ff"},           {"%X", 255, "FF"},
        {"%#x", 255, "0xff"},       {"%#X", 255, "0XFF"},        {"%08X", 0xBEEF, "0000BEEF"},
        {"%lu", 7, "7"},            {"%d", -2147483647 - 1, "-2147483648"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(format(c.pattern, c.value), c.expected) << c.pattern;
}

TEST(WsprintfConformance, SixtyFourBitAndPointerSizedIntegers)
{
    EXPECT_EQ(format("%I64d", 543210LL * 1000000), "543210000000");
    EXPECT_EQ(format("%I64X", static_cast<long long>((0x12345ULL << 32) | 0x67890a)),
              "123450067890A");
    EXPECT_EQ(format("%I64u", -123LL), "18446744073709551493");
    EXPECT_EQ(format("%I32x", -0x12345), "fffedcbb");
    EXPECT_EQ(format("%Id", static_cast<INT_PTR>(-12345)), "-12345");
    std::string pointer = format("%p", reinterpret_cast<void *>(static_cast<uintptr_t>(0xABC)));
    EXPECT_EQ(pointer.size(), 2 * sizeof(void *));
    EXPECT_EQ(pointer.substr(pointer.size() - 4), "0ABC");
}

TEST(WsprintfConformance, CharactersAndStrings)
{
    EXPECT_EQ(format("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(format("%C%lc%hC", static_cast<WCHAR>('w'), static_cast<WCHAR>('i'), 'n'), "win");
    EXPECT_EQ(format("%3c|", 'x'), "  x|");
    EXPECT_EQ(format("%s", "abc"), "abc");
    EXPECT_EQ(format("%5s|%-5s|", "abc", "de"), "  abc|de   |");
    EXPECT_EQ(format("%.2s", "abcdef"), "ab");
    EXPECT_EQ(format("%.0s", "abc"), "abc");  // a precision of 0 means none
    EXPECT_EQ(format("%s", static_cast<const char *>(nullptr)), "(null)");
    EXPECT_EQ(format("%s／%s", "Artist", "Title"), "Artist／Title");
    const WCHAR wide[] = {'w', 'i', 'd', 'e', 0};
    EXPECT_EQ(format("%S", wide), "wide");
    EXPECT_EQ(format("%ls", wide), "wide");
    EXPECT_EQ(format("%hs", "narrow"), "narrow");
    EXPECT_EQ(format("%S", static_cast<const WCHAR *>(nullptr)), "(null)");
    EXPECT_EQ(format("[Play] %02d:%02d", 3, 7), "[Play] 03:07");
}

TEST(WsprintfConformance, PercentSignsAndUnknownConversionsPrintAsText)
{
    EXPECT_EQ(format("100%%"), "100%");
    EXPECT_EQ(format("%y%d", 5), "y5");
    EXPECT_EQ(format("end %"), "end ");
}

TEST(WsprintfConformance, OutputStopsAt1023CharactersAndReportsTheLimit)
{
    std::string longText(2000, 'q');
    char buffer[1100];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(wsprintfA(buffer, "%s", longText.c_str()), 1024);
    EXPECT_EQ(std::strlen(buffer), 1023u);
    EXPECT_EQ(buffer[1024], 'Z');  // nothing written past the terminator

    std::string exact(1022, 'e');
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(wsprintfA(buffer, "%s", exact.c_str()), 1022);
    EXPECT_EQ(std::strlen(buffer), 1022u);

    std::string literal(1500, 'l');
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(wsprintfA(buffer, literal.c_str()), 1024);
    EXPECT_EQ(std::strlen(buffer), 1023u);
    EXPECT_EQ(buffer[1024], 'Z');
}

}  // namespace
