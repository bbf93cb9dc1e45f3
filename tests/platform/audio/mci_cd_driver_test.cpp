// The cdaudio driver through mciSendCommandA, over a drive table of the
// test's own (discs laid out to the frame) and the scripted audio engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel32/drive_table.h"
#include "platform/testing/scripted_audio.h"
#include "platform/winmm/mci_cd_driver.h"
#include "platform/winmm/now_playing.h"
#include "platform/winmm/mci_stream_driver.h"

namespace {

using hp::kernel32::CdDisc;
using hp::kernel32::CdTrack;
using hp::testing::AudioCall;
using hp::testing::ScriptedAudio;
using hp::winmm::AudioTime;

constexpr DWORD framesPerSecond = 75;

struct TrayMove {
    int drive;
    bool open;
};

class FakeDrives final : public hp::kernel32::DriveTable {
public:
    std::vector<std::string> devices;
    std::vector<bool> loaded;
    std::vector<CdDisc> discs;
    std::vector<TrayMove> trayMoves;

    int driveCount() override { return static_cast<int>(devices.size()); }
    std::string deviceName(int drive) override { return devices.at(static_cast<size_t>(drive)); }
    bool readDisc(int drive, CdDisc &disc) override
    {
        if (!loaded.at(static_cast<size_t>(drive)))
            return false;
        disc = discs.at(static_cast<size_t>(drive));
        return true;
    }
    std::string mountPoint(int) override { return {}; }
    bool setTray(int drive, bool open) override
    {
        trayMoves.push_back({drive, open});
        return true;
    }
};

// Tracks one after another from the two-second pre-gap; lengths in frames.
CdDisc discOf(const std::vector<DWORD> &trackFrames, const std::vector<int> &dataTracks = {})
{
    CdDisc disc;
    DWORD frame = 150;
    for (size_t i = 0; i < trackFrames.size(); ++i) {
        CdTrack track;
        track.number = static_cast<int>(i) + 1;
        track.audio = std::find(dataTracks.begin(), dataTracks.end(), track.number) ==
                      dataTracks.end();
        track.startFrame = frame;
        track.lengthFrames = trackFrames[i];
        frame += trackFrames[i];
        disc.tracks.push_back(track);
    }
    disc.leadOutFrame = frame;
    return disc;
}

// Stream time of an absolute frame of a disc whose first track starts at
// frame 150.
AudioTime timeOfFrame(DWORD frame)
{
    return AudioTime(static_cast<int64_t>(frame - 150) * 1000000 / framesPerSecond);
}

constexpr DWORD seconds(DWORD value) { return value * framesPerSecond; }

class CdDriverTest : public ::testing::Test {
protected:
    // Track 2 lasts 4:33:20; the disc ends with track 3 of 3:00:00.
    static constexpr DWORD track1Start = 150;
    static constexpr DWORD track2Start = track1Start + seconds(200);
    static constexpr DWORD track3Start = track2Start + seconds(273) + 20;
    static constexpr DWORD leadOut = track3Start + seconds(180);

    void SetUp() override
    {
        auto drives = std::make_unique<FakeDrives>();
        drives_ = drives.get();
        drives_->devices = {"/dev/sr0", "/dev/sr1"};
        drives_->loaded = {true, true};
        drives_->discs = {discOf({seconds(200), seconds(273) + 20, seconds(180)}),
                          discOf({seconds(10)})};
        hp::kernel32::installDriveTable(std::move(drives));
        audio_ = std::make_shared<ScriptedAudio>();
        auto drivers = hp::winmm::makeStreamMciDrivers(audio_);
        drivers.push_back(hp::winmm::makeCdMciDriver(audio_));
        hp::winmm::installMciDrivers(std::move(drivers));
    }

    void TearDown() override
    {
        mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0);
        EXPECT_EQ(hp::winmm::openMciDeviceCount(), 0u);
        EXPECT_EQ(audio_->liveStreamCount(), 0);
    }

    // The player's open of a CD device: by type, with the drive as element
    // when it has one.
    static MCIERROR openCd(const char *drive, MCIDEVICEID &device)
    {
        MCI_OPEN_PARMSA open{};
        open.lpstrDeviceType = "cdaudio";
        DWORD flags = MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE;
        if (drive) {
            open.lpstrElementName = drive;
            flags |= MCI_OPEN_ELEMENT;
        }
        const MCIERROR error =
            mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
        device = open.wDeviceID;
        return error;
    }

    static MCIERROR setFormat(MCIDEVICEID device, DWORD format)
    {
        MCI_SET_PARMS set{};
        set.dwTimeFormat = format;
        return mciSendCommandA(device, MCI_SET, MCI_SET_TIME_FORMAT,
                               reinterpret_cast<DWORD_PTR>(&set));
    }

    static MCIERROR play(MCIDEVICEID device, DWORD flags, DWORD from, DWORD to = 0)
    {
        MCI_PLAY_PARMS parameters{};
        parameters.dwFrom = from;
        parameters.dwTo = to;
        return mciSendCommandA(device, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&parameters));
    }

    static MCIERROR status(MCIDEVICEID device, DWORD flags, DWORD item, DWORD track,
                           DWORD &value)
    {
        MCI_STATUS_PARMS parameters{};
        parameters.dwItem = item;
        parameters.dwTrack = track;
        parameters.dwReturn = 0xDEADBEEF;
        const MCIERROR error = mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM | flags,
                                               reinterpret_cast<DWORD_PTR>(&parameters));
        value = static_cast<DWORD>(parameters.dwReturn);
        return error;
    }

    static DWORD statusValue(MCIDEVICEID device, DWORD item, DWORD flags = 0, DWORD track = 0)
    {
        DWORD value = 0;
        EXPECT_EQ(status(device, flags, item, track, value), 0u) << "item " << item;
        return value;
    }

    std::vector<AudioCall> plays() const
    {
        std::vector<AudioCall> found;
        for (const AudioCall &call : audio_->calls()) {
            if (call.kind == AudioCall::Kind::Play)
                found.push_back(call);
        }
        return found;
    }

    FakeDrives *drives_ = nullptr;
    std::shared_ptr<ScriptedAudio> audio_;
};

TEST_F(CdDriverTest, OpensTheFirstDriveOrTheOneItsElementNames)
{
    struct Case {
        const char *element;
        const char *device;
    };
    for (const Case &c : {Case{nullptr, "/dev/sr0"}, Case{"E:\\", "/dev/sr1"},
                          Case{"e:", "/dev/sr1"}, Case{"D:\\Track02.cda", "/dev/sr0"}}) {
        SCOPED_TRACE(c.element ? c.element : "(no element)");
        MCIDEVICEID device = 0;
        ASSERT_EQ(openCd(c.element, device), 0u);
        ASSERT_EQ(play(device, MCI_FROM, MCI_MAKE_MSF(0, 2, 0)), 0u);
        EXPECT_EQ(audio_->opens().back().cdDevice, c.device);
        EXPECT_EQ(mciSendCommandA(device, MCI_CLOSE, 0, 0), 0u);
    }
    MCIDEVICEID device = 0;
    EXPECT_EQ(openCd("F:\\", device), static_cast<MCIERROR>(MCIERR_INVALID_FILE));
    EXPECT_EQ(openCd("1:\\", device), static_cast<MCIERROR>(MCIERR_INVALID_FILE));
    EXPECT_EQ(hp::winmm::openMciDeviceCount(), 0u);
}

TEST_F(CdDriverTest, WithoutDrivesThereIsNoDefaultDevice)
{
    drives_->devices.clear();
    drives_->loaded.clear();
    MCIDEVICEID device = 0;
    EXPECT_EQ(openCd(nullptr, device), static_cast<MCIERROR>(MCIERR_CANNOT_LOAD_DRIVER));
}

TEST_F(CdDriverTest, ATrackPlaysUpToTheNextOne)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    EXPECT_EQ(statusValue(device, MCI_STATUS_TIME_FORMAT), static_cast<DWORD>(MCI_FORMAT_MSF));
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    ASSERT_EQ(play(device, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(2, 0, 0, 0),
                   MCI_MAKE_TMSF(3, 0, 0, 0)),
              0u);
    const auto found = plays();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].from, timeOfFrame(track2Start));
    EXPECT_EQ(found[0].to, timeOfFrame(track3Start));
    EXPECT_EQ(audio_->opens().back().kind, hp::winmm::AudioSource::Kind::CdDisc);
    EXPECT_EQ(audio_->opens().back().line, hp::winmm::AudioLine::CdAudio);

    // The desktop's media controls show the track, as long as it plays.
    const hp::winmm::NowPlaying::State playing = hp::winmm::NowPlaying::instance().state();
    EXPECT_TRUE(playing.playing);
    EXPECT_EQ(playing.title, "Track 02");
    EXPECT_EQ(playing.hostPath, "");
    EXPECT_EQ(playing.lengthMs, uint64_t{track3Start - track2Start} * 1000 / 75);
    ASSERT_EQ(mciSendCommandA(device, MCI_STOP, 0, 0), 0u);
    EXPECT_FALSE(hp::winmm::NowPlaying::instance().state().playing);
}

TEST_F(CdDriverTest, PastTheLastTrackIsOutOfRangeSoTheFallbackPlaysToTheEnd)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    EXPECT_EQ(play(device, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(3, 0, 0, 0),
                   MCI_MAKE_TMSF(4, 0, 0, 0)),
              static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_TRUE(plays().empty());
    ASSERT_EQ(play(device, MCI_NOTIFY | MCI_FROM, MCI_MAKE_TMSF(3, 0, 0, 0)), 0u);
    const auto found = plays();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].from, timeOfFrame(track3Start));
    EXPECT_EQ(found[0].to, timeOfFrame(leadOut));
    // A track that does not exist at all is refused as a start, too.
    EXPECT_EQ(play(device, MCI_FROM, MCI_MAKE_TMSF(9, 0, 0, 0)),
              static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
}

TEST_F(CdDriverTest, APlayFromASecondOfATrack)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd("D:\\", device), 0u);
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    // Track 3 from 125 s: 2 minutes 5 seconds.
    ASSERT_EQ(play(device, MCI_FROM | MCI_TO, MCI_MAKE_TMSF(3, 2, 5, 0), MCI_MAKE_TMSF(4, 0, 0, 0)),
              static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    ASSERT_EQ(play(device, MCI_FROM, MCI_MAKE_TMSF(3, 2, 5, 0)), 0u);
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_EQ(plays()[0].from, timeOfFrame(track3Start + seconds(125)));
}

TEST_F(CdDriverTest, LengthsAreReportedInMsfAndTheLastTrackOneFrameShort)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    EXPECT_EQ(statusValue(device, MCI_STATUS_LENGTH, MCI_TRACK, 2), MCI_MAKE_MSF(4, 33, 20));
    EXPECT_EQ(statusValue(device, MCI_STATUS_LENGTH, MCI_TRACK, 3), MCI_MAKE_MSF(2, 59, 74));
    // The disc: all tracks, one frame short.
    const DWORD discFrames = leadOut - track1Start - 1;
    EXPECT_EQ(statusValue(device, MCI_STATUS_LENGTH),
              MCI_MAKE_MSF(discFrames / 4500, discFrames % 4500 / 75, discFrames % 75));
    EXPECT_EQ(statusValue(device, MCI_STATUS_NUMBER_OF_TRACKS), 3u);

    ASSERT_EQ(setFormat(device, MCI_FORMAT_MILLISECONDS), 0u);
    EXPECT_EQ(statusValue(device, MCI_STATUS_LENGTH, MCI_TRACK, 2),
              (seconds(273) + 20) * 1000 / 75);
    DWORD value = 0;
    EXPECT_EQ(status(device, MCI_TRACK, MCI_STATUS_LENGTH, 4, value),
              static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_EQ(status(device, MCI_TRACK, MCI_STATUS_LENGTH, 0, value),
              static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
}

TEST_F(CdDriverTest, PositionsFollowThePlayInTheCurrentFormat)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION), MCI_MAKE_TMSF(1, 0, 0, 0));
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION, MCI_TRACK, 3), MCI_MAKE_TMSF(3, 0, 0, 0));
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION, MCI_STATUS_START),
              MCI_MAKE_TMSF(1, 0, 0, 0));

    ASSERT_EQ(play(device, MCI_FROM | MCI_TO, MCI_MAKE_TMSF(2, 0, 0, 0), MCI_MAKE_TMSF(3, 0, 0, 0)),
              0u);
    audio_->advance(std::chrono::seconds(65));
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION), MCI_MAKE_TMSF(2, 1, 5, 0));
    EXPECT_EQ(statusValue(device, MCI_STATUS_CURRENT_TRACK), 2u);
    EXPECT_EQ(statusValue(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));

    ASSERT_EQ(setFormat(device, MCI_FORMAT_MSF), 0u);
    const DWORD absolute = track2Start + seconds(65);
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION),
              MCI_MAKE_MSF(absolute / 4500, absolute % 4500 / 75, absolute % 75));

    // The end of the track stops the device there.
    audio_->advance(std::chrono::seconds(300));
    EXPECT_EQ(statusValue(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION), MCI_MAKE_TMSF(3, 0, 0, 0));
}

TEST_F(CdDriverTest, SeekThenPlayStartsAtTheSeekedPlace)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    MCI_SEEK_PARMS seek{};
    seek.dwTo = MCI_MAKE_TMSF(3, 1, 0, 0);
    ASSERT_EQ(mciSendCommandA(device, MCI_SEEK, MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)), 0u);
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION), MCI_MAKE_TMSF(3, 1, 0, 0));
    ASSERT_EQ(play(device, 0, 0), 0u);
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_EQ(plays()[0].from, timeOfFrame(track3Start + seconds(60)));
    EXPECT_EQ(plays()[0].to, timeOfFrame(leadOut));
}

TEST_F(CdDriverTest, DataTracksAreSkippedAndTold)
{
    drives_->discs[0] = discOf({seconds(100), seconds(50), seconds(100)}, {2});
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    ASSERT_EQ(play(device, MCI_FROM, MCI_MAKE_TMSF(2, 0, 0, 0)), 0u);
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_EQ(plays()[0].from, timeOfFrame(150 + seconds(150)));
    EXPECT_EQ(statusValue(device, MCI_CDA_STATUS_TYPE_TRACK, MCI_TRACK, 2),
              static_cast<DWORD>(MCI_CDA_TRACK_OTHER));
    EXPECT_EQ(statusValue(device, MCI_CDA_STATUS_TYPE_TRACK, MCI_TRACK, 1),
              static_cast<DWORD>(MCI_CDA_TRACK_AUDIO));
}

// The engine's stream starts with the first audio track: a mixed-mode
// disc's leading data track has no time in it.
TEST_F(CdDriverTest, AMixedModeDiscCountsFromItsFirstAudioTrack)
{
    drives_->discs[0] = discOf({seconds(100), seconds(50), seconds(100)}, {1});
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    ASSERT_EQ(setFormat(device, MCI_FORMAT_TMSF), 0u);
    const DWORD from = MCI_MAKE_TMSF(3, 0, 0, 0);
    ASSERT_EQ(play(device, MCI_FROM | MCI_TO, from, MCI_MAKE_TMSF(3, 0, 30, 0)), 0u);
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_EQ(plays()[0].from, std::chrono::seconds(50));
    EXPECT_EQ(plays()[0].to, std::chrono::seconds(80));
    audio_->advance(std::chrono::seconds(10));
    EXPECT_EQ(statusValue(device, MCI_STATUS_POSITION), MCI_MAKE_TMSF(3, 0, 10, 0));
}

TEST_F(CdDriverTest, AnEmptyDriveIsNotReady)
{
    drives_->loaded[0] = false;
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    EXPECT_EQ(play(device, MCI_FROM, MCI_MAKE_TMSF(1, 0, 0, 0)),
              static_cast<MCIERROR>(MCIERR_DEVICE_NOT_READY));
    EXPECT_EQ(statusValue(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_OPEN));
    EXPECT_EQ(statusValue(device, MCI_STATUS_MEDIA_PRESENT), static_cast<DWORD>(FALSE));
    DWORD value = 0;
    EXPECT_EQ(status(device, 0, MCI_STATUS_LENGTH, 0, value),
              static_cast<MCIERROR>(MCIERR_DEVICE_NOT_READY));
    EXPECT_TRUE(audio_->opens().empty());
}

TEST_F(CdDriverTest, DoorCommandsMoveTheTrayAndReleaseTheDisc)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd("E:\\", device), 0u);
    ASSERT_EQ(play(device, MCI_FROM, MCI_MAKE_MSF(0, 2, 0)), 0u);
    EXPECT_EQ(audio_->liveStreamCount(), 1);
    // As the player sends them: no record.
    EXPECT_EQ(mciSendCommandA(device, MCI_SET, MCI_SET_DOOR_OPEN, 0), 0u);
    EXPECT_EQ(audio_->liveStreamCount(), 0);
    EXPECT_EQ(mciSendCommandA(device, MCI_SET, MCI_SET_DOOR_CLOSED, 0), 0u);
    ASSERT_EQ(drives_->trayMoves.size(), 2u);
    EXPECT_EQ(drives_->trayMoves[0].drive, 1);
    EXPECT_TRUE(drives_->trayMoves[0].open);
    EXPECT_EQ(drives_->trayMoves[1].drive, 1);
    EXPECT_FALSE(drives_->trayMoves[1].open);
    EXPECT_EQ(setFormat(device, MCI_FORMAT_BYTES), static_cast<MCIERROR>(MCIERR_BAD_TIME_FORMAT));
}

TEST_F(CdDriverTest, AnotherDiscGetsAFreshStream)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openCd(nullptr, device), 0u);
    ASSERT_EQ(play(device, MCI_FROM, MCI_MAKE_MSF(0, 2, 0)), 0u);
    drives_->discs[0] = discOf({seconds(30), seconds(30)});
    ASSERT_EQ(play(device, MCI_FROM, MCI_MAKE_MSF(0, 2, 0)), 0u);
    EXPECT_EQ(audio_->opens().size(), 2u);
    EXPECT_EQ(audio_->liveStreamCount(), 1);
}

}  // namespace
