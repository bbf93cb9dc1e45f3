// The file drivers (waveaudio, sequencer, mpegvideo) through
// mciSendCommandA, over the scripted audio engine.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "platform/testing/scripted_audio.h"
#include "platform/winmm/mci_cd_driver.h"
#include "platform/winmm/mci_stream_driver.h"
#include "platform/winmm/now_playing.h"
#include "platform/winmm/output_mixer.h"
#include "tests/support/owner_window.h"

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using hp::testing::AudioCall;
using hp::testing::ScriptedAudio;
using hp::winmm::AudioLine;
using hp::winmm::AudioSource;
using hp::winmm::AudioTime;

class StreamDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/hollyphone_stream_driver_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        audio_ = std::make_shared<ScriptedAudio>();
        auto drivers = hp::winmm::makeStreamMciDrivers(audio_);
        drivers.push_back(hp::winmm::makeCdMciDriver(audio_));
        hp::winmm::installMciDrivers(std::move(drivers));
        hp::winmm::OutputLines::instance().reset();
    }

    void TearDown() override
    {
        mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0);
        EXPECT_EQ(hp::winmm::openMciDeviceCount(), 0u);
        EXPECT_EQ(audio_->liveStreamCount(), 0);
        std::system(("rm -rf '" + folder_ + "'").c_str());
    }

    std::string file(const std::string &name, const std::string &bytes = "ID3....")
    {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // MCI_OPEN as the player opens a file: the element alone.
    MCIERROR openElement(const std::string &path, MCIDEVICEID &device)
    {
        MCI_OPEN_PARMSA open{};
        open.lpstrElementName = path.c_str();
        const MCIERROR error =
            mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
        device = open.wDeviceID;
        return error;
    }

    static MCIERROR play(MCIDEVICEID device, DWORD flags, DWORD from = 0, DWORD to = 0)
    {
        MCI_PLAY_PARMS parameters{};
        parameters.dwFrom = from;
        parameters.dwTo = to;
        return mciSendCommandA(device, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&parameters));
    }

    static DWORD status(MCIDEVICEID device, DWORD item, MCIERROR *error = nullptr)
    {
        MCI_STATUS_PARMS parameters{};
        parameters.dwItem = item;
        parameters.dwReturn = 0xDEADBEEF;
        const MCIERROR result = mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM,
                                                reinterpret_cast<DWORD_PTR>(&parameters));
        if (error)
            *error = result;
        return static_cast<DWORD>(parameters.dwReturn);
    }

    std::string folder_;
    std::shared_ptr<ScriptedAudio> audio_;
};

TEST_F(StreamDriverTest, TheFileDecidesDecoderAndLine)
{
    struct Case {
        const char *name;
        std::string bytes;
        AudioSource::Kind kind;
        AudioLine line;
    };
    const Case cases[] = {
        {"song.mp3", "ID3\x03"s, AudioSource::Kind::File, AudioLine::Wave},
        {"song.wav", "RIFF\x24\0\0\0WAVE"s, AudioSource::Kind::File, AudioLine::Wave},
        {"tune.mid", "MThd\0\0\0\x06"s, AudioSource::Kind::MidiFile, AudioLine::Synth},
        // A MIDI file under another name still goes to the synthesiser.
        {"tune.mp3", "MThd\0\0\0\x06"s, AudioSource::Kind::MidiFile, AudioLine::Synth},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = file(c.name, c.bytes);
        MCIDEVICEID device = 0;
        ASSERT_EQ(openElement(path, device), 0u);
        EXPECT_NE(device, 0u);
        const AudioSource &opened = audio_->opens().back();
        EXPECT_EQ(opened.hostPath, path);
        EXPECT_EQ(opened.kind, c.kind);
        EXPECT_EQ(opened.line, c.line);
        EXPECT_EQ(mciSendCommandA(device, MCI_CLOSE, 0, 0), 0u);
    }
}

TEST_F(StreamDriverTest, AFailedOpenReportsTheEnginesErrorAndHoldsNothing)
{
    const std::string path = file("broken.mp3");
    audio_->setOpenResult(path, MCIERR_INVALID_FILE);
    MCIDEVICEID device = 0;
    EXPECT_EQ(openElement(path, device), static_cast<MCIERROR>(MCIERR_INVALID_FILE));
    EXPECT_EQ(hp::winmm::openMciDeviceCount(), 0u);
    EXPECT_EQ(audio_->liveStreamCount(), 0);
}

TEST_F(StreamDriverTest, WaveaudioByTypeAloneNeedsAnOutput)
{
    MCI_OPEN_PARMSA open{};
    open.lpstrDeviceType = "waveaudio";
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE,
                              reinterpret_cast<DWORD_PTR>(&open)),
              0u);
    EXPECT_TRUE(audio_->opens().empty());
    EXPECT_EQ(play(open.wDeviceID, 0), static_cast<MCIERROR>(MCIERR_NONAPPLICABLE_FUNCTION));
    EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0), 0u);

    audio_->setOutputAvailable(false);
    EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE,
                              reinterpret_cast<DWORD_PTR>(&open)),
              static_cast<MCIERROR>(MCIERR_WAVE_OUTPUTSUNSUITABLE));
}

TEST_F(StreamDriverTest, ThePlayersSequencePlaysSeeksAndStops)
{
    const std::string path = file("song.mp3");
    audio_->setLength(path, 200500ms);
    MCIDEVICEID device = 0;
    ASSERT_EQ(openElement(path, device), 0u);
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    ASSERT_EQ(mciSendCommandA(device, MCI_SET, MCI_SET_TIME_FORMAT,
                              reinterpret_cast<DWORD_PTR>(&set)),
              0u);

    // Play from the beginning; MCI_NOTIFY without a window is accepted.
    ASSERT_EQ(play(device, MCI_NOTIFY), 0u);
    EXPECT_EQ(status(device, MCI_STATUS_LENGTH), 200500u);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    audio_->advance(5250ms);
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 5250u);

    // Seek as the progress bar does: stop with MCI_WAIT, play from 125 s.
    ASSERT_EQ(mciSendCommandA(device, MCI_STOP, MCI_WAIT, 0), 0u);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    ASSERT_EQ(play(device, MCI_NOTIFY | MCI_FROM, 125000), 0u);
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 125000u);

    const std::vector<AudioCall> calls = audio_->calls();
    std::vector<AudioCall> plays;
    for (const AudioCall &call : calls) {
        if (call.kind == AudioCall::Kind::Play)
            plays.push_back(call);
    }
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_FALSE(plays[0].from.has_value());
    EXPECT_FALSE(plays[0].to.has_value());
    EXPECT_EQ(plays[1].from, AudioTime(125s));

    // At the end the device stops by itself.
    audio_->advance(100s);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 200500u);
}

// The desktop's media controls learn from the devices what plays: a
// track's identity changes with its file, a stop keeps the file, the end
// of the file stops it, and each change is told.
TEST_F(StreamDriverTest, TheDevicesTellWhatPlays)
{
    using hp::winmm::NowPlaying;
    int changes = 0;
    NowPlaying::instance().setListener([&changes] { ++changes; });
    const std::string first = file("[One] First.mp3");
    const std::string second = file("second.mid", "MThd");
    audio_->setLength(first, 200500ms);
    audio_->setLength(second, 3s);
    MCIDEVICEID device = 0;
    ASSERT_EQ(openElement(first, device), 0u);
    EXPECT_FALSE(NowPlaying::instance().state().playing) << "an open plays nothing";
    ASSERT_EQ(play(device, 0), 0u);
    const NowPlaying::State playing = NowPlaying::instance().state();
    EXPECT_TRUE(playing.playing);
    EXPECT_EQ(playing.hostPath, first);
    EXPECT_EQ(playing.title, "[One] First");
    EXPECT_EQ(playing.lengthMs, 200500u);

    ASSERT_EQ(mciSendCommandA(device, MCI_STOP, MCI_WAIT, 0), 0u);
    EXPECT_FALSE(NowPlaying::instance().state().playing);
    EXPECT_EQ(NowPlaying::instance().state().hostPath, first) << "a stop keeps the track";
    ASSERT_EQ(play(device, MCI_FROM, 125000), 0u);
    EXPECT_GE(NowPlaying::instance().state().positionMs, 125000u);
    EXPECT_EQ(NowPlaying::instance().state().trackNumber, playing.trackNumber) << "same file";
    ASSERT_EQ(mciSendCommandA(device, MCI_CLOSE, MCI_WAIT, 0), 0u);
    EXPECT_FALSE(NowPlaying::instance().state().playing) << "a close stops";

    ASSERT_EQ(openElement(second, device), 0u);
    ASSERT_EQ(play(device, 0), 0u);
    EXPECT_EQ(NowPlaying::instance().state().trackNumber, playing.trackNumber + 1);
    audio_->advance(4s);
    EXPECT_FALSE(NowPlaying::instance().state().playing) << "the end of the file stops";
    EXPECT_EQ(changes, 6);
    NowPlaying::instance().setListener(nullptr);

    EXPECT_EQ(hp::winmm::titleOfFile(first), "[One] First");
    EXPECT_EQ(hp::winmm::titleOfFile("/music/.hidden"), ".hidden");
    EXPECT_EQ(hp::winmm::titleOfFile("/music/a.b/tune"), "tune");
}

TEST_F(StreamDriverTest, PlayRangesOutsideTheFileAreRefused)
{
    const std::string path = file("short.mp3");
    audio_->setLength(path, 10s);
    MCIDEVICEID device = 0;
    ASSERT_EQ(openElement(path, device), 0u);
    audio_->clearCalls();
    EXPECT_EQ(play(device, MCI_FROM, 10001), static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_EQ(play(device, MCI_FROM | MCI_TO, 0, 10001), static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_EQ(play(device, MCI_FROM | MCI_TO, 5000, 4000),
              static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_TRUE(audio_->calls().empty());

    ASSERT_EQ(play(device, MCI_FROM | MCI_TO, 2000, 3000), 0u);
    audio_->advance(999ms);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    audio_->advance(1ms);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 3000u);
}

TEST_F(StreamDriverTest, OnlyMillisecondsAreATimeFormatForFiles)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openElement(file("song.mp3"), device), 0u);
    for (DWORD format : {static_cast<DWORD>(MCI_FORMAT_TMSF), static_cast<DWORD>(MCI_FORMAT_MSF),
                         static_cast<DWORD>(MCI_FORMAT_BYTES)}) {
        MCI_SET_PARMS set{};
        set.dwTimeFormat = format;
        EXPECT_EQ(mciSendCommandA(device, MCI_SET, MCI_SET_TIME_FORMAT,
                                  reinterpret_cast<DWORD_PTR>(&set)),
                  static_cast<MCIERROR>(MCIERR_BAD_TIME_FORMAT));
    }
    EXPECT_EQ(status(device, MCI_STATUS_TIME_FORMAT), static_cast<DWORD>(MCI_FORMAT_MILLISECONDS));
}

TEST_F(StreamDriverTest, PauseResumeAndSeekKeepThePlace)
{
    const std::string path = file("song.mp3");
    audio_->setLength(path, 60s);
    MCIDEVICEID device = 0;
    ASSERT_EQ(openElement(path, device), 0u);
    ASSERT_EQ(play(device, 0), 0u);
    audio_->advance(3s);
    ASSERT_EQ(mciSendCommandA(device, MCI_PAUSE, 0, 0), 0u);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PAUSE));
    audio_->advance(3s);
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 3000u);
    ASSERT_EQ(mciSendCommandA(device, MCI_RESUME, 0, 0), 0u);
    audio_->advance(1s);
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 4000u);

    MCI_SEEK_PARMS seek{};
    seek.dwTo = 30000;
    ASSERT_EQ(mciSendCommandA(device, MCI_SEEK, MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)), 0u);
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 30000u);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    ASSERT_EQ(mciSendCommandA(device, MCI_SEEK, MCI_SEEK_TO_END,
                              reinterpret_cast<DWORD_PTR>(&seek)),
              0u);
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 60000u);
    EXPECT_EQ(mciSendCommandA(device, MCI_SEEK, MCI_SEEK_TO_START | MCI_TO,
                              reinterpret_cast<DWORD_PTR>(&seek)),
              static_cast<MCIERROR>(MCIERR_FLAGS_NOT_COMPATIBLE));
    EXPECT_EQ(mciSendCommandA(device, MCI_SEEK, 0, reinterpret_cast<DWORD_PTR>(&seek)),
              static_cast<MCIERROR>(MCIERR_MISSING_PARAMETER));
}

// The sound server goes away under a playing device and comes back.
TEST_F(StreamDriverTest, AFailedOutputNotifiesFailureAndTheNextPlayTriesAgain)
{
    const std::string path = file("song.mp3");
    audio_->setLength(path, 60s);
    MCIDEVICEID device = 0;
    ASSERT_EQ(openElement(path, device), 0u);
    hp::test::OwnerWindow window;
    ASSERT_NE(window.handle(), nullptr);
    auto notified = [&window] {
        MSG message{};
        if (!PeekMessageA(&message, window.handle(), MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE))
            return WPARAM(0);
        return message.wParam;
    };

    MCI_PLAY_PARMS parameters{};
    parameters.dwCallback = reinterpret_cast<DWORD_PTR>(window.handle());
    ASSERT_EQ(mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY,
                              reinterpret_cast<DWORD_PTR>(&parameters)),
              0u);
    audio_->advance(2s);
    audio_->failPlaying();
    EXPECT_EQ(notified(), WPARAM(MCI_NOTIFY_FAILURE));
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(status(device, MCI_STATUS_POSITION), 2000u);

    audio_->setPlayAccepted(false);
    EXPECT_EQ(mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY,
                              reinterpret_cast<DWORD_PTR>(&parameters)),
              static_cast<MCIERROR>(MCIERR_HARDWARE));
    EXPECT_EQ(notified(), WPARAM(MCI_NOTIFY_FAILURE));
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));

    audio_->setPlayAccepted(true);
    ASSERT_EQ(mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY,
                              reinterpret_cast<DWORD_PTR>(&parameters)),
              0u);
    EXPECT_EQ(status(device, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    audio_->advance(58s);
    EXPECT_EQ(notified(), WPARAM(MCI_NOTIFY_SUCCESSFUL));
}

TEST_F(StreamDriverTest, CommandsThatNeedARecordRefuseNone)
{
    MCIDEVICEID device = 0;
    ASSERT_EQ(openElement(file("song.mp3"), device), 0u);
    EXPECT_EQ(mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, 0),
              static_cast<MCIERROR>(MCIERR_NULL_PARAMETER_BLOCK));
    EXPECT_EQ(mciSendCommandA(device, MCI_PLAY, MCI_FROM, 0),
              static_cast<MCIERROR>(MCIERR_NULL_PARAMETER_BLOCK));
    EXPECT_EQ(mciSendCommandA(device, MCI_SET, MCI_SET_TIME_FORMAT, 0),
              static_cast<MCIERROR>(MCIERR_NULL_PARAMETER_BLOCK));
    // Without a record a play starts where the device stands.
    EXPECT_EQ(mciSendCommandA(device, MCI_PLAY, 0, 0), 0u);
    MCIERROR error = 0;
    status(device, 0x7777, &error);
    EXPECT_EQ(error, static_cast<MCIERROR>(MCIERR_UNSUPPORTED_FUNCTION));
}

TEST_F(StreamDriverTest, StreamsStartAtTheirLinesGainAndCloseReleasesThem)
{
    hp::winmm::OutputLines::Levels half;
    half.volume = {32768, 32768};
    hp::winmm::OutputLines::instance().setLevels(hp::winmm::OutputLines::Line::Synth, half);
    MCIDEVICEID wave = 0, synth = 0;
    ASSERT_EQ(openElement(file("a.mp3"), wave), 0u);
    ASSERT_EQ(openElement(file("b.mid", "MThd"), synth), 0u);
    EXPECT_DOUBLE_EQ(audio_->gainOf(1).left, 1.0);
    EXPECT_NEAR(audio_->gainOf(2).left, 0.5, 1e-4);
    EXPECT_EQ(audio_->liveStreamCount(), 2);
    EXPECT_EQ(mciSendCommandA(synth, MCI_CLOSE, 0, 0), 0u);
    EXPECT_EQ(audio_->liveStreamCount(), 1);
    // A closed stream no longer follows its line.
    hp::winmm::OutputLines::instance().reset();
    EXPECT_EQ(mciSendCommandA(wave, MCI_CLOSE, MCI_WAIT, 0), 0u);
    EXPECT_EQ(audio_->liveStreamCount(), 0);
}

// Without GStreamer the program gets the silent engine: the drivers still
// answer, and nothing that would play opens.
TEST(SilentEngine, RefusesEveryOpenThatWouldPlay)
{
    hp::winmm::installMciDrivers(hp::winmm::makeStreamMciDrivers(hp::winmm::makeSilentAudioEngine()));
    MCI_OPEN_PARMSA byType{};
    byType.lpstrDeviceType = "waveaudio";
    EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE,
                              reinterpret_cast<DWORD_PTR>(&byType)),
              static_cast<MCIERROR>(MCIERR_WAVE_OUTPUTSUNSUITABLE));
    char path[] = "/tmp/hollyphone_silent_XXXXXX.mid";
    const int descriptor = mkstemps(path, 4);
    ASSERT_GE(descriptor, 0);
    close(descriptor);
    MCI_OPEN_PARMSA byElement{};
    byElement.lpstrElementName = path;
    EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&byElement)),
              static_cast<MCIERROR>(MCIERR_WAVE_OUTPUTSUNSUITABLE));
    EXPECT_EQ(hp::winmm::openMciDeviceCount(), 0u);
    std::remove(path);
}

}  // namespace
