// Popup menus on the headless display: what the menu shows, the choice
// arriving as WM_COMMAND, and the owner's messages flowing meanwhile.
#include <gtest/gtest.h>

#include "headless_support.h"

namespace {

using headless_test::display;
using headless_test::logged;

void insertText(HMENU menu, UINT position, UINT id, UINT state, HMENU submenu, const char *text)
{
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = state;
    item.wID = id;
    item.hSubMenu = submenu;
    item.dwTypeData = const_cast<char *>(text);
    InsertMenuItemA(menu, position, TRUE, &item);
}

// A menu shaped like the program's: a submenu with a checked item, a
// grayed item, a separator and plain items.
HMENU buildMenu()
{
    HMENU effect = CreatePopupMenu();
    insertText(effect, 1, 2002, MFS_CHECKED, nullptr, "ON(&N)");
    insertText(effect, 2, 2001, 0, nullptr, "OFF(&F)");
    HMENU top = CreatePopupMenu();
    insertText(top, 1, 0, 0, effect, "画像効果");
    AppendMenuA(top, MF_STRING | MF_GRAYED, 2003, "音楽CDを再生リストに追加(&A)");
    AppendMenuA(top, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(top, MF_STRING, 2000, "終了(&Q)");
    return top;
}

class HeadlessPopupMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless_test::log().clear();
        menu_ = buildMenu();
        static HMENU shownMenu;
        static UINT flags;
        shownMenu = menu_;
        flags = 0;
        flags_ = &flags;
        window_ = headless_test::createWindow(
            [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
                if (message == WM_RBUTTONDOWN) {
                    POINT point;
                    GetCursorPos(&point);
                    const BOOL result =
                        TrackPopupMenu(shownMenu, flags, point.x, point.y, 0, window, nullptr);
                    PostMessageA(window, WM_USER + 1, static_cast<WPARAM>(result), 0);
                    return 0;
                }
                return DefWindowProcA(window, message, wParam, lParam);
            },
            RECT{200, 100, 832, 600});
        ShowWindow(window_, SW_SHOW);
        headless_test::pump();
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        DestroyMenu(menu_);
    }

    // Right-clicks, lets the scheduled action answer, and runs until the
    // tracking call has returned.
    WPARAM rightClickAndRun(POINT client)
    {
        display().click(window_, client, hp::user32::MouseButton::Right);
        headless_test::runUntil([] { return !logged(WM_USER + 1).empty(); });
        headless_test::pump();
        return logged(WM_USER + 1).front().wParam;
    }

    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    UINT *flags_ = nullptr;
};

TEST_F(HeadlessPopupMenus, TheMenuShowsItsItemsAtThePointerAndTheChoiceComesAsCommand)
{
    hp::testing::HeadlessPopup seen;
    display().schedule(0, [&seen] {
        ASSERT_NE(display().openPopup(), nullptr);
        seen = *display().openPopup();
        display().chooseMenuItem(2001);
    });
    EXPECT_TRUE(rightClickAndRun(POINT{30, 40}));

    EXPECT_EQ(seen.owner, window_);
    EXPECT_EQ(seen.point.x, 230);
    EXPECT_EQ(seen.point.y, 140);
    ASSERT_EQ(seen.items.size(), 4u);
    EXPECT_EQ(seen.items[0].text, "画像効果");
    ASSERT_TRUE(seen.items[0].hasSubmenu);
    ASSERT_EQ(seen.items[0].submenu.size(), 2u);
    EXPECT_EQ(seen.items[0].submenu[0].text, "ON(&N)");
    EXPECT_TRUE(seen.items[0].submenu[0].checked);
    EXPECT_EQ(seen.items[0].submenu[0].id, 2002u);
    EXPECT_FALSE(seen.items[0].submenu[1].checked);
    EXPECT_TRUE(seen.items[1].disabled);
    EXPECT_TRUE(seen.items[2].separator);
    EXPECT_EQ(seen.items[3].text, "終了(&Q)");
    EXPECT_EQ(seen.items[3].id, 2000u);

    const auto commands = logged(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 2001);
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_EQ(display().openPopup(), nullptr);
}

TEST_F(HeadlessPopupMenus, ADismissedMenuSendsNoCommand)
{
    display().schedule(0, [] { display().chooseMenuItem(0); });
    EXPECT_TRUE(rightClickAndRun(POINT{1, 1}));
    EXPECT_TRUE(logged(WM_COMMAND).empty());
}

TEST_F(HeadlessPopupMenus, ReturnCommandGivesTheIdInsteadOfAMessage)
{
    *flags_ = TPM_RETURNCMD;
    display().schedule(0, [] { display().chooseMenuItem(2000); });
    EXPECT_EQ(rightClickAndRun(POINT{1, 1}), 2000u);
    EXPECT_TRUE(logged(WM_COMMAND).empty());
}

TEST_F(HeadlessPopupMenus, TheOwnerHearsOfTheMenuLoopAndKeepsItsTimers)
{
    SetTimer(window_, 100, 100, nullptr);
    size_t ticksWhileOpen = 0;
    display().schedule(1000, [&ticksWhileOpen] {
        ticksWhileOpen = logged(WM_TIMER).size();
        display().chooseMenuItem(0);
    });
    rightClickAndRun(POINT{1, 1});
    KillTimer(window_, 100);
    EXPECT_GE(ticksWhileOpen, 9u) << "the 100 ms timer ran while the menu was open";
    const int enter = static_cast<int>(logged(WM_ENTERMENULOOP).size());
    const int exit = static_cast<int>(logged(WM_EXITMENULOOP).size());
    EXPECT_EQ(enter, 1);
    EXPECT_EQ(exit, 1);
}

TEST_F(HeadlessPopupMenus, ABadMenuOrOwnerIsRefused)
{
    const size_t shownBefore = display().popups().size();
    HMENU gone = CreatePopupMenu();
    DestroyMenu(gone);
    EXPECT_FALSE(TrackPopupMenu(gone, 0, 0, 0, 0, window_, nullptr));
    EXPECT_FALSE(TrackPopupMenu(menu_, 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(display().popups().size(), shownBefore) << "nothing was shown";
}

}  // namespace
