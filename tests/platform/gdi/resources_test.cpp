// The program's resources as the build embeds them: icon 101, the About box
// template 106, and the lookup's answers for what is not there.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/user32/dialog_template.h"
#include "platform/user32/image.h"
#include "platform/user32/resources.h"
#include "platform/win32.h"
#include "resources/resource.h"

namespace {

using hp::user32::DialogTemplate;
using hp::user32::findResource;
using hp::user32::NameOrOrdinal;
using hp::user32::ResourceBytes;

TEST(EmbeddedResources, HoldTheIconGroupAndItsImages)
{
    ResourceBytes group;
    ASSERT_TRUE(findResource(nullptr, MAKEINTRESOURCEA(hp::user32::resourceTypeGroupIcon),
                             MAKEINTRESOURCEA(IDI_HOLLYPHONE), group));
    ASSERT_GE(group.size, 6u + 14u);
    const auto *bytes = static_cast<const uint8_t *>(group.data);
    const int count = bytes[4] | (bytes[5] << 8);
    EXPECT_GE(count, 1);
    // "#101" names the same resource.
    ResourceBytes byName;
    EXPECT_TRUE(findResource(nullptr, MAKEINTRESOURCEA(hp::user32::resourceTypeGroupIcon), "#101",
                             byName));
    EXPECT_EQ(byName.data, group.data);
}

TEST(EmbeddedResources, LoadIconGivesTheSystemSize)
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_HOLLYPHONE));
    ASSERT_NE(icon, nullptr);
    hp::user32::IconPicture picture;
    ASSERT_TRUE(hp::user32::iconPicture(icon, picture));
    EXPECT_EQ(picture.width, 32);
    EXPECT_EQ(picture.height, 32);
    // Not an empty picture: some of it is opaque.
    int opaque = 0;
    for (uint32_t p : picture.argb)
        opaque += (p >> 24) != 0;
    EXPECT_GT(opaque, 32 * 32 / 8);
    // LoadIconA shares: the same handle again, and DestroyIcon leaves it.
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_HOLLYPHONE)), icon);

    HICON own = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                              MAKEINTRESOURCEA(IDI_HOLLYPHONE), IMAGE_ICON, 16,
                                              16, 0));
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(hp::user32::iconPicture(own, picture));
    EXPECT_EQ(picture.width, 16);
    const DWORD icons = hp::user32::liveIconCount();
    EXPECT_TRUE(DestroyIcon(own));
    EXPECT_EQ(hp::user32::liveIconCount(), icons - 1);
    EXPECT_FALSE(DestroyIcon(own));
}

TEST(EmbeddedResources, MissingNamesAndTypesAreReported)
{
    ResourceBytes bytes;
    SetLastError(0);
    EXPECT_FALSE(findResource(nullptr, MAKEINTRESOURCEA(hp::user32::resourceTypeDialog),
                              MAKEINTRESOURCEA(105), bytes));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_FALSE(findResource(nullptr, MAKEINTRESOURCEA(9), MAKEINTRESOURCEA(1), bytes));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(999)), nullptr);
}

void expectOrdinal(const NameOrOrdinal &field, WORD value, const char *what)
{
    EXPECT_EQ(field.kind, NameOrOrdinal::Kind::Ordinal) << what;
    EXPECT_EQ(field.ordinal, value) << what;
}

TEST(EmbeddedResources, AboutBoxTemplateIsAsDesigned)
{
    ResourceBytes bytes;
    ASSERT_TRUE(findResource(nullptr, MAKEINTRESOURCEA(hp::user32::resourceTypeDialog),
                             MAKEINTRESOURCEA(IDD_ABOUT), bytes));
    DialogTemplate dialog;
    ASSERT_TRUE(hp::user32::parseDialogTemplate(bytes.data, bytes.size, dialog));
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                               DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 210);
    EXPECT_EQ(dialog.cy, 120);
    EXPECT_EQ(dialog.title, "バージョン情報");
    EXPECT_TRUE(dialog.hasFont);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.faceName, "ＭＳ Ｐゴシック");
    ASSERT_EQ(dialog.items.size(), 7u);

    struct Expected {
        DWORD style;
        WORD id;
        short x, y, cx, cy;
        WORD windowClass;
    };
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const Expected expected[] = {
        {child | WS_TABSTOP | BS_DEFPUSHBUTTON, 1005, 80, 97, 50, 14, hp::user32::dialogClassButton},
        {child | SS_ICON, 0xFFFF, 38, 17, 18, 21, hp::user32::dialogClassStatic},
        {child | BS_GROUPBOX, 0xFFFF, 14, 9, 183, 33, hp::user32::dialogClassButton},
        {child | WS_GROUP | SS_LEFT, 0xFFFF, 84, 23, 66, 16, hp::user32::dialogClassStatic},
        {child | WS_GROUP | SS_LEFT, 0xFFFF, 48, 51, 88, 10, hp::user32::dialogClassStatic},
        {child | WS_GROUP | SS_LEFT, 0xFFFF, 48, 63, 125, 12, hp::user32::dialogClassStatic},
        {child | WS_GROUP | SS_LEFT, 0xFFFF, 74, 77, 81, 12, hp::user32::dialogClassStatic},
    };
    for (size_t i = 0; i < 7; ++i) {
        const auto &item = dialog.items[i];
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
        expectOrdinal(item.windowClass, expected[i].windowClass, "class");
    }
    EXPECT_EQ(dialog.items[0].text.name, "OK");
    expectOrdinal(dialog.items[1].text, IDI_HOLLYPHONE, "icon");
    EXPECT_EQ(dialog.items[2].text.kind, NameOrOrdinal::Kind::None);
    EXPECT_EQ(dialog.items[3].text.name, "Hollyphone");
    EXPECT_EQ(dialog.items[4].text.name, "Version : 1.00");
    EXPECT_EQ(dialog.items[5].text.name.rfind("Author : ", 0), 0u);
    EXPECT_FALSE(dialog.items[6].text.name.empty());
}

TEST(EmbeddedResources, VersionInformationIsPresent)
{
    ResourceBytes bytes;
    ASSERT_TRUE(findResource(nullptr, MAKEINTRESOURCEA(hp::user32::resourceTypeVersion),
                             MAKEINTRESOURCEA(1), bytes));
    EXPECT_GT(bytes.size, 100u);
}

TEST(DialogTemplates, ExtendedTemplatesAndTruncation)
{
    // DLGTEMPLATEEX with a font block and one control with creation data.
    std::vector<uint8_t> t;
    auto w = [&](uint16_t v) { t.push_back(uint8_t(v)); t.push_back(uint8_t(v >> 8)); };
    auto d = [&](uint32_t v) { w(uint16_t(v)); w(uint16_t(v >> 16)); };
    auto s = [&](const char16_t *text) { for (; *text; ++text) w(*text); w(0); };
    w(1); w(0xFFFF); d(7);           // version, signature, help id
    d(0); d(DS_SETFONT | WS_POPUP);  // ex style, style
    w(1);                            // one control
    w(5); w(6); w(100); w(50);       // x y cx cy
    w(0); w(0);                      // no menu, default class
    s(u"Hi");
    w(8); w(700); t.push_back(1); t.push_back(128);
    s(u"Face");
    while (t.size() % 4) t.push_back(0);
    d(3); d(0); d(WS_CHILD | BS_PUSHBUTTON);
    w(1); w(2); w(30); w(12);
    d(70000);                        // a 32-bit id
    w(0xFFFF); w(0x0080);            // Button
    s(u"Go");
    w(2); w(0xABCD);                 // two bytes of creation data

    DialogTemplate dialog;
    ASSERT_TRUE(hp::user32::parseDialogTemplate(t.data(), t.size(), dialog));
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.helpId, 7u);
    EXPECT_EQ(dialog.title, "Hi");
    EXPECT_EQ(dialog.weight, 700);
    EXPECT_TRUE(dialog.italic);
    EXPECT_EQ(dialog.charSet, 128);
    EXPECT_EQ(dialog.faceName, "Face");
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(dialog.items[0].id, 70000u);
    EXPECT_EQ(dialog.items[0].helpId, 3u);
    EXPECT_EQ(dialog.items[0].text.name, "Go");
    ASSERT_EQ(dialog.items[0].creationData.size(), 2u);
    EXPECT_EQ(dialog.items[0].creationData[0], 0xCD);

    // Every truncation is refused cleanly.
    for (size_t cut = 0; cut < t.size(); ++cut)
        EXPECT_FALSE(hp::user32::parseDialogTemplate(t.data(), cut, dialog)) << cut;

    // A classic header counting 65535 controls, with bytes for none: refused,
    // without keeping room for what is not there.
    std::vector<uint8_t> counted(24, 0);
    counted[8] = counted[9] = 0xFF;
    EXPECT_FALSE(hp::user32::parseDialogTemplate(counted.data(), counted.size(), dialog));
    EXPECT_LE(dialog.items.capacity(), 1u);
}

TEST(ResourceLookup, CorruptImagesAreSafe)
{
    // A record whose sizes point past the end, then garbage.
    std::vector<uint8_t> res = {0xFF, 0xFF, 0xFF, 0x7F, 0x20, 0, 0, 0};
    res.resize(64, 0xAB);
    ResourceBytes bytes;
    EXPECT_FALSE(hp::user32::findResourceIn(res.data(), res.size(), MAKEINTRESOURCEA(3),
                                            MAKEINTRESOURCEA(1), bytes));
    EXPECT_FALSE(hp::user32::findResourceIn(nullptr, 0, MAKEINTRESOURCEA(3),
                                            MAKEINTRESOURCEA(1), bytes));
}

}  // namespace
