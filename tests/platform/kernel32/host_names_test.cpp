// The reversible scheme between host file names and their CP932 form: any
// host name, CP932 or not, is reachable by the name the layer hands out.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "host_folder.h"
#include "platform/host/charset.h"
#include "platform/kernel32/path_model.h"
#include "platform/win32.h"

namespace {

using hp::host::hostNameFromCp932;
using hp::host::hostNameToCp932;

// Pieces that exercise every branch of the scheme: ASCII, characters the
// platform refuses or strips, CP932 kanji and kana (some with a 0x5C or
// 0x7C trail byte), characters CP932 lacks, NEC/IBM duplicates and bytes
// that are not UTF-8 at all.
const std::vector<std::string> &namePieces()
{
    static const std::vector<std::string> pieces = {
        "a", "Z", "0", ".", " ", "-", "_", "\\", "?", "*", "<", ">", ":", "\"", "|", "\t",
        "\x7F", u8"ソ", u8"表", u8"ポ", u8"設定", u8"ｱ", u8"é", u8"€", u8"😀", u8"—",
        u8"∵", u8"Ⅰ", "\xFF", "\xC3", "\xE3\x81", "\x80", "\xFFU000041", "\xFF" "B41",
    };
    return pieces;
}

std::string randomHostName(std::mt19937 &random)
{
    std::string name;
    std::uniform_int_distribution<int> pieceCount(1, 8);
    std::uniform_int_distribution<size_t> pick(0, namePieces().size() - 1);
    std::uniform_int_distribution<int> anyByte(1, 255);
    std::bernoulli_distribution rawByte(0.25);
    int count = pieceCount(random);
    for (int i = 0; i < count; ++i) {
        if (rawByte(random)) {
            char byte = static_cast<char>(anyByte(random));
            if (byte != '/')
                name += byte;
        } else {
            name += namePieces()[pick(random)];
        }
    }
    if (name.empty() || name == "." || name == "..")
        name += "x";
    return name;
}

TEST(Kernel32HostNames, EveryHostNameRoundTripsThroughItsCp932Form)
{
    std::mt19937 random(20241224);
    for (int i = 0; i < 5000; ++i) {
        std::string name = randomHostName(random);
        std::string cp932 = hostNameToCp932(name);
        std::string back;
        ASSERT_TRUE(hostNameFromCp932(cp932, back)) << i;
        ASSERT_EQ(back, name) << i;
        // The CP932 form is a single path component the platform keeps as
        // it is: no separator, no refused character, no final period.
        std::string forbidden = "\\/<>:\"|?*";
        bool trail = false;
        for (size_t k = 0; k < cp932.size(); ++k) {
            unsigned char byte = static_cast<unsigned char>(cp932[k]);
            if (!trail) {
                ASSERT_EQ(forbidden.find(cp932[k]), std::string::npos) << i;
                ASSERT_GE(byte, 0x20) << i;
            }
            trail = !trail && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
        }
        ASSERT_NE(cp932.back(), '.') << i;
        ASSERT_NE(cp932.back(), ' ') << i;
    }
}

TEST(Kernel32HostNames, EveryHostPathIsReachedByTheWindowsPathHandedOut)
{
    HostFolder folder;
    ASSERT_FALSE(folder.path().empty());
    std::mt19937 random(1225);
    for (int i = 0; i < 3000; ++i) {
        std::string hostPath = folder.child(randomHostName(random));
        std::string windowsPath = hp::kernel32::windowsPathOf(hostPath);
        hp::kernel32::ResolvedPath resolved;
        ASSERT_EQ(hp::kernel32::resolvePath(windowsPath.c_str(), resolved),
                  static_cast<DWORD>(ERROR_SUCCESS))
            << i;
        ASSERT_EQ(resolved.hostPath, hostPath) << i;
    }
}

TEST(Kernel32HostNames, NamesCp932LacksAreListedAndOpenedByTheirListedName)
{
    HostFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::vector<std::string> hostNames = {
        u8"Ünïcödé — 😀 ソ.mp3", u8"trailing.", u8"what?", u8"back\\slash", "\xFF\xFE raw"};
    for (const std::string &name : hostNames)
        ASSERT_TRUE(HostFolder::writeFile(folder.child(name), "content of " + name));

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(folder.windowsPath("*").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::string> listed;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            listed.push_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    ASSERT_EQ(listed.size(), hostNames.size());

    for (const std::string &name : listed) {
        std::string hostName;
        ASSERT_TRUE(hostNameFromCp932(name, hostName));
        HANDLE file = CreateFileA(folder.windowsPath(name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << hostName;
        char buffer[128];
        DWORD got = 0;
        ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
        EXPECT_EQ(std::string(buffer, got), "content of " + hostName);
        CloseHandle(file);
    }
}

TEST(Kernel32HostNames, DisplayTextConvertsLenientlyBothWays)
{
    EXPECT_EQ(hp::host::utf8FromCp932("ソ"), u8"ソ");
    EXPECT_EQ(hp::host::utf8FromCp932("Hollyphone 設定ファイル"), u8"Hollyphone 設定ファイル");
    EXPECT_EQ(hp::host::utf8FromCp932("a\x81"), u8"a\uFFFD");        // a cut character
    EXPECT_EQ(hp::host::utf8FromCp932("\xA0z"), u8"\uFFFDz");        // no such byte in CP932
    // (Texts CP932 lacks stay out of the macros, which also spell their
    // arguments as CP932 strings.)
    const std::string euro = u8"ソ€";
    EXPECT_EQ(hp::host::cp932FromUtf8(euro), "ソ?");
    EXPECT_EQ(hp::host::cp932FromUtf8("\xC3("), "?(");
    EXPECT_EQ(hp::host::cp932FromUtf8(u8"～"), "\x81\x60");          // CP932's own wave dash
}

TEST(Kernel32HostNames, DuplicateCodesOfOneCharacterStillRoundTrip)
{
    // ∵ has two CP932 codes (0x81E6 and the NEC 0x879A); the host name
    // comes back from the one handed out, and either code names it.
    std::string cp932 = hostNameToCp932(u8"∵");
    std::string back;
    ASSERT_TRUE(hostNameFromCp932(cp932, back));
    EXPECT_EQ(back, u8"∵");
    ASSERT_TRUE(hostNameFromCp932("\x87\x9A", back));
    EXPECT_EQ(back, u8"∵");
}

}  // namespace
