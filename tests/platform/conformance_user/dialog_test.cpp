// Modal dialogs from an in-memory template: the controls the template
// lists, positions in dialog units of the template's font, and the keys
// and the close box as the dialog manager handles them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "user_test_support.h"

namespace {

constexpr int okId = 1005;
constexpr int labelId = 300;
constexpr WORD buttonClass = 0x0080;
constexpr WORD staticClass = 0x0082;

struct ItemLayout {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD classOrdinal;
    const char16_t *text;
};

// A DLGTEMPLATE in memory, as the resource compiler lays it out.
class TemplateWriter {
public:
    void word(WORD value) { words_.push_back(value); }
    void dword(DWORD value)
    {
        word(static_cast<WORD>(value & 0xFFFF));
        word(static_cast<WORD>(value >> 16));
    }
    void text(const char16_t *value)
    {
        for (; *value; ++value)
            word(static_cast<WORD>(*value));
        word(0);
    }
    void alignToDword()
    {
        if (words_.size() % 2)
            word(0);
    }
    const DLGTEMPLATE *data() const { return reinterpret_cast<const DLGTEMPLATE *>(words_.data()); }

private:
    std::vector<WORD> words_;
};

const ItemLayout items[] = {
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 80, 97, 50, 14, okId, buttonClass, u"OK"},
    {WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 14, 9, 183, 33, 0xFFFF, buttonClass, u""},
    {WS_CHILD | WS_VISIBLE | SS_LEFT, 84, 23, 66, 16, labelId, staticClass, u"Hollyphone"},
};

TemplateWriter aboutLikeTemplate(DWORD style)
{
    TemplateWriter writer;
    writer.dword(style);
    writer.dword(0);  // extended style
    writer.word(static_cast<WORD>(sizeof items / sizeof items[0]));
    writer.word(0);    // x
    writer.word(0);    // y
    writer.word(210);  // cx
    writer.word(120);  // cy
    writer.word(0);    // no menu
    writer.word(0);    // the dialog class
    writer.text(u"バージョン情報");
    writer.word(9);
    writer.text(u"ＭＳ Ｐゴシック");
    for (const ItemLayout &item : items) {
        writer.alignToDword();
        writer.dword(item.style);
        writer.dword(0);
        writer.word(static_cast<WORD>(item.x));
        writer.word(static_cast<WORD>(item.y));
        writer.word(static_cast<WORD>(item.cx));
        writer.word(static_cast<WORD>(item.cy));
        writer.word(item.id);
        writer.word(0xFFFF);
        writer.word(item.classOrdinal);
        writer.text(item.text);
        writer.word(0);  // no creation data
    }
    return writer;
}

const DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

// What one run of the dialog saw.
struct DialogRun {
    LPARAM initParam = 0;
    RECT client{};
    RECT outer{};
    RECT mappedClient{};
    // Per control: (actual rectangle, template origin and size mapped to pixels).
    std::vector<std::pair<RECT, RECT>> controls;
    std::vector<WPARAM> commands;
    int closes = 0;
    bool ownerDisabled = false;
    // How the run ends: a key posted to the dialog, or the close box.
    enum class Ending { Enter, Escape, CloseBox } ending = Ending::Enter;
    bool keepOpenOnCancel = true;
    int escapesSeen = 0;
    HWND owner = nullptr;
};

DialogRun *current = nullptr;

RECT controlRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    POINT topLeft{rect.left, rect.top};
    POINT bottomRight{rect.right, rect.bottom};
    ScreenToClient(dialog, &topLeft);
    ScreenToClient(dialog, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogRun &run = *current;
    switch (message) {
    case WM_INITDIALOG: {
        run.initParam = lParam;
        GetClientRect(dialog, &run.client);
        GetWindowRect(dialog, &run.outer);
        run.mappedClient = RECT{0, 0, 210, 120};
        MapDialogRect(dialog, &run.mappedClient);
        for (int id : {okId, labelId}) {
            const ItemLayout &layout = id == okId ? items[0] : items[2];
            // The dialog manager converts the origin and the size, each on
            // its own; the right and bottom edges follow from them.
            RECT mapped{layout.x, layout.y, layout.cx, layout.cy};
            MapDialogRect(dialog, &mapped);
            run.controls.emplace_back(controlRect(dialog, id), mapped);
        }
        run.ownerDisabled = run.owner && !IsWindowEnabled(run.owner);
        switch (run.ending) {
        case DialogRun::Ending::Enter:
            PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
            break;
        case DialogRun::Ending::Escape:
            PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case DialogRun::Ending::CloseBox:
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        return TRUE;
    }
    case WM_COMMAND:
        run.commands.push_back(wParam);
        if (LOWORD(wParam) == okId) {
            EndDialog(dialog, okId);
        } else if (LOWORD(wParam) == IDCANCEL) {
            if (run.keepOpenOnCancel && ++run.escapesSeen == 1) {
                // Ignored once, as the program's About box ignores it; the
                // dialog stays open and then takes Enter.
                PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
            } else {
                EndDialog(dialog, IDCANCEL);
            }
        }
        return TRUE;
    case WM_CLOSE:
        ++run.closes;
        EndDialog(dialog, 77);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR runDialog(DialogRun &run, HWND owner = nullptr)
{
    current = &run;
    run.owner = owner;
    TemplateWriter writer = aboutLikeTemplate(dialogStyle);
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), writer.data(), owner,
                                   dialogProcedure, 0x5151);
}

TEST(Dialogs, ControlsSitWhereTheTemplateFontsDialogUnitsPutThem)
{
    DialogRun run;
    ASSERT_EQ(runDialog(run), okId);
    EXPECT_EQ(run.initParam, 0x5151);
    EXPECT_EQ(run.client.right, run.mappedClient.right);
    EXPECT_EQ(run.client.bottom, run.mappedClient.bottom);
    ASSERT_EQ(run.controls.size(), 2u);
    for (const auto &control : run.controls) {
        EXPECT_EQ(control.first.left, control.second.left);
        EXPECT_EQ(control.first.top, control.second.top);
        EXPECT_EQ(control.first.right - control.first.left, control.second.right);
        EXPECT_EQ(control.first.bottom - control.first.top, control.second.bottom);
    }
    // Dialog units are not pixels: 210 units across is more than 210 pixels
    // for any font of 9 points.
    EXPECT_GT(run.client.right, 210);

    // The frame is the one a modal-frame dialog with a caption has.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, dialogStyle, FALSE, WS_EX_DLGMODALFRAME);
    EXPECT_EQ(run.outer.right - run.outer.left, run.client.right + (frame.right - frame.left));
    EXPECT_EQ(run.outer.bottom - run.outer.top, run.client.bottom + (frame.bottom - frame.top));
}

TEST(Dialogs, EnterPressesTheDefaultButton)
{
    DialogRun run;
    run.ending = DialogRun::Ending::Enter;
    EXPECT_EQ(runDialog(run), okId);
    ASSERT_FALSE(run.commands.empty());
    EXPECT_EQ(LOWORD(run.commands.front()), okId);
    EXPECT_EQ(HIWORD(run.commands.front()), BN_CLICKED);
}

TEST(Dialogs, EscapeSendsCancelWhichTheProcedureMayIgnore)
{
    DialogRun run;
    run.ending = DialogRun::Ending::Escape;
    EXPECT_EQ(runDialog(run), okId);
    ASSERT_EQ(run.commands.size(), 2u);
    EXPECT_EQ(LOWORD(run.commands[0]), IDCANCEL);
    EXPECT_EQ(LOWORD(run.commands[1]), okId);
}

TEST(Dialogs, TheCloseBoxArrivesAsWmClose)
{
    DialogRun run;
    run.ending = DialogRun::Ending::CloseBox;
    EXPECT_EQ(runDialog(run), 77);
    EXPECT_EQ(run.closes, 1);
}

TEST(Dialogs, TheOwnerIsDisabledWhileTheDialogRunsAndEnabledAfter)
{
    HWND owner = user_test::createPopup(10, 10, 300, 300);
    ASSERT_NE(owner, nullptr);
    DialogRun run;
    EXPECT_EQ(runDialog(run, owner), okId);
    EXPECT_TRUE(run.ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST(Dialogs, EndDialogOnAWindowThatIsNoDialogFails)
{
    HWND window = user_test::createPopup(0, 0, 10, 10);
    EXPECT_FALSE(EndDialog(window, 1));
    DestroyWindow(window);
}

}  // namespace
