// MCI playback through the recording MCI driver: which commands reach the
// devices, in which order, with which flags and records.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "platform/testing/twins.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"
#include "tests/support/owner_window.h"

namespace {

using hp::testing::MciCall;

constexpr char libraryCaption[] = "Brisel Library <kq32> Error";

struct Step {
    UINT command;
    DWORD flags;
    bool operator==(const Step &other) const
    {
        return command == other.command && flags == other.flags;
    }
};

void PrintTo(const Step &step, std::ostream *out)
{
    *out << "{0x" << std::hex << step.command << ", 0x" << step.flags << std::dec << "}";
}

DWORD tmsf(int track, int minutes, int seconds, int frames)
{
    return static_cast<DWORD>(track) | (static_cast<DWORD>(minutes) << 8)
           | (static_cast<DWORD>(seconds) << 16) | (static_cast<DWORD>(frames) << 24);
}

class MciPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Devices that earlier tests left open would hold their names.
        mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0);
        hp::test::rebuild(soundDevice);
        mci().reset();
        boxes().reset();
    }

    static hp::testing::RecordingMci &mci() { return hp::testing::recordingMci(); }
    static hp::testing::MessageBoxRecorder &boxes() { return hp::testing::messageBoxRecorder(); }

    // Commands recorded from position `from` on.
    std::vector<MciCall> callsFrom(size_t from) const
    {
        const std::vector<MciCall> &all = mci().calls();
        return std::vector<MciCall>(all.begin() + static_cast<long>(std::min(from, all.size())),
                                    all.end());
    }

    std::vector<Step> stepsFrom(size_t from) const
    {
        std::vector<Step> steps;
        for (const MciCall &call : callsFrom(from)) {
            steps.push_back({call.command, call.flags});
        }
        return steps;
    }

    size_t mark() const { return mci().calls().size(); }

    // Opens the wave device as start-up does, so that later operations have
    // a device to stop and close.
    MCIDEVICEID startUp()
    {
        EXPECT_EQ(soundDevice.initialize(nullptr), 1);
        return soundDevice.deviceId;
    }

    void expectOneBox(HWND owner, const std::string &text)
    {
        ASSERT_EQ(boxes().calls().size(), 1u);
        const hp::testing::MessageBoxCall &box = boxes().calls()[0];
        EXPECT_EQ(box.owner, owner);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, libraryCaption);
        EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONERROR));
    }
};

TEST_F(MciPlayback, InitializeOpensTheSharedWaveDevice)
{
    ASSERT_EQ(soundDevice.initialize(nullptr), 1);
    std::vector<MciCall> calls = callsFrom(0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].command, static_cast<UINT>(MCI_OPEN));
    EXPECT_EQ(calls[0].flags, static_cast<DWORD>(MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE));
    EXPECT_EQ(calls[0].openType, "waveaudio");
    EXPECT_NE(soundDevice.deviceId, 0u);
    EXPECT_EQ(soundDevice.deviceId, calls[0].device);
}

TEST_F(MciPlayback, InitializeFailureIsReportedOnlyToAWindow)
{
    mci().setOpenResult("waveaudio", MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(soundDevice.initialize(nullptr), 0);
    EXPECT_EQ(soundDevice.deviceId, 0u);
    EXPECT_TRUE(boxes().calls().empty());

    hp::test::OwnerWindow window;
    ASSERT_NE(window.handle(), nullptr);
    EXPECT_EQ(soundDevice.initialize(window.handle()), 0);
    expectOneBox(window.handle(), "MCIデバイスの初期化に失敗しました");
}

TEST_F(MciPlayback, PlayingAFileStopsAndClosesTheOldDeviceFirst)
{
    MCIDEVICEID wave = startUp();
    size_t from = mark();
    ASSERT_EQ(soundDevice.setFileSource("music/song.mp3"), 1);
    ASSERT_EQ(soundDevice.play(nullptr), 1);

    std::vector<Step> expected = {{MCI_STOP, MCI_WAIT},
                                  {MCI_CLOSE, 0},
                                  {MCI_OPEN, MCI_OPEN_ELEMENT},
                                  {MCI_SET, MCI_SET_TIME_FORMAT},
                                  {MCI_PLAY, MCI_NOTIFY}};
    EXPECT_EQ(stepsFrom(from), expected);
    std::vector<MciCall> calls = callsFrom(from);
    ASSERT_EQ(calls.size(), expected.size());
    EXPECT_EQ(calls[0].device, wave);
    EXPECT_FALSE(calls[0].hasRecord);
    EXPECT_EQ(calls[1].device, wave);
    EXPECT_EQ(calls[2].openElement, "music/song.mp3");
    EXPECT_TRUE(calls[2].openType.empty());
    EXPECT_EQ(calls[3].timeFormat, static_cast<DWORD>(MCI_FORMAT_MILLISECONDS));
    EXPECT_EQ(calls[3].device, calls[2].device);
    EXPECT_EQ(calls[4].device, calls[2].device);
    EXPECT_EQ(soundDevice.deviceId, calls[2].device);
}

// A CD track opens the CD audio device (of the drive, or the default one),
// switches to TMSF and plays from the track to the next one.
TEST_F(MciPlayback, PlayingACdTrackIsBoundedByTheNextTrack)
{
    struct Case {
        const char *drive;
        int track;
        DWORD openFlags;
        DWORD from;
        DWORD to;
    };
    const Case cases[] = {
        {"", 3, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, 3, 4},
        {"E:\\", 12, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_OPEN_SHAREABLE, 12, 13},
        {"", 0, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, 1, 2},     // raised to track 1
        {"", -7, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, 1, 2},    // raised to track 1
        {"", 255, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, 255, 0},  // the track byte wraps
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("drive '") + c.drive + "' track " + std::to_string(c.track));
        size_t from = mark();
        ASSERT_EQ(soundDevice.setCdTrackSource(c.drive, c.track), 1);
        ASSERT_EQ(soundDevice.play(nullptr), 1);
        std::vector<MciCall> calls = callsFrom(from);
        ASSERT_GE(calls.size(), 3u);
        const MciCall &play = calls.back();
        const MciCall &set = calls[calls.size() - 2];
        const MciCall &open = calls[calls.size() - 3];
        EXPECT_EQ(open.command, static_cast<UINT>(MCI_OPEN));
        EXPECT_EQ(open.flags, c.openFlags);
        EXPECT_EQ(open.openType, "cdaudio");
        EXPECT_EQ(open.openElement, c.drive);
        EXPECT_EQ(set.command, static_cast<UINT>(MCI_SET));
        EXPECT_EQ(set.timeFormat, static_cast<DWORD>(MCI_FORMAT_TMSF));
        EXPECT_EQ(play.command, static_cast<UINT>(MCI_PLAY));
        EXPECT_EQ(play.flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM | MCI_TO));
        EXPECT_EQ(play.from, c.from);
        EXPECT_EQ(play.to, c.to);
    }
}

TEST_F(MciPlayback, RejectedBoundedPlayFallsBackToTheEndOfTheDisc)
{
    mci().setResult(MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO, MCIERR_OUTOFRANGE);
    soundDevice.setCdTrackSource(nullptr, 9);
    size_t from = mark();
    EXPECT_EQ(soundDevice.play(nullptr), 1);
    std::vector<MciCall> calls = callsFrom(from);
    ASSERT_GE(calls.size(), 2u);
    const MciCall &bounded = calls[calls.size() - 2];
    const MciCall &openEnded = calls.back();
    EXPECT_EQ(bounded.flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM | MCI_TO));
    EXPECT_EQ(openEnded.command, static_cast<UINT>(MCI_PLAY));
    EXPECT_EQ(openEnded.flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM));
    EXPECT_EQ(openEnded.from, tmsf(9, 0, 0, 0));
}

TEST_F(MciPlayback, PlayFromPositionStartsAtTheKeptSecond)
{
    soundDevice.setFileSource("a.mid");
    soundDevice.setTrackAndStart(nullptr, 0, 125);
    ASSERT_EQ(soundDevice.playFromPosition(nullptr), 1);
    ASSERT_FALSE(mci().calls().empty());
    const MciCall &filePlay = mci().calls().back();
    EXPECT_EQ(filePlay.command, static_cast<UINT>(MCI_PLAY));
    EXPECT_EQ(filePlay.flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM));
    EXPECT_EQ(filePlay.from, 125000u);

    soundDevice.setCdTrackSource("D:\\", 1);
    soundDevice.setTrackAndStart(nullptr, 3, 125);
    ASSERT_EQ(soundDevice.playFromPosition(nullptr), 1);
    const MciCall &cdPlay = mci().calls().back();
    EXPECT_EQ(cdPlay.flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM | MCI_TO));
    EXPECT_EQ(cdPlay.from, tmsf(3, 2, 5, 0));
    EXPECT_EQ(cdPlay.to, tmsf(4, 0, 0, 0));
}

TEST_F(MciPlayback, FailedOpenKeepsTheClosedIdAndLaterStopIsRefused)
{
    MCIDEVICEID wave = startUp();
    mci().setOpenResult("", MCIERR_FILE_NOT_FOUND);
    soundDevice.setFileSource("missing.mp3");
    EXPECT_EQ(soundDevice.play(nullptr), 0);
    EXPECT_TRUE(boxes().calls().empty());
    EXPECT_EQ(soundDevice.deviceId, wave);

    hp::test::OwnerWindow window;
    ASSERT_NE(window.handle(), nullptr);
    EXPECT_EQ(soundDevice.stop(nullptr), 0);
    EXPECT_TRUE(boxes().calls().empty());
    EXPECT_EQ(soundDevice.stop(window.handle()), 0);
    expectOneBox(window.handle(), "再生を停止出来ないか、すでに停止しています。");
}

TEST_F(MciPlayback, OpenFailuresShowTheirTextOnlyWithAWindow)
{
    hp::test::OwnerWindow window;
    ASSERT_NE(window.handle(), nullptr);
    mci().setOpenResult("", MCIERR_DEVICE_NOT_READY);

    soundDevice.setFileSource("a.mp3");
    EXPECT_EQ(soundDevice.playFromPosition(window.handle()), 0);
    expectOneBox(window.handle(), "ファイルを再生できません");

    boxes().reset();
    soundDevice.setCdTrackSource("D:\\", 2);
    EXPECT_EQ(soundDevice.play(window.handle()), 0);
    expectOneBox(window.handle(), "対象のCDを再生できません");
}

TEST_F(MciPlayback, PlayWithoutASourceOnlyStopsAndClosesTheDevice)
{
    startUp();
    size_t from = mark();
    EXPECT_EQ(soundDevice.play(nullptr), 1);
    EXPECT_EQ(stepsFrom(from), (std::vector<Step>{{MCI_STOP, MCI_WAIT}, {MCI_CLOSE, 0}}));
}

TEST_F(MciPlayback, SourceSettersKeepOrReplaceTheSource)
{
    ASSERT_EQ(soundDevice.setCdTrackSource("D:\\", 4), 1);
    EXPECT_EQ(soundDevice.setFileSource(nullptr), 0);
    EXPECT_EQ(soundDevice.sourceKind, SourceKind::CdTrack);
    EXPECT_STREQ(soundDevice.path, "D:\\");
    EXPECT_EQ(soundDevice.track, 4);

    ASSERT_EQ(soundDevice.setCdTrackSource(nullptr, -1), 1);
    EXPECT_STREQ(soundDevice.path, "");
    EXPECT_EQ(soundDevice.track, 1);

    // A path longer than the field is cut short, never written past it.
    std::string longPath(400, 'x');
    ASSERT_EQ(soundDevice.setFileSource(longPath.c_str()), 1);
    EXPECT_EQ(std::string(soundDevice.path), longPath.substr(0, 259));
}

// Position and length in seconds: milliseconds for a file, TMSF positions
// and MSF track lengths for a CD. The status record starts cleared, so an
// unanswered query reads 0 rather than whatever the record held.
TEST_F(MciPlayback, StatusQueries)
{
    struct Case {
        const char *label;
        SourceKind source;
        DWORD item;
        DWORD statusTrack;  // 0: no answer scripted
        DWORD answer;
        int track;    // expected track output (-55: untouched)
        int seconds;  // expected seconds output
        DWORD flags;
    };
    const Case cases[] = {
        {"file position", SourceKind::File, MCI_STATUS_POSITION, 0, 125999, -55, 125,
         MCI_STATUS_ITEM},
        {"cd position", SourceKind::CdTrack, MCI_STATUS_POSITION, 0, tmsf(4, 2, 5, 70), 4, 125,
         MCI_STATUS_ITEM},
        {"file length", SourceKind::File, MCI_STATUS_LENGTH, 0, 273999, -55, 273,
         MCI_STATUS_ITEM},
        // 4 minutes 33 seconds 20 frames, asked for the source's track 5
        {"cd length", SourceKind::CdTrack, MCI_STATUS_LENGTH, 5, 4u | (33u << 8) | (20u << 16),
         -55, 273, MCI_STATUS_ITEM | MCI_TRACK},
    };
    for (const Case &c : cases) {
        for (bool answered : {true, false}) {
            SCOPED_TRACE(std::string(c.label) + (answered ? "" : " unanswered"));
            mci().reset();
            if (c.source == SourceKind::File) {
                soundDevice.setFileSource("a.mp3");
            } else {
                soundDevice.setCdTrackSource(nullptr, 5);
            }
            ASSERT_EQ(soundDevice.play(nullptr), 1);
            if (answered) {
                mci().setStatus(c.item, c.statusTrack, c.answer);
            }
            int track = -55;
            int seconds = -1;
            int result = c.item == MCI_STATUS_POSITION
                             ? soundDevice.getPosition(nullptr, &track, &seconds)
                             : soundDevice.getLength(nullptr, "ignored", 99, 1, &seconds);
            EXPECT_EQ(result, 1);
            EXPECT_EQ(seconds, answered ? c.seconds : 0);
            EXPECT_EQ(track, answered || c.track == -55 ? c.track : 0);
            const MciCall &status = mci().calls().back();
            EXPECT_EQ(status.command, static_cast<UINT>(MCI_STATUS));
            EXPECT_EQ(status.flags, c.flags);
            EXPECT_EQ(status.item, c.item);
            EXPECT_EQ(status.device, soundDevice.deviceId);
        }
    }
}

// No source for a position; a length mode other than the current source's.
TEST_F(MciPlayback, QueriesThatDoNotApplyWriteNothing)
{
    startUp();
    int track = -1;
    int seconds = -1;
    size_t from = mark();
    EXPECT_EQ(soundDevice.getPosition(nullptr, &track, &seconds), 1);
    EXPECT_EQ(soundDevice.getLength(nullptr, "a.mp3", 1, 2, &seconds), 0);
    EXPECT_EQ(track, -1);
    EXPECT_EQ(seconds, -1);
    EXPECT_TRUE(callsFrom(from).empty());
}

TEST_F(MciPlayback, TraysOpenTheChosenDriveAndKeepTheSource)
{
    struct Case {
        const char *sourceDrive;  // the device's own path
        const char *argument;
        int useDevicePath;
        const char *expectedElement;
    };
    const Case cases[] = {
        {"D:\\", "E:\\", 0, "E:\\"},
        {"D:\\", "E:\\", 1, "D:\\"},
        {"D:\\", "E:\\", 2, "E:\\"},  // only exactly 1 picks the device's path
        {"", "E:\\", 1, ""},          // the default CD device
        {"D:\\", "", 0, ""},
    };
    for (const Case &c : cases) {
        for (bool open : {true, false}) {
            SCOPED_TRACE(std::string(c.argument) + " use " + std::to_string(c.useDevicePath)
                         + (open ? " open" : " close"));
            soundDevice.setCdTrackSource(c.sourceDrive, 6);
            startUp();
            MCIDEVICEID previous = soundDevice.deviceId;
            size_t from = mark();
            int result = open ? soundDevice.openTray(c.argument, c.useDevicePath)
                              : soundDevice.closeTray(c.argument, c.useDevicePath);
            EXPECT_EQ(result, 1);
            bool hasElement = c.expectedElement[0] != '\0';
            DWORD openFlags =
                MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE | (hasElement ? MCI_OPEN_ELEMENT : 0);
            DWORD doorFlag = open ? MCI_SET_DOOR_OPEN : MCI_SET_DOOR_CLOSED;
            std::vector<Step> expected = {
                {MCI_STOP, MCI_WAIT}, {MCI_CLOSE, 0}, {MCI_OPEN, openFlags}, {MCI_SET, doorFlag}};
            ASSERT_EQ(stepsFrom(from), expected);
            std::vector<MciCall> calls = callsFrom(from);
            EXPECT_EQ(calls[0].device, previous);
            EXPECT_EQ(calls[2].openType, "cdaudio");
            EXPECT_EQ(calls[2].openElement, c.expectedElement);
            EXPECT_FALSE(calls[3].hasRecord);
            EXPECT_EQ(calls[3].device, calls[2].device);
            EXPECT_EQ(soundDevice.deviceId, calls[2].device);
            EXPECT_EQ(soundDevice.sourceKind, SourceKind::CdTrack);
            EXPECT_STREQ(soundDevice.path, c.sourceDrive);
            EXPECT_EQ(soundDevice.track, 6);
        }
    }
}

TEST_F(MciPlayback, TrayFailureIsSilent)
{
    hp::test::OwnerWindow window;
    mci().setOpenResult("cdaudio", MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(soundDevice.openTray("D:\\", 0), 0);
    EXPECT_EQ(soundDevice.closeTray("D:\\", 0), 0);
    EXPECT_TRUE(boxes().calls().empty());
}

TEST_F(MciPlayback, TrayWhileAFilePlaysThenPlayReopensTheFile)
{
    soundDevice.setFileSource("b.mid");
    ASSERT_EQ(soundDevice.play(nullptr), 1);
    MCIDEVICEID file = soundDevice.deviceId;
    size_t from = mark();
    ASSERT_EQ(soundDevice.openTray("D:\\", 0), 1);
    std::vector<MciCall> trayCalls = callsFrom(from);
    ASSERT_GE(trayCalls.size(), 2u);
    EXPECT_EQ(trayCalls[0].command, static_cast<UINT>(MCI_STOP));
    EXPECT_EQ(trayCalls[0].device, file);
    MCIDEVICEID cd = soundDevice.deviceId;

    from = mark();
    ASSERT_EQ(soundDevice.play(nullptr), 1);
    std::vector<MciCall> calls = callsFrom(from);
    std::vector<Step> expected = {{MCI_STOP, MCI_WAIT},
                                  {MCI_CLOSE, 0},
                                  {MCI_OPEN, MCI_OPEN_ELEMENT},
                                  {MCI_SET, MCI_SET_TIME_FORMAT},
                                  {MCI_PLAY, MCI_NOTIFY}};
    ASSERT_EQ(stepsFrom(from), expected);
    EXPECT_EQ(calls[0].device, cd);
    EXPECT_EQ(calls[2].openElement, "b.mid");
}

TEST_F(MciPlayback, AtMostOneDeviceStaysOpen)
{
    startUp();
    soundDevice.setFileSource("a.mp3");
    soundDevice.play(nullptr);
    soundDevice.openTray("D:\\", 0);
    soundDevice.setCdTrackSource(nullptr, 2);
    soundDevice.playFromPosition(nullptr);
    // A second start-up open must not leave the first device behind either.
    soundDevice.initialize(nullptr);
    soundDevice.initialize(nullptr);

    int opened = 0;
    int closed = 0;
    for (const MciCall &call : mci().calls()) {
        opened += call.command == MCI_OPEN ? 1 : 0;
        closed += call.command == MCI_CLOSE ? 1 : 0;
    }
    EXPECT_EQ(opened - closed, 1);
}

}  // namespace
