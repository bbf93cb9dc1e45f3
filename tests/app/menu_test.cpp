// The right-click menu (its items, check marks and commands for a given
// mixer and drive set, and its rebuilding) and the About box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/front_panel.h"
#include "tests/app/support/program_harness.h"

namespace {

using hp::apptest::MenuItemView;
using hp::apptest::ProgramHarness;
using hp::apptest::readMenu;

struct Item {
    std::string text;
    UINT id;
    bool checked;
};

std::vector<Item> flat(const std::vector<MenuItemView> &items)
{
    std::vector<Item> result;
    for (const MenuItemView &item : items)
        result.push_back(Item{item.text, item.id, item.checked});
    return result;
}

void expectItems(const std::vector<MenuItemView> &actual, const std::vector<Item> &expected)
{
    const std::vector<Item> items = flat(actual);
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].text, expected[i].text);
        EXPECT_EQ(items[i].id, expected[i].id);
        EXPECT_EQ(items[i].checked, expected[i].checked);
    }
}

TEST(PopupMenu, ItemsChecksAndCommandsForThreeMixersAndDrivesCDE)
{
    ProgramHarness program;
    program.writeSettings("[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=2\r\n");
    program.addMixerDevice("Alpha", 1, 1, 1);
    program.addMixerDevice("Beta", 2, 2, 2);
    program.addMixerDevice("ガンマ", 3, 3, 3);
    hp::testing::scriptedDrives().addDrive("cd0");
    hp::testing::scriptedDrives().addDrive("cd1");
    program.startPanel();

    const std::vector<MenuItemView> menu = readMenu(popupMenu);
    expectItems(menu, {{"画像効果", 0, false},
                       {"音量設定デバイス(&d)", 0, false},
                       {"CDトレイを開く(&O)", 0, false},
                       {"CDトレイを閉じる(&C)", 0, false},
                       {"音楽CDを再生リストに追加(&A)", 2003, false},
                       {"バージョン情報を表示する(&V)", 2004, false},
                       {"終了(&Q)", 2000, false}});
    ASSERT_EQ(menu.size(), 7u);
    expectItems(menu[0].submenu, {{"ON(&N)", 2002, true}, {"OFF(&F)", 2001, false}});
    expectItems(menu[1].submenu,
                {{"0：Alpha", 2080, false}, {"1：Beta", 2081, false}, {"2：ガンマ", 2082, true}});
    expectItems(menu[2].submenu,
                {{"C:\\", 2022, false}, {"D:\\", 2023, false}, {"E:\\", 2024, false}});
    expectItems(menu[3].submenu,
                {{"C:\\", 2052, false}, {"D:\\", 2053, false}, {"E:\\", 2054, false}});
}

TEST(PopupMenu, TheMixerSubmenuHoldsAtMostTwentyFiveDevicesAndStaysWhenThereIsNone)
{
    struct Case {
        int devices;
        size_t items;
    };
    for (const Case &c : {Case{30, 25}, Case{1, 1}, Case{0, 0}}) {
        SCOPED_TRACE(c.devices);
        ProgramHarness program;
        program.writeSettings("[CONFIG]\r\nSoundDev=24\r\n");
        for (int i = 0; i < c.devices; ++i)
            program.addMixerDevice("Mixer" + std::to_string(i), 0, 0, 0);
        program.startPanel();
        const std::vector<MenuItemView> menu = readMenu(popupMenu);
        ASSERT_EQ(menu.size(), 7u);
        EXPECT_EQ(menu[1].text, "音量設定デバイス(&d)");
        ASSERT_EQ(menu[1].submenu.size(), c.items);
        if (c.items == 25) {
            EXPECT_EQ(menu[1].submenu[24].text, "24：Mixer24");
            EXPECT_EQ(menu[1].submenu[24].id, 2104u);
            EXPECT_TRUE(menu[1].submenu[24].checked);
        }
        if (c.items == 1) {
            EXPECT_FALSE(menu[1].submenu[0].checked) << "device 24 is not there";
        }
    }
}

TEST(PopupMenu, EffectCommandsRebuildTheMenuAndReleaseTheOldOne)
{
    ProgramHarness program;
    program.writeSettings("[CONFIG]\r\nGraphicEffect=1\r\n");
    program.addMixerDevice("Alpha", 1, 1, 1);
    struct Seen {
        HMENU menu = nullptr;
        bool onChecked = false;
        bool offChecked = false;
        DWORD userObjects = 0;
    };
    std::vector<Seen> seen;
    auto note = [&] {
        const auto effect = readMenu(popupMenu)[0].submenu;
        seen.push_back(Seen{popupMenu, effect[0].checked, effect[1].checked,
                            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)});
    };
    program.at(500, note);
    program.commandAt(1000, commandEffectOff);
    program.at(1500, note);
    program.commandAt(2000, commandEffectOn);
    program.at(2500, note);
    program.commandAt(3000, commandMixerFirst);
    program.at(3500, note);
    program.quitAt(4000);
    program.runProgram();

    ASSERT_EQ(seen.size(), 4u);
    const bool expectedOn[] = {true, false, true, true};
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].onChecked, expectedOn[i]);
        EXPECT_EQ(seen[i].offChecked, !expectedOn[i]);
        EXPECT_EQ(seen[i].userObjects, seen[0].userObjects) << "menus are not piling up";
        if (i > 0) {
            EXPECT_NE(seen[i].menu, seen[i - 1].menu) << "a new menu";
            EXPECT_FALSE(IsMenu(seen[i - 1].menu)) << "the replaced menu was destroyed";
        }
    }
}

TEST(PopupMenu, AChosenItemArrivesAsItsCommand)
{
    ProgramHarness program;
    program.writeSettings("[CONFIG]\r\nGraphicEffect=1\r\n");
    int effectAfter = -1;
    program.at(1000, [&] {
        program.display().click(mainWindow, POINT{100, 100}, hp::user32::MouseButton::Right);
    });
    program.at(1100, [&] { program.display().chooseMenuItem(commandEffectOff); });
    program.at(1500, [&] { effectAfter = frontPanel.graphicEffect; });
    program.at(2000, [&] {
        program.display().click(mainWindow, POINT{100, 100}, hp::user32::MouseButton::Right);
    });
    program.at(2100, [&] { program.display().chooseMenuItem(commandQuit); });
    EXPECT_EQ(program.runProgram(), 0) << "終了(&Q) ends the program";
    EXPECT_EQ(effectAfter, 0);
}

// The About box, found among the windows on the screen.
HWND openDialog(const hp::testing::HeadlessDisplay &display)
{
    for (HWND window : display.windowsInOrder()) {
        const auto *shown = display.window(window);
        if (shown && shown->dialog && shown->visible)
            return window;
    }
    return nullptr;
}

TEST(AboutBox, OpensCentredByItsClientSizeAndShowsItsTemplate)
{
    ProgramHarness program;
    program.writeSettings("[CONFIG]\r\nGraphicEffect=0\r\n");
    RECT mainRect{};
    RECT dialogRect{};
    RECT dialogClient{};
    hp::testing::HeadlessWindow shown;
    program.commandAt(1000, commandAbout);
    program.at(1500, [&] {
        HWND dialog = openDialog(program.display());
        ASSERT_NE(dialog, nullptr);
        shown = *program.display().window(dialog);
        GetWindowRect(mainWindow, &mainRect);
        GetWindowRect(dialog, &dialogRect);
        GetClientRect(dialog, &dialogClient);
        PostMessageA(dialog, WM_COMMAND, aboutOkButton, 0);
    });
    program.quitAt(2000);
    program.runProgram();

    EXPECT_EQ(shown.title, "バージョン情報");
    EXPECT_EQ(shown.owner, mainWindow);
    const double mainWidth = mainRect.right - mainRect.left;
    const double mainHeight = mainRect.bottom - mainRect.top;
    EXPECT_EQ(dialogRect.left,
              static_cast<int>(mainWidth * 0.5 + mainRect.left - dialogClient.right * 0.5));
    EXPECT_EQ(dialogRect.top,
              static_cast<int>(mainHeight * 0.5 + mainRect.top - dialogClient.bottom * 0.5));
    ASSERT_NE(shown.control(aboutOkButton), nullptr);
}

TEST(AboutBox, EnterOkAndTheCloseBoxCloseItWhileEscapeIsIgnored)
{
    enum class Closer { Enter, OkButton, CloseBox };
    for (Closer closer : {Closer::Enter, Closer::OkButton, Closer::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(closer));
        ProgramHarness program;
        program.writeSettings("[CONFIG]\r\nGraphicEffect=0\r\n");
        HWND dialog = nullptr;
        bool openAfterEscape = false;
        bool openAfterCloser = true;
        program.commandAt(1000, commandAbout);
        program.at(1500, [&] {
            dialog = openDialog(program.display());
            program.display().pressKey(dialog, VK_ESCAPE);
        });
        program.at(2000, [&] {
            openAfterEscape = openDialog(program.display()) == dialog;
            switch (closer) {
            case Closer::Enter:
                program.display().pressKey(dialog, VK_RETURN);
                break;
            case Closer::OkButton:
                program.display().pressButton(dialog, aboutOkButton);
                break;
            case Closer::CloseBox:
                program.display().pressCloseBox(dialog);
                break;
            }
        });
        program.at(2500, [&] { openAfterCloser = openDialog(program.display()) != nullptr; });
        program.quitAt(3000);
        program.runProgram();
        EXPECT_NE(dialog, nullptr);
        EXPECT_TRUE(openAfterEscape);
        EXPECT_FALSE(openAfterCloser);
    }
}

}  // namespace
