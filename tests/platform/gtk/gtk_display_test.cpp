// The GTK display, end to end: the probe program (Win32 calls only) runs on
// a private Xvfb; xdotool plays the user and screenshots show what is on
// the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "x_session.h"

namespace {

using namespace std::chrono_literals;
using gtk_test::ChildProcess;
using gtk_test::XSession;

// Where the probe puts its window, and the colours it paints.
constexpr int windowLeft = 100;
constexpr int windowTop = 120;
constexpr int windowWidth = 320;
constexpr int windowHeight = 240;
constexpr uint32_t backgroundColor = 0x204080;
constexpr uint32_t red = 0xFF0000;
constexpr uint32_t green = 0x00FF00;

std::string hexOf(const std::string &bytes)
{
    std::string hex;
    char digits[3];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        hex += digits;
    }
    return hex;
}

std::vector<long> numbersIn(const std::string &line)
{
    std::vector<long> numbers;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        char *end = nullptr;
        const long value = std::strtol(word.c_str(), &end, 10);
        if (end && *end == '\0' && !word.empty())
            numbers.push_back(value);
    }
    return numbers;
}

class GtkDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *tool : {"Xvfb", "xdotool", "import"}) {
            if (!gtk_test::haveProgram(tool))
                GTEST_SKIP() << tool << " is not installed: the GTK display cannot be tested here";
        }
        session_ = std::make_unique<XSession>();
        ASSERT_TRUE(session_->running()) << "Xvfb did not start";
        probe_ = std::make_unique<ChildProcess>(std::vector<std::string>{HP_GTK_PROBE},
                                                session_->environment());
        ASSERT_TRUE(probe_->started());
        expectLine("READY", 15s);
        expectLine("PAINTED");
    }

    std::string transcript() const
    {
        std::string all;
        for (const std::string &line : probe_->transcript())
            all += "  " + line + "\n";
        return all;
    }

    // The next probe line with this prefix; fails the test when it does not come.
    std::string expectLine(const std::string &prefix, std::chrono::milliseconds timeout = 5s)
    {
        const std::string line = probe_->waitForLine(prefix, timeout);
        EXPECT_FALSE(line.empty()) << "no \"" << prefix << "\" from the probe; it said:\n"
                                   << transcript();
        return line;
    }

    // A line of this kind that the probe writes from now on.
    void expectFreshLine(const std::string &prefix, const char *why)
    {
        while (!probe_->waitForLine(prefix, 0ms).empty()) {
        }
        EXPECT_FALSE(probe_->waitForLine(prefix, 3s).empty()) << why << "\n" << transcript();
    }

    void rightClickAt(int x, int y)
    {
        session_->xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "3"});
        expectLine("RBUTTONDOWN");
        gtk_test::pause(400ms);  // the menu maps and takes the keyboard
    }

    std::unique_ptr<XSession> session_;
    std::unique_ptr<ChildProcess> probe_;
};

TEST_F(GtkDisplay, TheBorderlessWindowOpensAtItsPlaceAndShowsWhatItPainted)
{
    expectLine("FRAMES", 5s);  // the animation timer runs and draws
    const auto shot = session_->screenshot();
    ASSERT_GT(shot.width, 0) << "no screenshot";
    // No frame: the client area starts at the window's position.
    EXPECT_EQ(shot.pixel(windowLeft, windowTop), backgroundColor);
    EXPECT_EQ(shot.pixel(windowLeft + 5, windowTop + 5), backgroundColor);
    EXPECT_EQ(shot.pixel(windowLeft + 10, windowTop + 10), red);
    EXPECT_EQ(shot.pixel(windowLeft + 29, windowTop + 29), red);
    EXPECT_EQ(shot.pixel(windowLeft + 30, windowTop + 30), backgroundColor);
    EXPECT_EQ(shot.pixel(windowLeft + windowWidth - 11, windowTop + windowHeight - 11), green);
    EXPECT_EQ(shot.pixel(windowLeft + windowWidth - 1, windowTop + windowHeight - 1),
              backgroundColor);
    EXPECT_NE(shot.pixel(windowLeft - 1, windowTop - 1), backgroundColor);
    EXPECT_NE(shot.pixel(windowLeft + windowWidth, windowTop + windowHeight), backgroundColor);
    // The square the timer draws through GetDC alternates between two colours.
    const uint32_t animated = shot.pixel(windowLeft + 50, windowTop + 20);
    EXPECT_TRUE(animated == 0xFFFF00 || animated == 0x00FFFF) << std::hex << animated;
}

TEST_F(GtkDisplay, AClickArrivesInClientCoordinates)
{
    session_->xdotool({"mousemove", std::to_string(windowLeft + 50), std::to_string(windowTop + 50),
                       "click", "1"});
    const std::string line = expectLine("LBUTTONDOWN");
    constexpr long leftButtonFlag = 1;  // MK_LBUTTON
    EXPECT_EQ(numbersIn(line), (std::vector<long>{50, 50, leftButtonFlag}));

    // A click is over before the move it asks for could start: the window
    // stays, and the next click arrives as well.
    gtk_test::pause(200ms);
    session_->xdotool({"mousemove", std::to_string(windowLeft + 200), std::to_string(windowTop + 150),
                       "click", "1"});
    EXPECT_EQ(numbersIn(expectLine("LBUTTONDOWN")), (std::vector<long>{200, 150, leftButtonFlag}));
    const auto shot = session_->screenshot();
    ASSERT_GT(shot.width, 0);
    EXPECT_EQ(shot.pixel(windowLeft + 15, windowTop + 15), red);
}

TEST_F(GtkDisplay, ARightClickShowsTheMenuAndTheChosenItemArrivesAsCommand)
{
    rightClickAt(windowLeft + 100, windowTop + 80);
    const auto menuShot = session_->screenshot();
    ASSERT_GT(menuShot.width, 0);
    EXPECT_NE(menuShot.pixel(windowLeft + 130, windowTop + 95), backgroundColor)
        << "a menu covers the window below and to the right of the pointer";
    session_->xdotool({"key", "a"});
    expectLine("MENU_CLOSED");
    // The choice is posted, so it comes after TrackPopupMenu has returned.
    EXPECT_EQ(expectLine("COMMAND"), "COMMAND 101");

    // A submenu, opened and chosen by mnemonics.
    rightClickAt(windowLeft + 100, windowTop + 80);
    session_->xdotool({"key", "s"});
    gtk_test::pause(300ms);
    session_->xdotool({"key", "b"});
    EXPECT_EQ(expectLine("COMMAND"), "COMMAND 102");
}

TEST_F(GtkDisplay, ADismissedMenuSendsNoCommand)
{
    rightClickAt(windowLeft + 100, windowTop + 80);
    session_->xdotool({"key", "Escape"});
    expectLine("MENU_CLOSED");
    session_->xdotool({"mousemove", std::to_string(windowLeft + 60), std::to_string(windowTop + 60),
                       "click", "1"});
    expectLine("LBUTTONDOWN");
    for (const std::string &line : probe_->transcript())
        EXPECT_EQ(line.rfind("COMMAND", 0), std::string::npos) << line;
}

TEST_F(GtkDisplay, TheAboutBoxOpensFromTheTemplateAndEnterClosesIt)
{
    rightClickAt(windowLeft + 100, windowTop + 80);
    session_->xdotool({"key", "i"});
    EXPECT_EQ(expectLine("COMMAND"), "COMMAND 103");
    const auto numbers = numbersIn(expectLine("ABOUT_OPEN"));
    ASSERT_EQ(numbers.size(), 6u);
    const long left = numbers[0], top = numbers[1], right = numbers[2], bottom = numbers[3];
    // The window rectangle is the client area with the caption and frame.
    EXPECT_EQ(right - left, numbers[4] + 6);
    EXPECT_EQ(bottom - top, numbers[5] + 25);
    EXPECT_GT(numbers[4], 210) << "the template's 210 dialog units are wider than 210 pixels";

    gtk_test::pause(500ms);
    const auto shot = session_->screenshot();
    ASSERT_GT(shot.width, 0);
    // The dialog covers the middle of its client area (its face is not the
    // probe's background).
    EXPECT_NE(shot.pixel((left + right) / 2, (top + bottom) / 2), backgroundColor);
    expectFreshLine("FRAMES", "the owner's animation timer runs while the dialog is open");
    session_->xdotool({"mousemove", std::to_string((left + right) / 2),
                       std::to_string(top + 40)});
    gtk_test::pause(200ms);
    session_->xdotool({"key", "Return"});
    EXPECT_EQ(expectLine("ABOUT_END"), "ABOUT_END 1005");
}

TEST_F(GtkDisplay, AMessageBoxTakesItsAnswerWhileTheOwnerKeepsAnimating)
{
    rightClickAt(windowLeft + 100, windowTop + 80);
    session_->xdotool({"key", "m"});
    EXPECT_EQ(expectLine("COMMAND"), "COMMAND 105");
    gtk_test::pause(500ms);
    expectFreshLine("FRAMES", "the owner's timer runs while the box is open");
    // A Yes/No box has no cancel: Escape leaves it open; Enter takes Yes.
    session_->xdotool({"key", "Escape"});
    gtk_test::pause(300ms);
    EXPECT_TRUE(probe_->waitForLine("BOX_END", 0ms).empty()) << transcript();
    session_->xdotool({"key", "Return"});
    EXPECT_EQ(expectLine("BOX_END"), "BOX_END 6");  // IDYES
}

TEST_F(GtkDisplay, AFileDroppedFromAnotherProgramArrivesAsItsWin32Path)
{
    ChildProcess source({HP_GTK_DRAG_SOURCE, "600", "100", "file:///tmp/hp-gtk-drop/%E6%9B%B2.mp3"},
                        session_->environment());
    ASSERT_FALSE(source.waitForLine("SOURCE_READY", 10s).empty());
    gtk_test::pause(300ms);
    session_->xdotool({"mousemove", "650", "150"});
    session_->xdotool({"mousedown", "1"});
    for (const auto &step : {std::pair{660, 160}, {620, 180}, {500, 200}, {300, 230}, {260, 222},
                             {250, 220}}) {
        session_->xdotool({"mousemove", std::to_string(step.first), std::to_string(step.second)});
        gtk_test::pause(150ms);
    }
    session_->xdotool({"mouseup", "1"});
    const std::string line = expectLine("DROP", 10s);
    const std::string expectedPath = "C:\\tmp\\hp-gtk-drop\\曲.mp3";
    EXPECT_EQ(line, "DROP 1 " + hexOf(expectedPath) + " at 150 100");
}

TEST_F(GtkDisplay, DraggingTheWindowMovesIt)
{
    session_->xdotool({"mousemove", std::to_string(windowLeft + 50), std::to_string(windowTop + 50)});
    session_->xdotool({"mousedown", "1"});
    expectLine("LBUTTONDOWN");
    gtk_test::pause(200ms);
    for (int step = 1; step <= 5; ++step) {
        session_->xdotool({"mousemove", std::to_string(windowLeft + 50 + step * 20),
                           std::to_string(windowTop + 50 + step * 20)});
        gtk_test::pause(100ms);
    }
    session_->xdotool({"mouseup", "1"});
    gtk_test::pause(500ms);

    // The last position the window system reported.
    std::vector<long> last;
    for (std::string line = probe_->waitForLine("MOVE", 2s); !line.empty();
         line = probe_->waitForLine("MOVE", 300ms))
        last = numbersIn(line);
    ASSERT_EQ(last.size(), 4u) << transcript();
    EXPECT_EQ(last[0], windowLeft + 100);
    EXPECT_EQ(last[1], windowTop + 100);
    EXPECT_EQ(last[2], windowLeft + 100) << "GetWindowRect follows the move";
    EXPECT_EQ(last[3], windowTop + 100);
    const auto shot = session_->screenshot();
    ASSERT_GT(shot.width, 0);
    EXPECT_EQ(shot.pixel(windowLeft + 100 + 15, windowTop + 100 + 15), red);
}

TEST_F(GtkDisplay, QuitFromTheMenuClosesTheWindowAndEndsTheProgram)
{
    rightClickAt(windowLeft + 100, windowTop + 80);
    session_->xdotool({"key", "q"});
    EXPECT_EQ(expectLine("COMMAND"), "COMMAND 104");
    EXPECT_EQ(expectLine("EXIT"), "EXIT 0");
    EXPECT_EQ(probe_->waitForExit(5s), 0);
}

}  // namespace
