// The pointer hot spots: hover texts on the buttons' inclusive bounds, the
// button presses, volume steps on the gauges with what reaches the mixer,
// and seeking on the progress bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/front_panel.h"
#include "catalog/media_catalog.h"
#include "panel/hot_spots.h"
#include "panel/window_identifiers.h"
#include "tests/app/support/program_harness.h"
#include "tests/support/owner_window.h"

namespace {

using hp::apptest::ProgramHarness;

LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

class HotSpots : public ::testing::Test {
protected:
    void SetUp() override { program_.writeSettings("[CONFIG]\r\nGraphicEffect=0\r\n"); }

    void start(int queued = 0)
    {
        std::string playlist;
        for (int i = 0; i < queued; ++i)
            playlist += program_.writeMp3("track" + std::to_string(i) + ".mp3") + "\r\n";
        program_.writePlaylist(playlist);
        program_.startPanel();
    }

    void move(int x, int y) { send(WM_MOUSEMOVE, x, y); }
    void press(int x, int y) { send(WM_LBUTTONDOWN, x, y); }

    void send(UINT message, int x, int y)
    {
        const HWND window = owner_.handle();
        frontPanel.handleButtons(window, message, 0, at(x, y));
        frontPanel.handleGaugeClick(window, message, 0, at(x, y));
        frontPanel.handleSeekClick(window, message, 0, at(x, y));
    }

    // Commands the handlers posted to the window, in order.
    std::vector<WPARAM> postedCommands()
    {
        std::vector<WPARAM> commands;
        MSG message;
        while (PeekMessageA(&message, owner_.handle(), WM_COMMAND, WM_COMMAND, PM_REMOVE))
            commands.push_back(message.wParam);
        return commands;
    }

    static size_t count(UINT command)
    {
        size_t found = 0;
        for (const auto &call : hp::testing::recordingMci().calls())
            found += call.command == command;
        return found;
    }

    ProgramHarness program_;
    hp::test::OwnerWindow owner_;
};

TEST_F(HotSpots, HoverTextsFollowTheInclusiveBoundsOfEachButton)
{
    start();
    const std::string stop = "Stop the Playing Music.";
    const std::string play = "Play a Choose Music.";
    const std::string next = "Play the Next Music.";
    const std::string previous = "Play the Previous Music.";
    const std::string quit = "Hollyphone End.";
    const std::string elsewhere = "Happy New Christmas";
    struct Case {
        int x;
        int y;
        const std::string &text;
    };
    const Case cases[] = {
        {450, 338, stop},     {474, 338, stop},     {475, 338, elsewhere}, {449, 338, elsewhere},
        {450, 353, stop},     {450, 354, elsewhere}, {450, 337, elsewhere},
        {509, 411, play},     {572, 452, play},     {573, 452, elsewhere},
        {486, 305, next},     {510, 321, next},     {510, 322, elsewhere}, {485, 305, elsewhere},
        {436, 377, previous}, {460, 393, previous}, {461, 393, elsewhere},
        {586, 320, quit},     {601, 331, quit},     {601, 332, elsewhere}, {585, 320, elsewhere},
        {0, 0, elsewhere},    {65535, 65535, elsewhere},
    };
    for (const Case &c : cases) {
        move(c.x, c.y);
        EXPECT_EQ(std::string(frontPanel.statusText), c.text) << c.x << "," << c.y;
        EXPECT_EQ(pointerPos.x, c.x);
        EXPECT_EQ(pointerPos.y, c.y);
    }
    // While a track plays the hint does not replace the play time.
    frontPanel.isPlaying = 1;
    lstrcpyA(frontPanel.statusText, "[Play] 00:07");
    move(460, 340);
    EXPECT_EQ(std::string(frontPanel.statusText), "[Play] 00:07");
}

TEST_F(HotSpots, PressesOnTheButtons)
{
    start(5);
    ProgramHarness::setTrackLengthMilliseconds(241000);

    // Stop while stopped: only the text changes.
    press(460, 345);
    EXPECT_EQ(std::string(frontPanel.statusText), "Moving this Window");
    EXPECT_EQ(count(MCI_STOP), 0u);
    EXPECT_EQ(frontPanel.isPlaying, 0);

    // Previous at the first item wraps to the last and leaves the text.
    lstrcpyA(frontPanel.statusText, "untouched");
    press(440, 380);
    EXPECT_EQ(frontPanel.currentIndex, 4);
    EXPECT_EQ(std::string(frontPanel.statusText), "untouched");

    // Play starts the current item and says so at once.
    press(540, 430);
    EXPECT_EQ(frontPanel.isPlaying, 1);
    EXPECT_EQ(frontPanel.elapsedSeconds, 0);
    EXPECT_EQ(frontPanel.trackSeconds, 241);
    EXPECT_EQ(std::string(frontPanel.statusText), "Moving this Window");
    EXPECT_EQ(count(MCI_PLAY), 1u);

    // Stop while playing.
    frontPanel.elapsedSeconds = 33;
    press(460, 345);
    EXPECT_EQ(frontPanel.isPlaying, 0);
    EXPECT_EQ(frontPanel.elapsedSeconds, 0);
    EXPECT_GE(count(MCI_STOP), 1u);

    // Next and quit are posted as commands.
    EXPECT_TRUE(postedCommands().empty());
    press(498, 313);
    press(593, 325);
    EXPECT_EQ(postedCommands(), (std::vector<WPARAM>{commandNextTrack, commandQuit}));
}

TEST_F(HotSpots, PreviousOnAnEmptyQueueStaysAtZero)
{
    start(0);
    press(440, 380);
    EXPECT_EQ(frontPanel.currentIndex, 0);
    EXPECT_EQ(frontPanel.isPlaying, 0);
}

TEST_F(HotSpots, GaugePressesStepTowardThePointerAndSetTheMixer)
{
    const hp::apptest::MixerLines lines = program_.addMixerDevice("Mixer", 1, 1, 1);
    start();
    struct Case {
        const char *name;
        int32_t FrontPanel::*field;
        hp::testing::ScriptedControl *control;
        int32_t value;
        int x;
        int y;
        int32_t after;
        std::string status;
    };
    const Case cases[] = {
        {"CD on the level", &FrontPanel::cdVolume, lines.cd, 32768, 564, 176, 32768, "CD音量  50％"},
        {"CD below", &FrontPanel::cdVolume, lines.cd, 32768, 557, 177, 32268, "CD音量  49％"},
        {"CD above", &FrontPanel::cdVolume, lines.cd, 32768, 571, 175, 33268, "CD音量  50％"},
        {"CD full on its line", &FrontPanel::cdVolume, lines.cd, 65535, 560, 67, 65535,
         "CD音量  99％"},
        {"CD top row", &FrontPanel::cdVolume, lines.cd, 65237, 560, 67, 65737, "CD音量 100％"},
        {"CD bottom row", &FrontPanel::cdVolume, lines.cd, 1, 560, 287, -499, "CD音量   0％"},
        {"MIDI top row", &FrontPanel::midiVolume, lines.midi, 65237, 540, 26, 65737,
         "Midi音量 100％"},
        {"MIDI full stays", &FrontPanel::midiVolume, lines.midi, 65238, 540, 26, 65238,
         "Midi音量  99％"},
        {"MIDI bottom row", &FrontPanel::midiVolume, lines.midi, 1, 533, 246, -499,
         "Midi音量   0％"},
        {"Wave top row", &FrontPanel::waveVolume, lines.wave, 65239, 522, 66, 65739,
         "Wave音量 100％"},
        {"Wave bottom row", &FrontPanel::waveVolume, lines.wave, 1, 504, 288, -499,
         "Wave音量   0％"},
        {"Wave empty", &FrontPanel::waveVolume, lines.wave, 0, 510, 100, 500, "Wave音量   0％"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        frontPanel.*c.field = c.value;
        const int setsBefore[] = {lines.wave->setCount(), lines.midi->setCount(),
                                  lines.cd->setCount()};
        press(c.x, c.y);
        EXPECT_EQ(frontPanel.*c.field, c.after);
        EXPECT_EQ(std::string(frontPanel.statusText), c.status);
        const int setsAfter[] = {lines.wave->setCount(), lines.midi->setCount(),
                                 lines.cd->setCount()};
        const hp::testing::ScriptedControl *controls[] = {lines.wave, lines.midi, lines.cd};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(setsAfter[i] - setsBefore[i], controls[i] == c.control ? 1 : 0) << i;
        if (c.after >= 0 && c.after <= 65535) {
            EXPECT_EQ(c.control->values()[0], c.after);
        }
    }
    // Just outside every gauge nothing is set.
    const int setsBefore = lines.wave->setCount() + lines.midi->setCount() + lines.cd->setCount();
    for (POINT p : {POINT{556, 100}, POINT{572, 100}, POINT{560, 66}, POINT{560, 288},
                    POINT{548, 100}, POINT{523, 100}, POINT{503, 100}, POINT{510, 289}})
        press(p.x, p.y);
    EXPECT_EQ(lines.wave->setCount() + lines.midi->setCount() + lines.cd->setCount(),
              setsBefore);
}

TEST_F(HotSpots, SeekingRestartsTheTrackAtTheChosenSecondOnlyWhilePlaying)
{
    start(1);
    ProgramHarness::setTrackLengthMilliseconds(241000);
    press(320, 210);  // stopped: nothing happens
    EXPECT_EQ(frontPanel.elapsedSeconds, 0);
    EXPECT_EQ(count(MCI_PLAY), 0u);

    press(540, 430);
    ASSERT_EQ(frontPanel.isPlaying, 1);
    ASSERT_EQ(frontPanel.trackSeconds, 241);
    struct Case {
        int x;
        int y;
        int32_t second;
    };
    for (const Case &c : {Case{236, 207, 0}, Case{388, 214, 241}, Case{312, 210, 120}}) {
        SCOPED_TRACE(c.x);
        hp::testing::recordingMci().reset();
        ProgramHarness::setTrackLengthMilliseconds(241000);
        press(c.x, c.y);
        EXPECT_EQ(frontPanel.elapsedSeconds, c.second);
        EXPECT_EQ(frontPanel.isPlaying, 1);
        std::vector<DWORD> from;
        for (const auto &call : hp::testing::recordingMci().calls()) {
            if (call.command == MCI_PLAY)
                from.push_back(call.from);
        }
        EXPECT_EQ(from, std::vector<DWORD>{static_cast<DWORD>(c.second) * 1000});
    }
    // Just outside the bar.
    frontPanel.elapsedSeconds = 7;
    press(235, 210);
    press(389, 210);
    press(300, 215);
    press(300, 206);
    EXPECT_EQ(frontPanel.elapsedSeconds, 7);
}

}  // namespace
