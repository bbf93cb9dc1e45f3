// Files dropped on a window: WM_DROPFILES with the paths in the program's
// code page, the platform's truncation, the drop point, and DragFinish.
#include <gtest/gtest.h>

#include <string>

#include "headless_support.h"
#include "platform/shell32/drop_table.h"

namespace {

using headless_test::display;

struct DropReading {
    UINT count = 0;
    std::vector<std::string> paths;
    UINT fullLength = 0;
    std::string truncated;
    UINT truncatedLength = 0;
    UINT pastTheEnd = 1;
    POINT point{-1, -1};
    BOOL inClient = FALSE;
};

DropReading reading;

LRESULT dropProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DROPFILES)
        return DefWindowProcA(window, message, wParam, lParam);
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    reading.count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    char path[MAX_PATH];
    for (UINT i = 0; DragQueryFileA(drop, i, path, MAX_PATH); ++i)
        reading.paths.emplace_back(path);
    reading.fullLength = DragQueryFileA(drop, 0, nullptr, 0);
    char small[6];
    reading.truncatedLength = DragQueryFileA(drop, 0, small, sizeof small);
    reading.truncated = small;
    reading.pastTheEnd = DragQueryFileA(drop, reading.count, path, MAX_PATH);
    reading.inClient = DragQueryPoint(drop, &reading.point);
    DragFinish(drop);
    return 0;
}

class HeadlessDrops : public ::testing::Test {
protected:
    void SetUp() override
    {
        reading = DropReading{};
        headless_test::log().clear();
        window_ = headless_test::createWindow(dropProcedure, RECT{0, 0, 200, 200});
        DragAcceptFiles(window_, TRUE);
        ShowWindow(window_, SW_SHOW);
        headless_test::pump();
    }
    void TearDown() override { DestroyWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(HeadlessDrops, DroppedPathsArriveAsWin32PathsInTheProgramsCodePage)
{
    const size_t liveBefore = hp::shell32::DropTable::instance().liveCount();
    display().drop(window_, {u8"/tmp/曲 [歌手] タイトル.mp3", "/home/user/song.mid"}, POINT{15, 25});
    headless_test::pump();

    EXPECT_EQ(reading.count, 2u);
    ASSERT_EQ(reading.paths.size(), 2u);
    EXPECT_EQ(reading.paths[0], "C:\\tmp\\曲 [歌手] タイトル.mp3");
    EXPECT_EQ(reading.paths[1], "C:\\home\\user\\song.mid");
    EXPECT_EQ(reading.fullLength, reading.paths[0].size());
    EXPECT_EQ(reading.pastTheEnd, 0u);
    EXPECT_EQ(reading.point.x, 15);
    EXPECT_EQ(reading.point.y, 25);
    EXPECT_TRUE(reading.inClient);
    EXPECT_EQ(hp::shell32::DropTable::instance().liveCount(), liveBefore)
        << "DragFinish released the drop";
}

TEST_F(HeadlessDrops, AShortBufferGetsAllButTheLastByteAndTheCountCopied)
{
    display().drop(window_, {"/music/abcdefgh.mp3"}, POINT{0, 0});
    headless_test::pump();
    EXPECT_EQ(reading.truncated, "C:\\mu");
    EXPECT_EQ(reading.truncatedLength, 5u);
}

TEST_F(HeadlessDrops, AWindowThatStoppedAcceptingFilesGetsNoDrop)
{
    DragAcceptFiles(window_, FALSE);
    display().drop(window_, {"/music/x.mp3"}, POINT{0, 0});
    headless_test::pump();
    EXPECT_TRUE(headless_test::logged(WM_DROPFILES).empty());
}

TEST_F(HeadlessDrops, AnUnfinishedDropStaysCounted)
{
    const size_t liveBefore = hp::shell32::DropTable::instance().liveCount();
    // DefWindowProcA leaves the drop alone.
    HWND other = headless_test::createWindow({}, RECT{0, 0, 10, 10});
    DragAcceptFiles(other, TRUE);
    ShowWindow(other, SW_SHOW);
    display().drop(other, {"/music/x.mp3"}, POINT{0, 0});
    headless_test::pump();
    EXPECT_EQ(hp::shell32::DropTable::instance().liveCount(), liveBefore + 1);
    DestroyWindow(other);
}

}  // namespace
