// The process's count of window-system objects, and DragQueryFileA on a
// handle that is no drop.
#include <gtest/gtest.h>

#include <cstring>

#include "user_test_support.h"

namespace {

DWORD userObjects() { return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS); }

TEST(UserObjectCount, ReturnsAfterCreateDestroyPairs)
{
    const DWORD before = userObjects();
    HWND window = user_test::createPopup(0, 0, 40, 40);
    HWND child = CreateWindowExA(0, user_test::loggingClass(), "", WS_CHILD, 0, 0, 5, 5, window,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "sub");
    ASSERT_NE(window, nullptr);
    ASSERT_NE(child, nullptr);
    if (user_test::runningUnderWine() && userObjects() == 0)
        GTEST_SKIP() << "known difference: Wine does not count USER objects";
    EXPECT_EQ(userObjects(), before + 4);

    DestroyMenu(menu);  // takes the submenu with it
    DestroyWindow(window);  // and the child
    EXPECT_EQ(userObjects(), before);
}

TEST(UserObjectCount, RepeatedMenuBuildsLeaveNothingBehind)
{
    const DWORD before = userObjects();
    for (int i = 0; i < 200; ++i) {
        HMENU menu = CreatePopupMenu();
        HMENU sub = CreatePopupMenu();
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_SUBMENU | MIIM_TYPE;
        item.fType = MFT_STRING;
        item.hSubMenu = sub;
        item.dwTypeData = const_cast<char *>("画像効果");
        InsertMenuItemA(menu, 1, TRUE, &item);
        AppendMenuA(menu, MF_STRING, 2000, "終了(&Q)");
        DestroyMenu(menu);
    }
    EXPECT_EQ(userObjects(), before);
}

TEST(DroppedFiles, AHandleThatIsNoDropReadsAsEmpty)
{
    char buffer[MAX_PATH];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(DragQueryFileA(nullptr, 0xFFFFFFFF, nullptr, 0), 0u);
    EXPECT_EQ(DragQueryFileA(nullptr, 0, buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 'x') << "nothing is written for a bad handle";
}

}  // namespace
