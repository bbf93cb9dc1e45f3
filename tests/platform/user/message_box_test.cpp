// Message boxes shown by the display: the box's texts and buttons, the
// answer, and the program's messages while it is open.
#include <gtest/gtest.h>

#include "headless_support.h"
#include "platform/user32/display_message_box.h"
#include "platform/user32/message_box_backend.h"

namespace {

using headless_test::display;

class HeadlessMessageBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless_test::log().clear();
        hp::user32::installMessageBoxBackend(hp::user32::makeDisplayMessageBox());
    }
};

TEST_F(HeadlessMessageBoxes, AYesNoQuestionBeforeAnyWindowGetsItsAnswer)
{
    hp::testing::HeadlessMessageBox seen;
    display().schedule(0, [&seen] {
        ASSERT_NE(display().openMessageBox(), nullptr);
        seen = *display().openMessageBox();
        display().answerMessageBox(IDYES);
    });
    const int answer = MessageBoxA(nullptr, "画像効果をONにしますか？ 画像効果にはCPU処理を多く使います",
                                   "Hollyphoneへようこそ！", MB_YESNO);
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.description.text, "画像効果をONにしますか？ 画像効果にはCPU処理を多く使います");
    EXPECT_EQ(seen.description.caption, "Hollyphoneへようこそ！");
    EXPECT_EQ(seen.description.type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(display().openMessageBox(), nullptr);
}

TEST_F(HeadlessMessageBoxes, AnErrorBoxOverAWindowKeepsItsTimersAndBlocksItsInput)
{
    HWND owner = headless_test::createWindow({}, RECT{0, 0, 100, 100});
    ShowWindow(owner, SW_SHOW);
    headless_test::pump();
    SetTimer(owner, 101, 1000, nullptr);
    size_t ticksWhileOpen = 0;
    display().schedule(5000, [owner, &ticksWhileOpen] {
        ticksWhileOpen = headless_test::logged(WM_TIMER).size();
        display().click(owner, POINT{10, 10});
        display().answerMessageBox(IDOK);
    });
    EXPECT_EQ(MessageBoxA(owner, "MCI error", "Brisel Library <kq32> Error", MB_ICONERROR),
              IDOK);
    EXPECT_GE(ticksWhileOpen, 4u);
    headless_test::pump();
    EXPECT_TRUE(headless_test::logged(WM_LBUTTONDOWN).empty())
        << "the click on the owner while the box was open went nowhere";
    ASSERT_FALSE(display().messageBoxes().empty());
    EXPECT_EQ(display().messageBoxes().back().owner, owner);
    EXPECT_EQ(display().messageBoxes().back().description.type & MB_ICONMASK,
              static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

}  // namespace
