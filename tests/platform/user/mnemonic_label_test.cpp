// Menu and button texts in GTK's mnemonic form.
#include <gtest/gtest.h>

#include "platform/host/mnemonic_label.h"

namespace {

TEST(MnemonicLabels, PlatformMarksBecomeUnderscores)
{
    struct Case {
        const char *text;
        const char *label;
    };
    const Case cases[] = {
        {"ON(&N)", "ON(_N)"},
        {u8"音量設定デバイス(&d)", u8"音量設定デバイス(_d)"},
        {"Rock && Roll", "Rock & Roll"},
        {"snake_case", "snake__case"},
        {"&&&Q", "&_Q"},
        {"trailing&", "trailing"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(hp::host::underscoreMnemonics(c.text), c.label) << c.text;
}

}  // namespace
