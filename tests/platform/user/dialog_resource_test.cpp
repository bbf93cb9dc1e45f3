// Dialogs from the program's resources (the About template, dialog 106) on
// the headless display: the controls and where the template's font puts
// them, Enter, Escape, the close box and buttons, and the owner's messages
// while the dialog runs.
#include <gtest/gtest.h>

#include "headless_support.h"
#include "resources/resource.h"

namespace {

using headless_test::display;
using hp::user32::DialogControlKind;

struct DialogUnits {
    int x = 0;
    int y = 0;
};

// The template font's dialog units, measured through GDI: the rounded
// average width of the 52 Latin letters and the text height.
DialogUnits measureUnits()
{
    HFONT font = CreateFontA(-12, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             PROOF_QUALITY, FF_DONTCARE, "ＭＳ Ｐゴシック");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(font);
    return DialogUnits{(extent.cx / 26 + 1) / 2, extent.cy};
}

RECT converted(const DialogUnits &units, int x, int y, int cx, int cy)
{
    const int left = MulDiv(x, units.x, 4);
    const int top = MulDiv(y, units.y, 8);
    return RECT{left, top, left + MulDiv(cx, units.x, 4), top + MulDiv(cy, units.y, 8)};
}

void expectRect(const RECT &actual, const RECT &expected, const char *what)
{
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

// The About box's behaviour: OK (and Enter) close it through WM_CLOSE,
// every other command is ignored, WM_CLOSE ends it.
HWND aboutDialog = nullptr;
std::vector<WPARAM> aboutCommands;

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        aboutDialog = dialog;
        return TRUE;
    case WM_COMMAND:
        aboutCommands.push_back(wParam);
        if (LOWORD(wParam) == IDC_ABOUT_OK) {
            EXPECT_EQ(reinterpret_cast<HWND>(lParam), GetDlgItem(dialog, IDC_ABOUT_OK));
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        }
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

class HeadlessDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        aboutDialog = nullptr;
        aboutCommands.clear();
        headless_test::log().clear();
        owner_ = headless_test::createWindow({}, RECT{300, 200, 932, 700});
        ShowWindow(owner_, SW_SHOW);
        headless_test::pump();
    }
    void TearDown() override { DestroyWindow(owner_); }

    INT_PTR runAbout()
    {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), owner_,
                               aboutProcedure, 0);
    }

    HWND owner_ = nullptr;
};

TEST_F(HeadlessDialogs, TheAboutTemplateBuildsItsControlsInTheFontsDialogUnits)
{
    const DialogUnits units = measureUnits();
    ASSERT_GT(units.x, 0);
    ASSERT_GT(units.y, 0);
    hp::testing::HeadlessWindow shown;
    RECT outer{}, client{};
    display().schedule(0, [&] {
        ASSERT_NE(aboutDialog, nullptr);
        ASSERT_NE(display().window(aboutDialog), nullptr);
        shown = *display().window(aboutDialog);
        GetWindowRect(aboutDialog, &outer);
        GetClientRect(aboutDialog, &client);
        display().pressKey(aboutDialog, VK_RETURN);
    });
    EXPECT_EQ(runAbout(), 0);

    EXPECT_TRUE(shown.dialog);
    EXPECT_EQ(shown.title, "バージョン情報");
    EXPECT_EQ(shown.dialogDescription.fontFace, "ＭＳ Ｐゴシック");
    EXPECT_EQ(shown.dialogDescription.fontPixelHeight, 12);
    EXPECT_TRUE(shown.dialogDescription.hasCloseBox);
    const RECT size = converted(units, 0, 0, 210, 120);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    // A caption over a modal frame: three pixels of frame, the caption on top.
    EXPECT_EQ(outer.right - outer.left, client.right + 2 * 3);
    EXPECT_EQ(outer.bottom - outer.top, client.bottom + 2 * 3 + 19);
    EXPECT_EQ(shown.clientRect.left, outer.left + 3);
    EXPECT_EQ(shown.clientRect.top, outer.top + 3 + 19);

    const auto *ok = shown.control(IDC_ABOUT_OK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->kind, DialogControlKind::DefaultPushButton);
    EXPECT_EQ(ok->text, "OK");
    expectRect(ok->rect, converted(units, 80, 97, 50, 14), "OK button");

    int texts = 0, icons = 0, groups = 0;
    for (const auto &control : shown.dialogDescription.controls) {
        switch (control.kind) {
        case DialogControlKind::StaticIcon: {
            ++icons;
            // An icon control takes the icon's own size.
            const RECT at = converted(units, 38, 17, 18, 21);
            expectRect(control.rect, RECT{at.left, at.top, at.left + 32, at.top + 32}, "icon");
            ASSERT_EQ(control.iconPixels.size(), 32u * 32u);
            size_t drawn = 0;
            for (uint32_t pixel : control.iconPixels)
                drawn += pixel != 0xF0F0F0 ? 1 : 0;
            EXPECT_GT(drawn, 100u) << "the icon's picture is drawn over the face colour";
            break;
        }
        case DialogControlKind::GroupBox:
            ++groups;
            expectRect(control.rect, converted(units, 14, 9, 183, 33), "group box");
            break;
        case DialogControlKind::StaticText:
            ++texts;
            EXPECT_EQ(control.textAlign, static_cast<UINT>(SS_LEFT));
            if (control.text == "Hollyphone")
                expectRect(control.rect, converted(units, 84, 23, 66, 16), "product name");
            if (control.text == "Version : 1.00")
                expectRect(control.rect, converted(units, 48, 51, 88, 10), "version");
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(texts, 4);
    EXPECT_EQ(icons, 1);
    EXPECT_EQ(groups, 1);
    ASSERT_FALSE(aboutCommands.empty());
    EXPECT_EQ(aboutCommands.front(), MAKEWPARAM(IDC_ABOUT_OK, BN_CLICKED));
    EXPECT_FALSE(IsWindow(aboutDialog)) << "the dialog is gone once DialogBoxParamA returns";
}

TEST_F(HeadlessDialogs, EscapeIsIgnoredAndTheCloseBoxEndsTheDialog)
{
    display().schedule(0, [] { display().pressKey(aboutDialog, VK_ESCAPE); });
    display().schedule(10, [] {
        EXPECT_TRUE(IsWindow(aboutDialog)) << "Escape leaves the box open";
        display().pressCloseBox(aboutDialog);
    });
    EXPECT_EQ(runAbout(), 0);
    ASSERT_EQ(aboutCommands.size(), 1u);
    EXPECT_EQ(LOWORD(aboutCommands[0]), IDCANCEL);
}

TEST_F(HeadlessDialogs, TheButtonClickArrivesAsCommand)
{
    display().schedule(0, [] { EXPECT_TRUE(display().pressButton(aboutDialog, IDC_ABOUT_OK)); });
    EXPECT_EQ(runAbout(), 0);
    ASSERT_EQ(aboutCommands.size(), 1u);
    EXPECT_EQ(aboutCommands[0], MAKEWPARAM(IDC_ABOUT_OK, BN_CLICKED));
}

TEST_F(HeadlessDialogs, TheOwnerKeepsItsTimersButTakesNoInputWhileTheDialogRuns)
{
    SetTimer(owner_, 100, 100, nullptr);
    size_t ticksWhileOpen = 0;
    display().schedule(2000, [this, &ticksWhileOpen] {
        ticksWhileOpen = headless_test::logged(WM_TIMER).size();
        display().click(owner_, POINT{5, 5});
    });
    display().schedule(2010, [] { display().pressKey(aboutDialog, VK_RETURN); });
    EXPECT_EQ(runAbout(), 0);
    KillTimer(owner_, 100);
    EXPECT_GE(ticksWhileOpen, 19u);
    EXPECT_TRUE(headless_test::logged(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(HeadlessDialogs, AMissingTemplateFailsWithMinusOne)
{
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(999), owner_,
                              aboutProcedure, 0),
              -1);
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

}  // namespace
