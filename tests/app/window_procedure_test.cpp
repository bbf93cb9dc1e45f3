// The program's window and window procedure, run by WinMain on the headless
// display: the window itself, the play clock and the end of a track,
// moving through the queue, the title line, drops, the commands, the move
// that every press starts, and the session: its end, files handed over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/front_panel.h"
#include "app/hand_over.h"
#include "catalog/media_catalog.h"
#include "panel/hot_spots.h"
#include "platform/shell32/drop_table.h"
#include "tests/app/support/paint_canvas.h"
#include "tests/app/support/program_harness.h"

namespace {

using hp::apptest::ProgramHarness;
using hp::apptest::queuedPaths;

const std::string effectOff = "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n";
const std::string effectOn = "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n";

// The MCI commands of one kind that reached the drivers.
std::vector<hp::testing::MciCall> mciCalls(UINT command)
{
    std::vector<hp::testing::MciCall> found;
    for (const auto &call : hp::testing::recordingMci().calls()) {
        if (call.command == command)
            found.push_back(call);
    }
    return found;
}

// Files opened for playback, in order (the start-up's waveaudio test aside).
std::vector<std::string> playedFiles(size_t fromCall = 0)
{
    std::vector<std::string> files;
    const auto &calls = hp::testing::recordingMci().calls();
    for (size_t i = fromCall; i < calls.size(); ++i) {
        if (calls[i].command == MCI_OPEN && !calls[i].openElement.empty())
            files.push_back(calls[i].openElement);
    }
    return files;
}

// A queue of `count` MP3 files named "[Artist n] Title n.mp3" in the playlist.
std::vector<std::string> queueFiles(const ProgramHarness &program, int count)
{
    std::vector<std::string> paths;
    std::string playlist;
    for (int i = 0; i < count; ++i) {
        paths.push_back(program.writeMp3("[Artist " + std::to_string(i) + "] Title " +
                                         std::to_string(i) + ".mp3"));
        playlist += paths.back() + "\r\n";
    }
    program.writePlaylist(playlist);
    return paths;
}

TEST(MainWindow, ABorderlessSkinnedWindowCentredOnTheWorkAreaUntilQuit)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    program.display().setScreen(SIZE{1600, 1200}, RECT{0, 0, 1401, 1033});
    const hp::apptest::BitmapPicture &background = hp::apptest::skinBackground();
    ASSERT_EQ(background.width(), 632) << "image/swbase1.bmp is readable";

    hp::testing::HeadlessWindow seen;
    std::string status;
    program.at(500, [&] {
        seen = *program.display().window(mainWindow);
        status = frontPanel.statusText;
    });
    program.quitAt(1000);
    program.startPanel();
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_EQ(program.runProgram(), 0);

    EXPECT_EQ(seen.title, "** Hollyphone *** Ver1.00  VELDAN **");
    EXPECT_TRUE(seen.visible);
    EXPECT_TRUE(seen.acceptsDrops);
    EXPECT_FALSE(seen.dialog);
    EXPECT_EQ(seen.clientRect.right - seen.clientRect.left, 632);
    EXPECT_EQ(seen.clientRect.bottom - seen.clientRect.top, 500);
    // No frame: the client area is the window, centred by halves.
    EXPECT_EQ(seen.clientRect.left, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 316);
    EXPECT_EQ(seen.clientRect.top, GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 250);
    EXPECT_EQ(status, "Happy New Christmas");
    // Where no paint step draws, the class brush shows the skin.
    for (POINT p : {POINT{5, 5}, POINT{620, 490}, POINT{300, 400}})
        EXPECT_EQ(seen.shownPixel(p.x, p.y), background.pixel(p.x, p.y)) << p.x << "," << p.y;
    // The background brush and bitmap are gone when WinMain returns.
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_FALSE(IsWindow(mainWindow));
}

// Rows of a gauge on the screen that show the sheet's column at sourceX.
int rowsShowing(const hp::testing::HeadlessWindow &shown, int left, int top, int width,
                int height, int sourceX, int sourceY)
{
    int rows = 0;
    for (int row = 0; row < height; ++row) {
        bool same = true;
        for (int x = 0; x < width; ++x)
            same = same && shown.shownPixel(left + x, top + row) ==
                               hp::apptest::spriteSheet().pixel(sourceX + x, sourceY + row);
        rows += same;
    }
    return rows;
}

TEST(MainWindow, TheFirstPaintShowsTheGaugesAtTheMixersValuesAndTheQueuedTitle)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    program.addMixerDevice("Mixer", 65535, 32768, 0);
    program.writePlaylist(program.writeMp3("[Band] Song.mp3") + "\r\n");
    hp::testing::HeadlessWindow seen;
    program.at(500, [&] { seen = *program.display().window(mainWindow); });
    program.quitAt(1000);
    program.runProgram();

    // Full, half and empty: rows of the full column below the level line.
    EXPECT_EQ(rowsShowing(seen, 504, 66, 18, 221, 131, 72), 221) << "Wave";
    EXPECT_EQ(rowsShowing(seen, 533, 26, 14, 219, 186, 74), 219 - 109) << "MIDI";
    EXPECT_EQ(rowsShowing(seen, 533, 26, 14, 219, 164, 74), 109) << "MIDI";
    EXPECT_EQ(rowsShowing(seen, 557, 67, 14, 219, 164, 74), 219) << "CD";
    // The title line holds text of the panel's green on its pink cells.
    int green = 0;
    int pink = 0;
    for (int y = 140; y < 157; ++y) {
        for (int x = 193; x < 193 + 27 * 8; ++x) {
            green += seen.shownPixel(x, y) == 0x008000;
            pink += seen.shownPixel(x, y) == 0xFFCCCC;
        }
    }
    EXPECT_GT(green, 40);
    EXPECT_GT(pink, 1000);
}

TEST(MainWindow, TheEffectSettingDecidesTheAnimationTimerAndTheMarquee)
{
    struct Case {
        const std::string &settings;
        uint32_t framesAfterFiveSeconds;
        int marqueeOn;
    };
    for (const Case &c : {Case{effectOn, 50, 1}, Case{effectOff, 0, 0}}) {
        ProgramHarness program;
        program.writeSettings(c.settings);
        uint32_t frames = 99;
        int marquee = 99;
        program.at(5050, [&] {
            frames = frontPanel.frameCount;
            marquee = frontPanel.marqueeOn;
        });
        program.quitAt(5100);
        program.runProgram();
        EXPECT_EQ(frames, c.framesAfterFiveSeconds);
        EXPECT_EQ(marquee, c.marqueeOn);
    }
}

// What the program shows and does at one moment.
struct Moment {
    int currentIndex = -1;
    int isPlaying = -1;
    int elapsedSeconds = -1;
    int trackSeconds = -1;
    std::string status;
    std::string title;
    size_t mciCalls = 0;
};

Moment now()
{
    Moment moment;
    moment.currentIndex = frontPanel.currentIndex;
    moment.isPlaying = frontPanel.isPlaying;
    moment.elapsedSeconds = frontPanel.elapsedSeconds;
    moment.trackSeconds = frontPanel.trackSeconds;
    moment.status = frontPanel.statusText;
    moment.title = frontPanel.titleText;
    moment.mciCalls = hp::testing::recordingMci().calls().size();
    return moment;
}

TEST(PlayClock, TheNextTrackStartsOnTheTickThatMakesTheClockTwoSecondsPastTheLength)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    const auto files = queueFiles(program, 3);
    ProgramHarness::setTrackLengthMilliseconds(180000);
    Moment beforeEnd;
    Moment afterEnd;
    program.clickAt(1000, hp::apptest::playButtonPoint);
    program.at(1000 + 181500, [&] { beforeEnd = now(); });
    program.at(1000 + 182500, [&] { afterEnd = now(); });
    program.quitAt(1000 + 183000);
    program.runProgram();

    EXPECT_EQ(beforeEnd.currentIndex, 0);
    EXPECT_EQ(beforeEnd.isPlaying, 1);
    EXPECT_EQ(beforeEnd.trackSeconds, 180);
    EXPECT_EQ(beforeEnd.elapsedSeconds, 181);
    EXPECT_EQ(beforeEnd.status, "[Play] 03:01");

    EXPECT_EQ(afterEnd.currentIndex, 1);
    EXPECT_EQ(afterEnd.isPlaying, 1);
    EXPECT_EQ(afterEnd.elapsedSeconds, 0);
    EXPECT_EQ(afterEnd.status, "[Play] 03:02") << "the tick that ended the track";
    EXPECT_EQ(playedFiles(beforeEnd.mciCalls), std::vector<std::string>{files[1]});
}

TEST(PlayClock, MinutesAreNotLimitedToTwoDigits)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    queueFiles(program, 1);
    ProgramHarness::setTrackLengthMilliseconds(9000000);
    std::vector<std::string> shown;
    program.clickAt(1000, hp::apptest::playButtonPoint);
    for (int second : {1, 65, 599, 600, 6000})
        program.at(1000 + second * 1000 + 500, [&] { shown.push_back(frontPanel.statusText); });
    program.quitAt(1000 + 6001000);
    program.runProgram();
    EXPECT_EQ(shown, (std::vector<std::string>{"[Play] 00:01", "[Play] 01:05", "[Play] 09:59",
                                               "[Play] 10:00", "[Play] 100:00"}));
}

TEST(Queue, NextAndPreviousWhileStoppedMoveWithWrapAndRepaintTheTitle)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    queueFiles(program, 3);
    const POINT next = hp::apptest::nextButtonPoint;
    const POINT previous = hp::apptest::previousButtonPoint;
    struct Step {
        POINT button;
        int index;
    };
    const Step steps[] = {{next, 1}, {next, 2}, {next, 0}, {previous, 2}, {previous, 1},
                          {previous, 0}, {previous, 2}};
    std::vector<Moment> seen;
    uint64_t time = 1000;
    for (const Step &step : steps) {
        program.clickAt(time, step.button);
        program.at(time + 500, [&] { seen.push_back(now()); });
        time += 1000;
    }
    program.quitAt(time);
    program.runProgram();

    ASSERT_EQ(seen.size(), std::size(steps));
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].currentIndex, steps[i].index);
        EXPECT_EQ(seen[i].isPlaying, 0);
        const std::string n = std::to_string(steps[i].index);
        EXPECT_EQ(seen[i].title, "Title " + n + "／Artist " + n + "\n");
    }
    EXPECT_TRUE(playedFiles().empty()) << "moving while stopped plays nothing";
}

TEST(Queue, AnEmptyQueueStaysAtZeroAndNothingPlays)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    std::vector<Moment> seen;
    program.clickAt(1000, hp::apptest::playButtonPoint);
    program.clickAt(2000, hp::apptest::nextButtonPoint);
    program.clickAt(3000, hp::apptest::previousButtonPoint);
    program.at(3500, [&] { seen.push_back(now()); });
    program.quitAt(4000);
    program.runProgram();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].currentIndex, 0);
    EXPECT_EQ(seen[0].isPlaying, 0);
    EXPECT_EQ(seen[0].title, "");
    EXPECT_EQ(seen[0].trackSeconds, 30000);
    EXPECT_TRUE(playedFiles().empty());
}

TEST(Queue, NextWhilePlayingOnTheLastItemPlaysTheFirst)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    const auto files = queueFiles(program, 2);
    ProgramHarness::setTrackLengthMilliseconds(60000);
    Moment seen;
    program.clickAt(1000, hp::apptest::nextButtonPoint);
    program.clickAt(2000, hp::apptest::playButtonPoint);
    program.clickAt(3000, hp::apptest::nextButtonPoint);
    program.at(5500, [&] { seen = now(); });
    program.quitAt(6000);
    program.runProgram();
    EXPECT_EQ(seen.currentIndex, 0);
    EXPECT_EQ(seen.isPlaying, 1);
    EXPECT_EQ(seen.elapsedSeconds, 2) << "the clock restarted with the new track";
    EXPECT_EQ(playedFiles(), (std::vector<std::string>{files[1], files[0]}));
    EXPECT_EQ(mciCalls(MCI_STOP).empty(), false);
}

TEST(Queue, ANextEntryThatCannotBeFoundLeavesPlaybackStopped)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    const std::string song = program.writeMp3("[A] Song.mp3");
    program.writePlaylist(song + "\r\n");
    ProgramHarness::setTrackLengthMilliseconds(95000);
    program.startPanel();
    // Lists take any id; this one names no entry.
    mediaCatalog.insertIntoList(playQueueList, appendPosition, 0x00ABCDEF, 0);
    Moment playing;
    Moment after;
    program.clickAt(1000, hp::apptest::playButtonPoint);
    program.at(3500, [&] { playing = now(); });
    program.clickAt(4000, hp::apptest::nextButtonPoint);
    program.at(7500, [&] { after = now(); });
    program.quitAt(8000);
    program.runProgram();

    EXPECT_EQ(playing.isPlaying, 1);
    EXPECT_EQ(playing.status, "[Play] 00:02");
    EXPECT_EQ(after.currentIndex, 1);
    EXPECT_EQ(after.isPlaying, 0);
    EXPECT_EQ(after.elapsedSeconds, 0) << "the play clock stopped";
    EXPECT_EQ(after.trackSeconds, 95) << "the length of the last track that played";
    EXPECT_EQ(after.status, "Moving this Window") << "the clock wrote nothing after the press";
}

TEST(Queue, AFileTheDeviceRefusesCountsAsAnEmptyTrackAndTheQueueMovesOn)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    const std::string song = program.writeMp3("[A] Song.mp3");
    const std::string tune = program.writeMidi("[B] Tune.mid");
    const std::string last = program.writeMp3("[C] Last.mp3");
    program.writePlaylist(song + "\r\n" + tune + "\r\n" + last + "\r\n");
    ProgramHarness::setTrackLengthMilliseconds(95000);
    hp::testing::recordingMci().setOpenResult("sequencer", MCIERR_DEVICE_NOT_READY);
    std::vector<Moment> seen;
    program.clickAt(1000, hp::apptest::playButtonPoint);
    program.clickAt(2000, hp::apptest::nextButtonPoint);
    program.at(2500, [&] { seen.push_back(now()); });
    program.at(4500, [&] { seen.push_back(now()); });
    program.quitAt(5000);
    program.runProgram();

    // The catalogue hands the entry to its handler and counts that as a
    // start; the refused device reports no length.
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].currentIndex, 1);
    EXPECT_EQ(seen[0].isPlaying, 1);
    EXPECT_EQ(seen[0].trackSeconds, 0);
    EXPECT_EQ(seen[1].currentIndex, 2) << "two seconds past a length of 0";
    EXPECT_EQ(playedFiles(), (std::vector<std::string>{song, tune, last}));
}

TEST(TitleLine, TitleAndArtistOrTheFileNameOrACdTrack)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    const std::string named = program.writeMp3("[Artist] Title.mp3");
    const std::string plain = program.writeMidi("Plain name.mid");
    program.writePlaylist(named + "\r\n" + plain + "\r\n");
    const int drive = hp::testing::scriptedDrives().addDrive("cd0");
    hp::testing::scriptedDrives().insertAudioDisc(drive, {60, 60, 60, 60, 60, 60, 60, 60});
    std::vector<std::string> titles;
    program.at(500, [&] { titles.push_back(frontPanel.titleText); });
    program.commandAt(1000, commandNextTrack);
    program.at(1500, [&] { titles.push_back(frontPanel.titleText); });
    program.commandAt(2000, commandAddAudioCds);
    // Track 7 of the disc is queue item 2 + 6.
    for (int step = 0; step < 7; ++step)
        program.commandAt(3000 + step * 100, commandNextTrack);
    program.at(4500, [&] { titles.push_back(frontPanel.titleText); });
    program.quitAt(5000);
    program.runProgram();

    EXPECT_EQ(titles, (std::vector<std::string>{"Title／Artist\n", "Plain name.mid",
                                                "トラック7／音楽CD [D:\\]"}));
    EXPECT_EQ(mediaCatalog.listCount(playQueueList), 10);
}

TEST(TitleLine, ACompositionLongerThanTheLineIsCutAtAWholeCharacter)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    program.startPanel();
    ValueText values[4] = {};
    lstrcpyA(values[0], "C:\\long.mp3");
    memset(values[1], 'A', 259);
    memset(values[2], 'T', 258);
    lstrcpyA(values[3], "");
    mediaCatalog.addEntry(mediaCatalog.findTypeId("MP3"), values, 4);
    mediaCatalog.insertIntoList(playQueueList, appendPosition,
                                mediaCatalog.entries[mediaCatalog.entryCount - 1].id, 0);
    std::string title;
    std::string status;
    program.at(500, [&] {
        title.assign(frontPanel.titleText, sizeof frontPanel.titleText);
        status = frontPanel.statusText;
    });
    program.quitAt(1000);
    program.runProgram();
    // 258 bytes of title; the full-width solidus would end at byte 260.
    EXPECT_EQ(title, std::string(258, 'T') + std::string(2, '\0'));
    EXPECT_EQ(status, "Happy New Christmas") << "the line next to the title is untouched";
}

TEST(Drops, RecognisedFilesJoinTheQueueInOrderAndEveryDropIsReleased)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    const auto &folder = program.workFolder();
    program.writeMp3("one.mp3");
    program.writeMidi("[X] two.mid");
    program.writeMp3("three.mp3");
    program.writeOther("notes.txt");
    const std::vector<std::string> dropped = {folder.pathOf("music/one.mp3"),
                                              folder.pathOf("music/notes.txt"),
                                              folder.pathOf("music/[X] two.mid"),
                                              folder.pathOf("music"),
                                              folder.pathOf("music/missing.mp3"),
                                              folder.pathOf("music/three.mp3")};
    const size_t dropsBefore = hp::shell32::DropTable::instance().liveCount();
    std::vector<std::string> afterFirst;
    std::vector<std::string> afterSecond;
    size_t liveDrops = 99;
    program.at(1000, [&] { program.display().drop(mainWindow, dropped, POINT{300, 300}); });
    program.at(1500, [&] { afterFirst = queuedPaths(); });
    program.at(2000, [&] {
        program.display().drop(mainWindow, {folder.pathOf("music/notes.txt")}, POINT{10, 10});
    });
    program.at(2500, [&] {
        afterSecond = queuedPaths();
        liveDrops = hp::shell32::DropTable::instance().liveCount();
    });
    program.quitAt(3000);
    program.runProgram();

    const std::vector<std::string> expected = {
        ProgramHarness::windowsPath(dropped[0]), ProgramHarness::windowsPath(dropped[2]),
        ProgramHarness::windowsPath(dropped[5])};
    EXPECT_EQ(afterFirst, expected);
    EXPECT_EQ(afterSecond, expected) << "an unrecognised file adds nothing";
    EXPECT_EQ(liveDrops, dropsBefore) << "each drop was finished";
}

TEST(Commands, TrayCommandsOpenTheCdDeviceOfTheirDriveLetter)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    struct Case {
        int command;
        const char *drive;
        DWORD door;
    };
    const Case cases[] = {{2020, "A:\\", MCI_SET_DOOR_OPEN},
                          {2023, "D:\\", MCI_SET_DOOR_OPEN},
                          {2053, "D:\\", MCI_SET_DOOR_CLOSED},
                          {2075, "Z:\\", MCI_SET_DOOR_CLOSED}};
    hp::testing::scriptedDrives().addDrive("cd0");
    std::vector<std::vector<hp::testing::MciCall>> calls;
    uint64_t time = 1000;
    for (const Case &c : cases) {
        program.at(time - 100, [] { hp::testing::recordingMci().reset(); });
        program.commandAt(time, c.command);
        program.at(time + 100, [&] { calls.push_back(hp::testing::recordingMci().calls()); });
        time += 1000;
    }
    program.quitAt(time);
    program.runProgram();

    ASSERT_EQ(calls.size(), std::size(cases));
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(cases[i].command);
        std::string opened;
        DWORD doorFlags = 0;
        for (const auto &call : calls[i]) {
            if (call.command == MCI_OPEN && call.deviceType == "cdaudio")
                opened = call.openElement;
            if (call.command == MCI_SET)
                doorFlags |= call.flags & (MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED);
        }
        EXPECT_EQ(opened, cases[i].drive);
        EXPECT_EQ(doorFlags, cases[i].door);
    }
}

TEST(Commands, AMixerDeviceCommandReadsItsVolumesAndMovesTheCheckMark)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    program.addMixerDevice("First", 10, 20, 30);
    program.addMixerDevice("Second", 40000, 50000, 60000);
    program.addMixerDevice("Third", 7, 8, 9);
    struct Seen {
        int device = -1;
        int wave = -1;
        int midi = -1;
        int cd = -1;
        std::vector<bool> checks;
    } seen;
    program.commandAt(1000, commandMixerFirst + 1);
    program.at(1500, [&] {
        seen.device = frontPanel.mixerDevice;
        seen.wave = frontPanel.waveVolume;
        seen.midi = frontPanel.midiVolume;
        seen.cd = frontPanel.cdVolume;
        const auto menu = hp::apptest::readMenu(popupMenu);
        for (const auto &item : menu[1].submenu)
            seen.checks.push_back(item.checked);
    });
    program.quitAt(2000);
    program.runProgram();
    EXPECT_EQ(seen.device, 1);
    EXPECT_EQ(seen.wave, 40000);
    EXPECT_EQ(seen.midi, 50000);
    EXPECT_EQ(seen.cd, 60000);
    EXPECT_EQ(seen.checks, (std::vector<bool>{false, true, false}));
}

TEST(Commands, EffectOnWhileOnKeepsOneAnimationTimerAndOffStopsIt)
{
    ProgramHarness program;
    program.writeSettings(effectOn);
    std::vector<uint32_t> frames;
    auto note = [&] { frames.push_back(frontPanel.frameCount); };
    // The timer ticks at every 100 ms of the window's life until it is set
    // again; notes fall between ticks.
    program.at(1050, note);
    program.commandAt(1060, commandEffectOn);
    program.at(3110, note);
    program.commandAt(3120, commandEffectOff);
    program.at(6110, note);
    program.commandAt(6120, commandEffectOn);
    program.at(7170, note);
    program.quitAt(7200);
    program.runProgram();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[1] - frames[0], 20u) << "restarted, one timer: ten ticks a second";
    EXPECT_EQ(frames[2], frames[1]) << "no animation while the effect is off";
    EXPECT_EQ(frames[3] - frames[2], 10u);
}

TEST(Pointer, EveryLeftPressStartsAWindowMoveAndARightClickOpensTheMenuAtThePointer)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    int moves = -1;
    hp::testing::HeadlessPopup popup;
    POINT stored{-1, -1};
    program.clickAt(1000, hp::apptest::stopButtonPoint);
    program.clickAt(2000, hp::apptest::emptySkinPoint);
    program.at(3000, [&] { moves = program.display().window(mainWindow)->moveRequests; });
    program.at(4000, [&] {
        program.display().click(mainWindow, POINT{200, 250}, hp::user32::MouseButton::Right);
    });
    program.at(4500, [&] {
        if (const auto *open = program.display().openPopup())
            popup = *open;
        stored = pointerPos;
        program.display().chooseMenuItem(0);
    });
    program.quitAt(5000);
    program.runProgram();
    EXPECT_EQ(moves, 2);
    const RECT client = {popup.point.x - 200, popup.point.y - 250, 0, 0};
    EXPECT_EQ(popup.owner, mainWindow);
    EXPECT_EQ(stored.x, popup.point.x) << "the menu opens at the pointer's screen position";
    EXPECT_EQ(stored.y, popup.point.y);
    EXPECT_EQ(client.left, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 316);
    EXPECT_EQ(client.top, GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 250);
    EXPECT_FALSE(popup.items.empty());
}

}  // namespace

TEST(Session, ItsEndSavesTheQueueAndSettingsAndStopsTheSoundButKeepsThePaintResources)
{
    ProgramHarness program;
    program.writeSettings("[CONFIG]\r\nGraphicEffect=2\r\nSoundDev=0\r\n");
    const std::string mp3 = program.writeMp3("[A] Song.mp3");
    std::string playlistAtEnd, settingsAtEnd, playlistWhenNotEnding;
    size_t mciCallsBefore = 0;
    std::vector<UINT> mciCommandsAtEnd;
    hp::apptest::LiveResources before, after;
    program.at(1000, [&] { program.display().drop(mainWindow, {program.workFolder().pathOf("music/[A] Song.mp3")}, POINT{9, 9}); });
    program.clickAt(1500, hp::apptest::playButtonPoint);
    program.at(2000, [&] {
        // A session end that was called off changes nothing.
        SendMessageA(mainWindow, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        playlistWhenNotEnding = program.playlistText();
        before = hp::apptest::liveResources();
        mciCallsBefore = hp::testing::recordingMci().calls().size();
        SendMessageA(mainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageA(mainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        playlistAtEnd = program.playlistText();
        settingsAtEnd = program.settingsText();
        after = hp::apptest::liveResources();
        const auto &calls = hp::testing::recordingMci().calls();
        for (size_t i = mciCallsBefore; i < calls.size(); ++i)
            mciCommandsAtEnd.push_back(calls[i].command);
    });
    program.quitAt(2500);
    program.runProgram();

    EXPECT_EQ(playlistWhenNotEnding, "<missing>");
    EXPECT_EQ(playlistAtEnd, mp3 + "\r\n");
    EXPECT_EQ(settingsAtEnd, "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n");
    EXPECT_EQ(mciCommandsAtEnd, (std::vector<UINT>{MCI_STOP, MCI_CLOSE}));
    EXPECT_EQ(after.gdiObjects, before.gdiObjects) << "the windows may still paint";
    EXPECT_EQ(after.mciDevices + 1, before.mciDevices);
    // The destructor, should the process live on to run it, saves again.
    program.stopPanel();
    EXPECT_EQ(program.playlistText(), mp3 + "\r\n");
}

TEST(Session, FilesHandedOverJoinTheQueueAndAMalformedListIsRefusedWhole)
{
    ProgramHarness program;
    program.writeSettings(effectOff);
    const std::string mp3 = program.writeMp3("one.mp3");
    const std::string text = program.writeOther("notes.txt");
    const std::string midi = program.writeMidi("two.mid");
    LRESULT taken = 0, refused = 0;
    std::vector<std::string> afterTaken, afterRefused;
    auto send = [](const std::string &bytes) {
        COPYDATASTRUCT copy{handOverTag, static_cast<DWORD>(bytes.size()),
                            const_cast<char *>(bytes.data())};
        return SendMessageA(mainWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    };
    program.at(1000, [&] {
        taken = send(mp3 + '\0' + text + '\0' + midi + '\0' + '\0');
        afterTaken = queuedPaths();
        refused = send(midi + '\0' + mp3 + '\0');
        afterRefused = queuedPaths();
    });
    program.quitAt(1500);
    program.runProgram();

    EXPECT_EQ(taken, TRUE);
    EXPECT_EQ(afterTaken, (std::vector<std::string>{mp3, midi}));
    EXPECT_EQ(refused, FALSE);
    EXPECT_EQ(afterRefused, afterTaken);
}
