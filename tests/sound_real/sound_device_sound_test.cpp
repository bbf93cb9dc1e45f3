// The player's sound device on the real drivers and mixer: what it plays is
// recorded from the private sound server and measured.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "platform/host/gst_audio_engine.h"
#include "platform/winmm/mci_cd_driver.h"
#include "platform/winmm/mci_stream_driver.h"
#include "platform/winmm/output_mixer.h"
#include "sound/sound_device.h"
#include "tests/sound_real/signal_analysis.h"
#include "tests/sound_real/sound_server.h"
#include "tests/sound_real/test_media.h"
#include "tests/support/fresh_object.h"

namespace hp::soundtest {
namespace {

using namespace std::chrono_literals;

constexpr auto boundedPlay = 5s;

// Installs the real drivers over a GStreamer engine and the output mixer.
std::shared_ptr<winmm::AudioEngine> installRealSound()
{
    std::shared_ptr<winmm::AudioEngine> engine = host::makeGstAudioEngine();
    auto drivers = winmm::makeStreamMciDrivers(engine);
    drivers.push_back(winmm::makeCdMciDriver(engine));
    winmm::installMciDrivers(std::move(drivers));
    winmm::installMixerBackend(std::make_unique<winmm::OutputMixer>(nullptr));
    winmm::OutputLines::instance().reset();
    return engine;
}

class SoundDeviceSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = soundServerMissing();
        if (!missing.empty())
            GTEST_SKIP() << missing;
        sink_ = std::make_unique<TestSink>();
        ASSERT_TRUE(sink_->held());
        ASSERT_FALSE(folder_.path().empty());
        test::rebuild(soundDevice);
        engine_ = installRealSound();
    }

    void TearDown() override
    {
        if (!engine_)
            return;
        soundDevice.stop(nullptr);
        soundDevice.close();
        EXPECT_EQ(winmm::openMciDeviceCount(), 0u);
        EXPECT_EQ(engine_->liveStreamCount(), 0);
    }

    std::string toneMp3(const std::string &name, const std::vector<ToneSegment> &segments)
    {
        const std::string mp3 = folder_.pathOf(name);
        std::string why;
        if (!writeToneMp3(mp3, segments, BitRate::Constant, why))
            ADD_FAILURE() << why;
        return mp3;
    }

    // The play button's road: the source, play, then the length.
    int playFile(const std::string &path, int &lengthSeconds)
    {
        soundDevice.setFileSource(path.c_str());
        const int played = soundDevice.play(nullptr);
        lengthSeconds = -1;
        soundDevice.getLength(nullptr, nullptr, 0, 1, &lengthSeconds);
        return played;
    }

    std::unique_ptr<TestSink> sink_;
    TempFolder folder_;
    std::shared_ptr<winmm::AudioEngine> engine_;
};

TEST_F(SoundDeviceSound, TheStartUpTestOpensWaveaudio)
{
    EXPECT_EQ(soundDevice.initialize(nullptr), 1);
    EXPECT_NE(soundDevice.deviceId, 0u);
    EXPECT_EQ(winmm::openMciDeviceCount(), 1u);
}

TEST_F(SoundDeviceSound, AnMp3PlaysToTheEndAtItsPitch)
{
    const std::string mp3 = toneMp3("[Artist] Tone.mp3", {{1000.0, 3.0}});
    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    int length = 0;
    ASSERT_EQ(playFile(mp3, length), 1);
    EXPECT_EQ(length, 3);
    std::this_thread::sleep_for(3500ms);
    int track = -1, seconds = -1;
    soundDevice.getPosition(nullptr, &track, &seconds);
    EXPECT_EQ(track, -1);  // a file has no track
    EXPECT_EQ(seconds, 3);
    const std::vector<int16_t> recorded = recorder.stop();

    const SoundSpan span = findSound(recorded);
    ASSERT_TRUE(span.found) << "nothing was heard";
    EXPECT_NEAR(span.seconds(), 3.0, 0.15);
    EXPECT_NEAR(toneFrequencyHz(recorded, span.first + sampleRate / 2, sampleRate), 1000.0, 20.0);
}

TEST_F(SoundDeviceSound, TheSeekBarRestartsAtTheClickedSecond)
{
    const std::string mp3 =
        toneMp3("steps.mp3", {{500.0, 1.0}, {700.0, 1.0}, {900.0, 1.0}, {1100.0, 1.0}});
    int length = 0;
    ASSERT_EQ(playFile(mp3, length), 1);
    std::this_thread::sleep_for(300ms);

    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    // The progress bar's road: position, stop, the new second, play.
    int track = 0, seconds = 0;
    soundDevice.getPosition(nullptr, &track, &seconds);
    soundDevice.stop(nullptr);
    soundDevice.setTrackAndStart(nullptr, track, 2);
    ASSERT_EQ(soundDevice.playFromPosition(nullptr), 1);
    std::this_thread::sleep_for(2500ms);
    const std::vector<int16_t> recorded = recorder.stop();

    const SoundSpan span = findSound(recorded);
    ASSERT_TRUE(span.found);
    EXPECT_NEAR(span.seconds(), 2.0, 0.15);
    EXPECT_NEAR(toneFrequencyHz(recorded, span.first + sampleRate / 10, sampleRate / 2), 900.0,
                18.0);
}

TEST_F(SoundDeviceSound, TheWaveGaugeAtHalfLowersTheLevelBySixDecibels)
{
    const std::string mp3 = toneMp3("level.mp3", {{800.0, 4.0}});
    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    int length = 0;
    ASSERT_EQ(playFile(mp3, length), 1);
    std::this_thread::sleep_for(1500ms);
    ASSERT_EQ(soundDevice.setVolume(0, 32768, VolumeLine::Wave), 1);
    // Another line's gauge leaves this stream alone.
    ASSERT_EQ(soundDevice.setVolume(0, 0, VolumeLine::Midi), 1);
    std::this_thread::sleep_for(3000ms);
    const std::vector<int16_t> recorded = recorder.stop();

    const SoundSpan span = findSound(recorded);
    ASSERT_TRUE(span.found);
    const double before = rmsLevel(recorded, span.first + sampleRate / 4, sampleRate);
    const double after = rmsLevel(recorded, span.first + sampleRate * 2, sampleRate);
    ASSERT_GT(before, 1000.0);
    EXPECT_NEAR(20.0 * std::log10(after / before), 20.0 * std::log10(32768.0 / 65535.0), 0.5);
}

TEST_F(SoundDeviceSound, StopSilencesThePlayer)
{
    const std::string mp3 = toneMp3("long.mp3", {{700.0, 6.0}});
    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    int length = 0;
    ASSERT_EQ(playFile(mp3, length), 1);
    std::this_thread::sleep_for(1500ms);
    const size_t framesAtStop = recorder.framesSoFar();
    EXPECT_EQ(soundDevice.stop(nullptr), 1);
    std::this_thread::sleep_for(1500ms);
    const std::vector<int16_t> recorded = recorder.stop();

    const SoundSpan span = findSound(recorded);
    ASSERT_TRUE(span.found);
    EXPECT_LT(static_cast<double>(span.last) - static_cast<double>(framesAtStop),
              0.2 * sampleRate);
}

TEST_F(SoundDeviceSound, AMidiFilePlaysOnTheSynthLine)
{
    const std::string mid = folder_.pathOf("tune.mid");
    writeMidiFile(mid, {{69, 2.0}, {76, 2.0}});
    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    int length = 0;
    ASSERT_EQ(playFile(mid, length), 1);
    EXPECT_EQ(length, 4);
    std::this_thread::sleep_for(1000ms);
    // The MIDI gauge at zero silences it; the Wave gauge would not.
    ASSERT_EQ(soundDevice.setVolume(0, 0, VolumeLine::Wave), 1);
    std::this_thread::sleep_for(500ms);
    const size_t framesAtMute = recorder.framesSoFar();
    ASSERT_EQ(soundDevice.setVolume(0, 0, VolumeLine::Midi), 1);
    std::this_thread::sleep_for(1500ms);
    const std::vector<int16_t> recorded = recorder.stop();

    const SoundSpan span = findSound(recorded);
    ASSERT_TRUE(span.found) << "the synthesiser was silent";
    EXPECT_NEAR(strongestFrequencyHz(recorded, span.first + sampleRate / 4, sampleRate / 2, 200,
                                     2000),
                440.0, 8.8);
    EXPECT_GT(static_cast<double>(span.last), static_cast<double>(span.first) + 1.2 * sampleRate);
    EXPECT_LT(static_cast<double>(span.last) - static_cast<double>(framesAtMute),
              0.2 * sampleRate);
}

TEST_F(SoundDeviceSound, BadFilesDoNotPlayAndHoldNothing)
{
    std::mt19937 generator(1225);
    std::string noise(32 * 1024, '\0');
    for (char &byte : noise)
        byte = static_cast<char>(generator() & 0xFF);
    const std::string id3("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
    const std::string midiHeader("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14);

    struct Case {
        std::string name;
        std::string bytes;
    };
    const Case files[] = {{"noise.mp3", id3 + noise},
                          {"garbage.mid", midiHeader + noise.substr(0, 2048)},
                          {"empty.mp3", ""}};
    std::vector<std::string> paths;
    for (const Case &file : files) {
        const std::vector<unsigned char> bytes(file.bytes.begin(), file.bytes.end());
        writeBytes(folder_.pathOf(file.name), bytes);
        paths.push_back(folder_.pathOf(file.name));
    }
    // A folder that looks like a file, a pipe in the place of one (no
    // writer ever comes), and a file deleted after it was found.
    paths.push_back(folder_.pathOf("album.mp3"));
    ASSERT_EQ(mkdir(paths.back().c_str(), 0700), 0);
    paths.push_back(folder_.pathOf("pipe.mp3"));
    ASSERT_EQ(mkfifo(paths.back().c_str(), 0600), 0);
    paths.push_back(toneMp3("vanished.mp3", {{440.0, 1.0}}));
    ASSERT_EQ(unlink(paths.back().c_str()), 0);

    // A good file plays first: every bad one must also close it.
    const std::string good = toneMp3("good.mp3", {{440.0, 10.0}});
    int length = 0;
    ASSERT_EQ(playFile(good, length), 1);
    for (const std::string &path : paths) {
        SCOPED_TRACE(path);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(playFile(path, length), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, boundedPlay);
        EXPECT_EQ(engine_->liveStreamCount(), 0);
        EXPECT_EQ(winmm::openMciDeviceCount(), 0u);
    }
}

// Not a sound test of the private server: the real sink is pointed at a
// server that is not there, so it runs everywhere.
TEST(SoundDeviceWithoutServer, NothingOpensAndPlayAnswersZero)
{
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    setenv("PULSE_SERVER", ("unix:" + folder.pathOf("no-server")).c_str(), 1);
    test::rebuild(soundDevice);
    const auto engine = installRealSound();

    EXPECT_EQ(soundDevice.initialize(nullptr), 0);
    const std::string wav = folder.pathOf("tone.wav");
    writeToneWav(wav, {{440.0, 0.5}});
    soundDevice.setFileSource(wav.c_str());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(soundDevice.play(nullptr), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, boundedPlay);
    EXPECT_EQ(engine->liveStreamCount(), 0);
    EXPECT_EQ(winmm::openMciDeviceCount(), 0u);
}

}  // namespace
}  // namespace hp::soundtest
