// The command line: the program splits its ANSI line by the platform's
// rules, and the layer's entry quotes each argument so that the split gives
// it back unchanged, double-byte characters whose second byte reads as a
// backslash included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/kernel32/command_line.h"

namespace {

std::vector<std::string> split(const std::string &arguments)
{
    std::vector<std::string> taken;
    const int count = forEachArgument(
        arguments.c_str(),
        [](const char *argument, void *list) {
            static_cast<std::vector<std::string> *>(list)->push_back(argument);
        },
        &taken);
    EXPECT_EQ(count, static_cast<int>(taken.size()));
    return taken;
}

}  // namespace

TEST(CommandLine, SplitsByThePlatformsRules)
{
    using List = std::vector<std::string>;
    // The platform's own examples, and the "" rule inside quotes.
    EXPECT_EQ(split("\"a b c\" d e"), (List{"a b c", "d", "e"}));
    EXPECT_EQ(split("\"ab\\\"c\" \"\\\\\" d"), (List{"ab\"c", "\\", "d"}));
    EXPECT_EQ(split("a\\\\\\b d\"e f\"g h"), (List{"a\\\\\\b", "de fg", "h"}));
    EXPECT_EQ(split("a\\\\\\\"b c d"), (List{"a\\\"b", "c", "d"}));
    EXPECT_EQ(split("a\\\\\\\\\"b c\" d e"), (List{"a\\\\b c", "d", "e"}));
    EXPECT_EQ(split("a\"b\"\" c d"), (List{"ab\" c d"}));
    EXPECT_EQ(split(" \t\"\" x\t"), (List{"", "x"}));
    EXPECT_EQ(split(""), List{});
    // 表 is 0x95 0x5C: its second byte escapes no quote.
    EXPECT_EQ(split("\"C:\\表\" next"), (List{"C:\\表", "next"}));
}

TEST(CommandLine, QuotedArgumentsComeBackUnchanged)
{
    const std::vector<std::string> arguments = {
        "C:\\music\\plain.mp3", "C:\\My Music\\[Band] Song.mp3", "", "say \"hi\"",
        "ends in a backslash\\", "C:\\two\\\\ backslashes\\\\", "\\\"", "tab\there",
        "C:\\曲\\表", "表 \"表\" 表\\", "\"", "\\\\server\\share\\x.mid"};
    std::string line;
    for (const std::string &argument : arguments)
        line += hp::kernel32::quoteCommandLineArgument(argument) + " ";
    EXPECT_EQ(split(line), arguments) << line;
    EXPECT_EQ(hp::kernel32::quoteCommandLineArgument("C:\\plain\\file.mp3"), "C:\\plain\\file.mp3");
}

TEST(CommandLine, TheArgumentsFollowTheProgramsName)
{
    EXPECT_STREQ(commandLineArguments("\"C:\\Program Files\\h.exe\"  a b"), "a b");
    EXPECT_STREQ(commandLineArguments("C:\\h.exe\ta"), "a");
    EXPECT_STREQ(commandLineArguments("h.exe"), "");
    // The name is taken as it is: a backslash before its quote escapes nothing.
    EXPECT_STREQ(commandLineArguments("\"C:\\dir\\\" x"), "x");
}
