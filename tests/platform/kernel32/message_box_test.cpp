// MessageBoxA over the recording twin: what reaches the backend, the
// platform's defaults and the answers a box may give.
#include <gtest/gtest.h>

#include "platform/testing/twins.h"
#include "platform/win32.h"

namespace {

using hp::testing::messageBoxRecorder;

class MessageBoxTwin : public ::testing::Test {
protected:
    void SetUp() override { messageBoxRecorder().reset(); }
};

TEST_F(MessageBoxTwin, RecordsEachBoxAsShownWithThePlatformsDefaultCaption)
{
    EXPECT_EQ(MessageBoxA(nullptr, "画像効果をONにしますか？", "Hollyphoneへようこそ！", MB_YESNO),
              IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK | MB_ICONWARNING), IDOK);
    const auto &calls = messageBoxRecorder().calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].owner, nullptr);
    EXPECT_EQ(calls[0].text, "画像効果をONにしますか？");
    EXPECT_EQ(calls[0].caption, "Hollyphoneへようこそ！");
    EXPECT_EQ(calls[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(calls[1].text, "");
    EXPECT_EQ(calls[1].caption, "エラー");
    EXPECT_EQ(calls[1].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
}

TEST_F(MessageBoxTwin, DismissingGivesEachTypesCancelAnswer)
{
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_ICONQUESTION), IDNO);
}

TEST_F(MessageBoxTwin, ScriptedAnswersAreKeptToTheButtonsOfTheBox)
{
    messageBoxRecorder().setAnswer(IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO), IDYES);
    // A YES is no answer an OK box can give: its default button stands.
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OKCANCEL | 0x100), IDCANCEL);  // second default
    messageBoxRecorder().reset();
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO), IDNO);
    EXPECT_EQ(messageBoxRecorder().calls().size(), 1u);
}

TEST_F(MessageBoxTwin, AnUnknownBoxTypeIsRefusedWithoutShowingAnything)
{
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", 7), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MSGBOX_STYLE));
    EXPECT_TRUE(messageBoxRecorder().calls().empty());
}

}  // namespace
