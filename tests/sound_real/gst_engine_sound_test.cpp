// The GStreamer engine heard through a private sound server: what comes out
// of the sink is recorded and measured.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "platform/host/gst_audio_engine.h"
#include "tests/sound_real/restartable_sound_server.h"
#include "tests/sound_real/signal_analysis.h"
#include "tests/sound_real/sound_server.h"
#include "tests/sound_real/test_media.h"

namespace hp::soundtest {
namespace {

using namespace std::chrono_literals;
using winmm::AudioSource;
using winmm::AudioStream;
using winmm::AudioTime;
using winmm::PlaybackState;

class EngineSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = soundServerMissing();
        if (!missing.empty())
            GTEST_SKIP() << missing;
        sink_ = std::make_unique<TestSink>();
        ASSERT_TRUE(sink_->held());
        ASSERT_FALSE(folder_.path().empty());
        engine_ = host::makeGstAudioEngine();
    }

    std::string pathOf(const std::string &name) const { return folder_.pathOf(name); }

    std::string toneMp3(const std::string &name, const std::vector<ToneSegment> &segments,
                        BitRate bitRate = BitRate::Constant)
    {
        const std::string mp3 = pathOf(name + ".mp3");
        std::string why;
        if (!writeToneMp3(mp3, segments, bitRate, why))
            ADD_FAILURE() << why;
        return mp3;
    }

    std::unique_ptr<AudioStream> open(AudioSource::Kind kind, const std::string &path,
                                      winmm::StereoGain gain = {})
    {
        AudioSource source;
        source.kind = kind;
        source.hostPath = path;
        source.line = kind == AudioSource::Kind::MidiFile ? winmm::AudioLine::Synth
                                                          : winmm::AudioLine::Wave;
        std::unique_ptr<AudioStream> stream;
        const MCIERROR error = engine_->open(source, gain, stream);
        EXPECT_EQ(error, 0u) << path;
        return stream;
    }

    // Waits until the stream has stopped playing (bounded).
    static void waitForEnd(AudioStream &stream, std::chrono::seconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (stream.state() == PlaybackState::Playing &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
    }

    std::unique_ptr<TestSink> sink_;
    TempFolder folder_;
    std::shared_ptr<winmm::AudioEngine> engine_;
};

TEST_F(EngineSound, VariableBitRateLengthIsWithinASecond)
{
    // Quiet, then loud and busy: the bit rate of the first frames says
    // little about the rest, and there is no Xing header to ask.
    const std::string mp3 = toneMp3("vbr",
                                    {{50.0, 4.0}, {4000.0, 4.0}, {9000.0, 4.0}, {200.0, 8.0}},
                                    BitRate::VariableNoHeader);
    auto stream = open(AudioSource::Kind::File, mp3);
    ASSERT_TRUE(stream);
    EXPECT_NEAR(std::chrono::duration<double>(stream->length()).count(), 20.0, 1.0);
}

TEST_F(EngineSound, PlayToAPositionEndsThereAndReportsTheEnd)
{
    const std::string mp3 = toneMp3("segment", {{600.0, 4.0}});
    auto stream = open(AudioSource::Kind::File, mp3);
    ASSERT_TRUE(stream);
    std::atomic<int> ends{0};
    stream->setEndHandler([&ends](winmm::PlayEnd) { ++ends; });

    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(stream->play(AudioTime(1s), AudioTime(2500ms)));
    waitForEnd(*stream, 5s);
    std::this_thread::sleep_for(300ms);
    const std::vector<int16_t> recorded = recorder.stop();

    EXPECT_EQ(ends.load(), 1);
    EXPECT_NEAR(std::chrono::duration<double>(stream->position()).count(), 2.5, 0.1);
    const SoundSpan span = findSound(recorded);
    ASSERT_TRUE(span.found);
    EXPECT_NEAR(span.seconds(), 1.5, 0.15);
}

TEST_F(EngineSound, ChannelGainsAreIndependent)
{
    const std::string mp3 = toneMp3("balance", {{800.0, 2.0}});
    // Only the left channel is recorded: full left with a quiet right, then
    // a quarter left with a full right.
    auto loud = open(AudioSource::Kind::File, mp3, {1.0, 0.1});
    auto quiet = open(AudioSource::Kind::File, mp3, {0.25, 1.0});
    ASSERT_TRUE(loud && quiet);
    std::vector<double> levels;
    for (AudioStream *stream : {loud.get(), quiet.get()}) {
        MonitorRecorder recorder(sink_->name());
        ASSERT_TRUE(recorder.start());
        ASSERT_TRUE(stream->play(std::nullopt, std::nullopt));
        waitForEnd(*stream, 4s);
        std::this_thread::sleep_for(200ms);
        const std::vector<int16_t> recorded = recorder.stop();
        const SoundSpan span = findSound(recorded);
        ASSERT_TRUE(span.found);
        levels.push_back(rmsLevel(recorded, span.first + sampleRate / 4, sampleRate));
    }
    EXPECT_NEAR(20.0 * std::log10(levels[1] / levels[0]), -12.04, 0.5);
}

TEST_F(EngineSound, StreamIsNamedAfterHollyphoneAndItsLine)
{
    const std::string mp3 = toneMp3("named", {{700.0, 3.0}});
    auto stream = open(AudioSource::Kind::File, mp3);
    ASSERT_TRUE(stream);
    ASSERT_TRUE(stream->play(std::nullopt, std::nullopt));
    std::this_thread::sleep_for(500ms);
    const std::string listing = sink_->streamListing();
    stream.reset();
    EXPECT_NE(listing.find("media.name = \"Hollyphone Wave\""), std::string::npos) << listing;
    EXPECT_NE(listing.find("application.name = \"Hollyphone\""), std::string::npos) << listing;
}

TEST_F(EngineSound, MidiPlaysFromAChosenSecond)
{
    const std::string mid = pathOf("scale.mid");
    writeMidiFile(mid, {{60, 1.0}, {64, 1.0}, {67, 1.0}, {72, 1.0}});
    auto stream = open(AudioSource::Kind::MidiFile, mid);
    ASSERT_TRUE(stream);

    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(stream->play(AudioTime(2s), std::nullopt));
    waitForEnd(*stream, 6s);
    std::this_thread::sleep_for(300ms);
    const std::vector<int16_t> recorded = recorder.stop();

    const SoundSpan span = findSound(recorded);
    ASSERT_TRUE(span.found);
    EXPECT_NEAR(strongestFrequencyHz(recorded, span.first + sampleRate / 4, sampleRate / 2, 200,
                                     2000),
                keyFrequencyHz(67), keyFrequencyHz(67) * 0.02);
}

// Milliseconds from a moment to the arrival of the first loud sample after
// it.
double firstSoundAfterMs(const MonitorRecorder &recorder, const std::vector<int16_t> &recorded,
                         MonitorRecorder::Clock::time_point moment)
{
    for (size_t frame = 0; frame < recorded.size(); ++frame) {
        if (std::abs(static_cast<int>(recorded[frame])) > 300 && recorder.arrivalOf(frame) > moment)
            return std::chrono::duration<double, std::milli>(recorder.arrivalOf(frame) - moment)
                .count();
    }
    return -1.0;
}

double dbfs(double level) { return 20.0 * std::log10(level / 32768.0); }

// General MIDI files are heard as loud as other music: piano chords at
// velocity 100 with the MIDI gauge full lie between -20 and -12 dBFS RMS,
// the loudest chord of the keyboard stays below full scale, and the sound
// starts at once. The chords have no program change: a channel that never
// had one plays the piano.
TEST_F(EngineSound, MidiIsHeardAtOnceAsLoudAsOtherMusicWithoutClipping)
{
    const std::string chords = pathOf("chords.mid");
    writeMidiChords(chords, {{{60, 64, 67, 72}, 1.0}, {{53, 57, 60, 65}, 1.0},
                             {{55, 59, 62, 67}, 1.0}, {{60, 64, 67, 72}, 1.0}},
                    noProgramChange);
    const std::string loudest = pathOf("loudest.mid");
    writeMidiChords(loudest, {{{36, 40, 43, 48, 52, 55, 60, 64, 67, 72, 76, 79, 84, 88, 91, 96},
                               2.0, 127}});

    auto piano = open(AudioSource::Kind::MidiFile, chords);
    ASSERT_TRUE(piano);
    MonitorRecorder pianoRecorder(sink_->name());
    ASSERT_TRUE(pianoRecorder.start());
    const auto played = MonitorRecorder::Clock::now();
    ASSERT_TRUE(piano->play(std::nullopt, std::nullopt));
    waitForEnd(*piano, 8s);
    std::this_thread::sleep_for(300ms);
    const std::vector<int16_t> pianoRecorded = pianoRecorder.stop();
    piano.reset();

    auto chord = open(AudioSource::Kind::MidiFile, loudest);
    ASSERT_TRUE(chord);
    MonitorRecorder chordRecorder(sink_->name());
    ASSERT_TRUE(chordRecorder.start());
    ASSERT_TRUE(chord->play(std::nullopt, std::nullopt));
    waitForEnd(*chord, 6s);
    const std::vector<int16_t> chordRecorded = chordRecorder.stop();

    const double delay = firstSoundAfterMs(pianoRecorder, pianoRecorded, played);
    EXPECT_GE(delay, 0.0) << "nothing was heard";
    EXPECT_LT(delay, 150.0);
    const SoundSpan span = findSound(pianoRecorded);
    ASSERT_TRUE(span.found);
    const double level = dbfs(rmsLevel(pianoRecorded, span.first, span.last - span.first));
    EXPECT_GE(level, -20.0);
    EXPECT_LE(level, -12.0);
    ASSERT_TRUE(findSound(chordRecorded).found);
    int peak = 0;
    for (int16_t sample : chordRecorded)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_LT(peak, 32767) << "the chord clips";
}

TEST_F(EngineSound, APlayLongAfterTheOpenStartsAtOnce)
{
    const std::string mp3 = toneMp3("waiting", {{600.0, 2.0}});
    auto stream = open(AudioSource::Kind::File, mp3);
    ASSERT_TRUE(stream);
    std::this_thread::sleep_for(800ms);

    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    const auto played = MonitorRecorder::Clock::now();
    ASSERT_TRUE(stream->play(std::nullopt, std::nullopt));
    std::this_thread::sleep_for(1000ms);
    const double position = std::chrono::duration<double>(stream->position()).count();
    const std::vector<int16_t> recorded = recorder.stop();

    // The fault this guards is a start delayed by as long as the stream
    // waited (800 ms here); the bound leaves room for the sink's buffering
    // on a busy machine. How fast play reaches the speakers is measured by
    // the audio benchmark.
    const double delay = firstSoundAfterMs(recorder, recorded, played);
    EXPECT_GE(delay, 0.0) << "nothing was heard";
    EXPECT_LT(delay, 300.0);
    EXPECT_NEAR(position, 1.0, 0.1);
}

TEST_F(EngineSound, PauseHoldsThePlaceAndResumeGoesOnFromIt)
{
    const std::string mp3 = toneMp3("paused", {{500.0, 1.0}, {700.0, 1.0}, {900.0, 1.0}});
    auto stream = open(AudioSource::Kind::File, mp3);
    ASSERT_TRUE(stream);
    MonitorRecorder recorder(sink_->name());
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(stream->play(std::nullopt, std::nullopt));
    std::this_thread::sleep_for(1300ms);
    stream->pause();
    EXPECT_EQ(stream->state(), PlaybackState::Paused);
    const auto pausedAt = stream->position();
    std::this_thread::sleep_for(1000ms);
    EXPECT_EQ(stream->position(), pausedAt);
    const auto resumed = MonitorRecorder::Clock::now();
    stream->resume();
    EXPECT_EQ(stream->state(), PlaybackState::Playing);
    std::this_thread::sleep_for(400ms);
    const double position = std::chrono::duration<double>(stream->position()).count();
    const std::vector<int16_t> recorded = recorder.stop();

    EXPECT_NEAR(std::chrono::duration<double>(pausedAt).count(), 1.3, 0.1);
    EXPECT_NEAR(position, 1.7, 0.1);
    const double delay = firstSoundAfterMs(recorder, recorded, resumed);
    EXPECT_GE(delay, 0.0);
    EXPECT_LT(delay, 100.0);
    // What follows the resume is the second second's pitch.
    size_t firstAfter = 0;
    while (firstAfter < recorded.size() && recorder.arrivalOf(firstAfter) <= resumed)
        ++firstAfter;
    const SoundSpan after = findSound(std::vector<int16_t>(recorded.begin() + static_cast<long>(firstAfter), recorded.end()));
    ASSERT_TRUE(after.found);
    EXPECT_NEAR(toneFrequencyHz(recorded, firstAfter + after.first + sampleRate / 20,
                                sampleRate / 5),
                700.0, 14.0);
}

// The sound server is killed under a playing stream and started again: the
// play ends as failed where it stood, a play while the server is away is
// refused, and once it is back the stream is heard again from that place.
TEST(EngineAndItsServer, APlayCutOffByTheServerIsHeardAgainOnceItIsBack)
{
    if (std::system("command -v pulseaudio >/dev/null && command -v parec >/dev/null") != 0)
        GTEST_SKIP() << "pulseaudio and parec (pulseaudio-utils) are not installed";
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    RestartableSoundServer server(folder.pathOf("server"));
    if (!server.start())
        GTEST_SKIP() << "a sound server of the test's own did not start";
    const char *before = std::getenv("PULSE_SERVER");
    const std::string saved = before ? before : "";
    setenv("PULSE_SERVER", server.address().c_str(), 1);

    const std::string wav = folder.pathOf("tone.wav");
    writeToneWav(wav, {{500.0, 6.0}});
    AudioSource source;
    source.hostPath = wav;
    std::unique_ptr<AudioStream> stream;
    ASSERT_EQ(host::makeGstAudioEngine()->open(source, {}, stream), 0u);
    std::atomic<int> failures{0};
    std::atomic<int> ends{0};
    stream->setEndHandler([&](winmm::PlayEnd end) {
        ++(end == winmm::PlayEnd::Failed ? failures : ends);
    });
    ASSERT_TRUE(stream->play(std::nullopt, std::nullopt));
    std::this_thread::sleep_for(1500ms);
    server.kill();
    for (int wait = 0; wait < 200 && failures == 0; ++wait)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(failures.load(), 1);
    EXPECT_EQ(stream->state(), PlaybackState::Stopped);
    const double failedAt = std::chrono::duration<double>(stream->position()).count();
    EXPECT_NEAR(failedAt, 1.5, 0.3);
    EXPECT_FALSE(stream->play(std::nullopt, std::nullopt)) << "no server, no play";

    ASSERT_TRUE(server.start());
    MonitorRecorder recorder(server.sinkName());
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(stream->play(std::nullopt, std::nullopt));
    std::this_thread::sleep_for(1000ms);
    const double position = std::chrono::duration<double>(stream->position()).count();
    std::this_thread::sleep_for(2000ms);
    const std::vector<int16_t> recorded = recorder.stop();
    EXPECT_EQ(stream->state(), PlaybackState::Playing);
    stream.reset();
    if (before)
        setenv("PULSE_SERVER", saved.c_str(), 1);
    else
        unsetenv("PULSE_SERVER");

    EXPECT_NEAR(position, failedAt + 1.0, 0.2);
    EXPECT_EQ(ends.load(), 0);
    EXPECT_TRUE(findSound(recorded).found) << "nothing was heard after the server came back";
}

}  // namespace
}  // namespace hp::soundtest
