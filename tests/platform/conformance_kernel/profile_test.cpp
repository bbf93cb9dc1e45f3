// Private profiles through the Win32 surface: the bytes written, lookups,
// deletes, integers, lists and buffer limits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"
#include "scratch_folder.h"

namespace {

constexpr DWORD sentinel = 0xDEADBEEF;

class Kernel32ConfProfile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.created()); }

    std::string ini() const { return scratch.file("test.ini"); }
    std::string bytes() const { return scratch.read("test.ini").value_or("<missing>"); }
    BOOL put(const char *section, const char *key, const char *value)
    {
        return WritePrivateProfileStringA(section, key, value, ini().c_str());
    }
    std::string get(const char *section, const char *key, const char *fallback = "default",
                    DWORD size = 260)
    {
        char buffer[260];
        std::memset(buffer, 'Z', sizeof buffer);
        DWORD length =
            GetPrivateProfileStringA(section, key, fallback, buffer, size, ini().c_str());
        EXPECT_EQ(length, std::strlen(buffer));
        return std::string(buffer, length);
    }

    ScratchFolder scratch;
};

TEST_F(Kernel32ConfProfile, ASettingsFileIsWrittenByteForByteWithCrLf)
{
    EXPECT_TRUE(put("INFO", "Message1", "Hollyphone 設定ファイル"));
    EXPECT_TRUE(put("INFO", "Iniver", "1.00"));
    EXPECT_TRUE(put("CONFIG", "GraphicEffect", "1"));
    EXPECT_TRUE(put("CONFIG", "SoundDev", "0"));
    EXPECT_EQ(bytes(), "[INFO]\r\nMessage1=Hollyphone 設定ファイル\r\nIniver=1.00\r\n"
                       "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n");
    // Rewriting a key changes its line only.
    EXPECT_TRUE(put("CONFIG", "GraphicEffect", "0"));
    EXPECT_EQ(bytes(), "[INFO]\r\nMessage1=Hollyphone 設定ファイル\r\nIniver=1.00\r\n"
                       "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n");
    EXPECT_EQ(get("INFO", "Message1"), "Hollyphone 設定ファイル");
}

TEST_F(Kernel32ConfProfile, NullValueDeletesAKeyAndNullKeyDeletesASection)
{
    put("App1", "key1", "string1");
    put("App1", "key2", "string2");
    put("App1", "key3", "string3");
    put("App2", "key4", "string4");
    put("App3", "key5", "string5");
    ASSERT_EQ(bytes(), "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n"
                       "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
    EXPECT_TRUE(put("App1", "key2", nullptr));
    EXPECT_EQ(bytes(), "[App1]\r\nkey1=string1\r\nkey3=string3\r\n"
                       "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
    EXPECT_TRUE(put("App1", "key2", nullptr));  // again: nothing to do, still TRUE
    EXPECT_TRUE(put("App1", nullptr, "ignored"));
    EXPECT_EQ(bytes(), "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
    EXPECT_TRUE(put("app2", nullptr, nullptr));
    EXPECT_EQ(bytes(), "[App3]\r\nkey5=string5\r\n");
    EXPECT_TRUE(put("App3", "KEY5", nullptr));
    EXPECT_EQ(bytes(), "[App3]\r\n");
}

TEST_F(Kernel32ConfProfile, AnEmptyValueIsWrittenAndReadBackEmpty)
{
    EXPECT_TRUE(put("App", "key", ""));
    EXPECT_EQ(bytes(), "[App]\r\nkey=\r\n");
    EXPECT_EQ(get("App", "key"), "");
    EXPECT_EQ(GetPrivateProfileIntA("App", "key", 7, ini().c_str()), 7u);
}

TEST_F(Kernel32ConfProfile, LookupsIgnoreCaseAndSurroundingBlanksAndStripQuotes)
{
    ASSERT_TRUE(scratch.write("test.ini", "[Config]\r\n  GraphicEffect = 2  \r\nquoted=\"val2\"\r\n"
                                          "single='x'\r\nhalf=\"open\r\nnoequals\r\n"
                                          "[ Spaced ]\r\nk=v\r\n"));
    EXPECT_EQ(get("CONFIG", "graphiceffect"), "2");
    EXPECT_EQ(get("  config ", " GRAPHICEFFECT "), "2");
    EXPECT_EQ(get("Config", "quoted"), "val2");
    EXPECT_EQ(get("Config", "single"), "x");
    EXPECT_EQ(get("Config", "half"), "\"open");
    EXPECT_EQ(get("Config", "noequals"), "default");
    EXPECT_EQ(get("Config", "missing"), "default");
    EXPECT_EQ(get("Missing", "GraphicEffect"), "default");
    EXPECT_EQ(get("spaced", "k"), "v");
    EXPECT_EQ(get("Config", "missing", "trailing  "), "trailing");
    EXPECT_EQ(get("Config", "missing", nullptr), "");
}

// Files from old Macintosh editors end their lines in CR alone.
TEST_F(Kernel32ConfProfile, ACarriageReturnAloneEndsALine)
{
    ASSERT_TRUE(scratch.write("test.ini", "[INFO]\rIniver=1.00\r[CONFIG]\rGraphicEffect=1\r"
                                          "SoundDev=2\r"));
    EXPECT_EQ(get("CONFIG", "GraphicEffect"), "1");
    EXPECT_EQ(GetPrivateProfileIntA("CONFIG", "SoundDev", 0, ini().c_str()), 2u);
    EXPECT_EQ(get("INFO", "Iniver"), "1.00");
    char buffer[64];
    DWORD length =
        GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, ini().c_str());
    EXPECT_EQ(std::string(buffer, length), std::string("INFO\0CONFIG\0", 12));

    EXPECT_TRUE(put("CONFIG", "GraphicEffect", "0"));
    EXPECT_TRUE(put("CONFIG", "New", "x"));
    EXPECT_EQ(get("CONFIG", "GraphicEffect"), "0");
    EXPECT_EQ(get("CONFIG", "SoundDev"), "2");
    EXPECT_EQ(get("CONFIG", "New"), "x");
    EXPECT_EQ(get("INFO", "Iniver"), "1.00");
}

TEST_F(Kernel32ConfProfile, IntegersAreReadAsThePlatformReadsThem)
{
    struct {
        const char *value;
        INT fallback;
        UINT expected;
    } cases[] = {
        {"2", 0, 2u},           {"-1", 5, 4294967295u}, {"+1", -1, 1u},
        {"4294967296", 1, 0u},  {"4294967297", -1, 1u}, {"-4294967297", 1, 4294967295u},
        {"42A94967297", 1, 42u}, {"B4294967297", 1, 0u}, {" 12 ", 0, 12u},
        {"0", 9, 0u},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(put("Test", "Value", c.value));
        EXPECT_EQ(GetPrivateProfileIntA("Test", "Value", c.fallback, ini().c_str()), c.expected)
            << c.value;
    }
    EXPECT_EQ(GetPrivateProfileIntA("Test", "Absent", -3, ini().c_str()), static_cast<UINT>(-3));
    EXPECT_EQ(GetPrivateProfileIntA("Absent", "Value", 17, ini().c_str()), 17u);
    EXPECT_EQ(GetPrivateProfileIntA("Test", "Value", 17, scratch.file("none.ini").c_str()), 17u);
}

TEST_F(Kernel32ConfProfile, ValuesAreCutToTheBuffer)
{
    ASSERT_TRUE(put("section1", "name1", "val1"));
    EXPECT_EQ(get("section1", "name1", "default", 5), "val1");
    EXPECT_EQ(get("section1", "name1", "default", 4), "val");
    EXPECT_EQ(get("section1", "name1", "default", 1), "");
    char untouched[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(GetPrivateProfileStringA("section1", "name1", "d", untouched, 0, ini().c_str()), 0u);
    EXPECT_EQ(std::string(untouched, 4), "keep");
}

TEST_F(Kernel32ConfProfile, NullSectionListsSectionsAndNullKeyListsKeysWithValues)
{
    ASSERT_TRUE(scratch.write("test.ini", "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\n"
                                          ";comment=x\r\nname4=val4\r\n[section2]\r\n"));
    char buffer[64];
    DWORD length = GetPrivateProfileStringA(nullptr, "ignored", "default", buffer, sizeof buffer,
                                            ini().c_str());
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(std::string(buffer, length + 1), std::string("section1\0section2\0", 18) + '\0');
    length = GetPrivateProfileStringA("section1", nullptr, "default", buffer, sizeof buffer,
                                      ini().c_str());
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(std::string(buffer, length + 1), std::string("name1\0name2\0name4\0", 18) + '\0');

    // Too small: the list is cut to size - 2 and ends in two terminators.
    std::memset(buffer, 'Z', sizeof buffer);
    length = GetPrivateProfileStringA("section1", nullptr, "default", buffer, 16, ini().c_str());
    EXPECT_EQ(length, 14u);
    {
        KNOWN_DIFFERENCE(runningUnderWine(), "Wine 8 leaves the last byte alone");
        EXPECT_EQ(std::string(buffer, 16), std::string("name1\0name2\0na\0\0", 16));
    }
    EXPECT_EQ(buffer[16], 'Z');
}

TEST_F(Kernel32ConfProfile, WritingNeedsASectionAndAFileName)
{
    SetLastError(sentinel);
    EXPECT_FALSE(put(nullptr, "key", "string"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(scratch.exists("test.ini"));
    SetLastError(sentinel);
    EXPECT_FALSE(WritePrivateProfileStringA("App", "key", "string", ""));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(get("App", "key"), "default");
}

TEST_F(Kernel32ConfProfile, DeletingFromAMissingFileLeavesAnEmptyFile)
{
    if (runningUnderWine())
        GTEST_SKIP() << "known difference: Wine writes no file when nothing changes";
    EXPECT_TRUE(put("App", nullptr, nullptr));
    EXPECT_EQ(bytes(), "");
}

TEST_F(Kernel32ConfProfile, AnOpenHandleThatDoesNotShareBlocksTheProfileFunctions)
{
    ASSERT_TRUE(put("S", "k", "123"));
    HANDLE readersOnly = CreateFileA(ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(readersOnly, INVALID_HANDLE_VALUE);
    SetLastError(sentinel);
    EXPECT_FALSE(put("S", "k", "456"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(get("S", "k"), "123");
    CloseHandle(readersOnly);

    HANDLE writersOnly = CreateFileA(ini().c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writersOnly, INVALID_HANDLE_VALUE);
    EXPECT_EQ(get("S", "k", "blocked"), "blocked");
    CloseHandle(writersOnly);
    EXPECT_TRUE(put("S", "k", "456"));
    EXPECT_EQ(get("S", "k"), "456");
}

}  // namespace
