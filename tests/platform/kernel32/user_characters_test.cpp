// The user's table of characters code page 932 lacks: codes of the
// user-defined area given once and for good, shared by the user's
// processes through one file, and names that use them.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host_folder.h"
#include "platform/host/charset.h"
#include "platform/host/user_characters.h"

namespace {

using hp::host::UserCharacters;

// Distinct characters CP932 lacks (Hangul syllables).
char32_t missing(int i) { return static_cast<char32_t>(0xAC00 + i); }

bool isUserDefinedCode(uint16_t code)
{
    const int lead = code >> 8, second = code & 0xFF;
    return lead >= 0xF0 && lead <= 0xF9 && second >= 0x40 && second <= 0xFC && second != 0x7F;
}

TEST(UserCharacters, CodesAreGivenOnceKeptInTheFileAndRunOutAsTheAreaDoes)
{
    HostFolder folder;
    const std::string path = folder.child("data/hollyphone/user-characters.txt");
    std::vector<uint16_t> codes;
    {
        UserCharacters table(path);
        for (int i = 0; i < UserCharacters::capacity; ++i) {
            const uint16_t code = table.codeOf(missing(i));
            ASSERT_TRUE(isUserDefinedCode(code)) << i;
            ASSERT_EQ(table.codeOf(missing(i)), code) << i;
            codes.push_back(code);
        }
        EXPECT_EQ(codes.front(), 0xF040);
        EXPECT_EQ(codes[62], 0xF07E);
        EXPECT_EQ(codes[63], 0xF080);
        EXPECT_EQ(codes.back(), 0xF9FC);
        EXPECT_EQ(table.codeOf(missing(UserCharacters::capacity)), 0) << "the area is full";
        EXPECT_EQ(table.codeOf(U'A'), 0) << "ASCII is the code page's own";
    }
    // A later process finds every code with its character.
    UserCharacters again(path);
    for (int i = 0; i < UserCharacters::capacity; i += 97)
        EXPECT_EQ(again.characterOf(codes[i]), missing(i)) << i;
    EXPECT_EQ(again.characterOf(0xF07F), 0u) << "no second byte 0x7F";
    EXPECT_EQ(again.characterOf(0x8140), 0u) << "outside the area";
}

TEST(UserCharacters, ALineOfNoCharacterKeepsItsNumberAndACutLineIsDropped)
{
    HostFolder folder;
    const std::string path = folder.child("user-characters.txt");
    // A line edited into two characters, one that is not UTF-8, then a
    // write cut short.
    ASSERT_TRUE(HostFolder::writeFile(path, "\xC3\xA9\n" "\xC3\xA9\xC3\xA8\n" "\xC3\n" "\xC3\xAB\n" "\xF0\x9F"));
    UserCharacters table(path);
    EXPECT_EQ(table.characterOf(0xF040), U'\u00E9');
    EXPECT_EQ(table.characterOf(0xF041), 0u);
    EXPECT_EQ(table.characterOf(0xF042), 0u);
    EXPECT_EQ(table.characterOf(0xF043), U'\u00EB');
    EXPECT_EQ(table.codeOf(U'\u00EB'), 0xF043);
    EXPECT_EQ(table.codeOf(U'\u00F1'), 0xF044);
    std::string content;
    ASSERT_TRUE(HostFolder::readFile(path, content));
    EXPECT_EQ(content, "\xC3\xA9\n" "\xC3\xA9\xC3\xA8\n" "\xC3\n" "\xC3\xAB\n" "\xC3\xB1\n");
}

TEST(UserCharacters, TwoProcessesAddingAtOnceAgreeOnEveryCode)
{
    HostFolder folder;
    const std::string path = folder.child("user-characters.txt");
    // Both add the shared characters 0-199, each in its own order, and 100
    // of its own; a pipe carries the child's codes to the parent.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    auto addAll = [&path](bool reversed, int own) {
        UserCharacters table(path);
        std::vector<uint16_t> codes(400);
        for (int k = 0; k < 200; ++k) {
            const int i = reversed ? 199 - k : k;
            codes[i] = table.codeOf(missing(i));
            if (k % 2 == 0)
                codes[own + k / 2] = table.codeOf(missing(own + k / 2));
        }
        return codes;
    };
    if (child == 0) {
        close(pipeEnds[0]);
        std::vector<uint16_t> codes = addAll(true, 300);
        const ssize_t size = static_cast<ssize_t>(codes.size() * sizeof codes[0]);
        _exit(write(pipeEnds[1], codes.data(), static_cast<size_t>(size)) == size ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::vector<uint16_t> mine = addAll(false, 200);
    std::vector<uint16_t> theirs(400);
    size_t got = 0;
    while (got < theirs.size() * sizeof theirs[0]) {
        const ssize_t n = read(pipeEnds[0], reinterpret_cast<char *>(theirs.data()) + got,
                               theirs.size() * sizeof theirs[0] - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_EQ(got, theirs.size() * sizeof theirs[0]);

    UserCharacters table(path);
    std::vector<bool> used(UserCharacters::capacity);
    for (int i = 0; i < 400; ++i) {
        // Shared ones at 0-199; the parent's own at 200-299, the child's at 300-399.
        const uint16_t code = i < 300 ? mine[i] : theirs[i];
        ASSERT_NE(code, 0) << i;
        if (i < 200) {
            ASSERT_EQ(theirs[i], code) << "the processes gave " << i << " two codes";
        }
        ASSERT_EQ(table.characterOf(code), missing(i)) << i;
        const int index = ((code >> 8) - 0xF0) * 188 + ((code & 0xFF) < 0x80 ? (code & 0xFF) - 0x40
                                                                              : (code & 0xFF) - 0x41);
        ASSERT_FALSE(used[index]) << "one code for two characters";
        used[index] = true;
    }
    EXPECT_EQ(table.characterOf(0xF040 + 0x100 * 2 + 24), 0u) << "400 codes, no more";
}

// The process's own table, as the layer's names use it.
TEST(UserCharacters, EveryCharacterOfANameIsOneDoubleByteCharacterThatShowsAsItself)
{
    const std::string name = u8"Café Noël 😀 \uE000.mp3";
    const std::string cp932 = hp::host::hostNameToCp932(name);
    ASSERT_EQ(cp932.size(), 13u + 4 * 2);
    ASSERT_EQ(cp932.substr(0, 3), "Caf");
    ASSERT_EQ(cp932.substr(5, 3), " No");
    for (size_t at : {3u, 8u, 12u, 15u}) {
        const uint16_t code = static_cast<uint16_t>(static_cast<unsigned char>(cp932[at]) << 8 |
                                                    static_cast<unsigned char>(cp932[at + 1]));
        EXPECT_TRUE(isUserDefinedCode(code)) << at;
    }
    std::string back;
    ASSERT_TRUE(hp::host::hostNameFromCp932(cp932, back));
    EXPECT_EQ(back, name);
    EXPECT_EQ(hp::host::utf8FromCp932(cp932), name);
    // A code the table has not given names nothing.
    EXPECT_FALSE(hp::host::hostNameFromCp932("\xF9\xFC", back));
    // Names CP932 has keep their bytes.
    EXPECT_EQ(hp::host::hostNameToCp932(u8"[歌手] 冬の歌.mp3"), "[歌手] 冬の歌.mp3");
}

}  // namespace
