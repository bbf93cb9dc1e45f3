// Mixer device 0: its topology as the program finds it, its values, and the
// gains that playing streams follow.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/testing/scripted_audio.h"
#include "platform/winmm/mixer_backend.h"
#include "platform/winmm/output_mixer.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"

namespace {

using hp::testing::ScriptedAudio;
using hp::winmm::AudioLine;
using hp::winmm::AudioSource;
using hp::winmm::AudioStream;
using hp::winmm::MixerControlAddress;
using hp::winmm::MixerDeviceInfo;
using hp::winmm::OutputLines;
using hp::winmm::OutputMixer;
using hp::winmm::StereoGain;

constexpr DWORD waveSource = 0;
constexpr DWORD synthSource = 1;
constexpr DWORD cdSource = 2;
constexpr DWORD volumeControl = 0;
constexpr DWORD muteControl = 1;

MixerControlAddress address(DWORD source, DWORD control, UINT device = 0)
{
    MixerControlAddress at;
    at.device = device;
    at.destination = 0;
    at.source = source;
    at.control = control;
    return at;
}

// A second device behind the output mixer, answering with its own index.
class OneCard final : public hp::winmm::MixerBackend {
public:
    UINT deviceCount() override { return 1; }
    bool describe(UINT device, MixerDeviceInfo &info) override
    {
        info = MixerDeviceInfo{};
        info.name = "Card " + std::to_string(device);
        return device == 0;
    }
    MMRESULT getValues(const MixerControlAddress &at, std::vector<LONG> &values) override
    {
        values = {static_cast<LONG>(at.device), static_cast<LONG>(at.source)};
        return MMSYSERR_NOERROR;
    }
    MMRESULT setValues(const MixerControlAddress &at, const std::vector<LONG> &values) override
    {
        lastSet = at;
        lastValues = values;
        return MMSYSERR_NOERROR;
    }
    MixerControlAddress lastSet;
    std::vector<LONG> lastValues;
};

class OutputMixerTest : public ::testing::Test {
protected:
    void SetUp() override { OutputLines::instance().reset(); }
    void TearDown() override { OutputLines::instance().reset(); }

    std::unique_ptr<AudioStream> openStream(ScriptedAudio &audio, AudioLine line)
    {
        AudioSource source;
        source.line = line;
        source.hostPath = "/music/file";
        std::unique_ptr<AudioStream> stream;
        EXPECT_EQ(audio.open(source, OutputLines::instance().gain(line), stream), 0u);
        return stream;
    }

    OutputMixer mixer_{nullptr};
};

TEST_F(OutputMixerTest, DeviceZeroHasTheThreeLinesTheProgramLooksFor)
{
    ASSERT_EQ(mixer_.deviceCount(), 1u);
    MixerDeviceInfo info;
    ASSERT_TRUE(mixer_.describe(0, info));
    EXPECT_LE(info.name.size(), 31u);
    ASSERT_EQ(info.destinations.size(), 1u);
    const auto &destination = info.destinations[0];
    EXPECT_EQ(destination.line.componentType, static_cast<DWORD>(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS));
    ASSERT_EQ(destination.sources.size(), 3u);
    EXPECT_EQ(destination.sources[waveSource].name, "Wave");
    EXPECT_EQ(destination.sources[synthSource].name, "SW Synth");
    EXPECT_EQ(destination.sources[cdSource].name, "CD Audio");
    for (const auto &line : {destination.line, destination.sources[0], destination.sources[1],
                             destination.sources[2]}) {
        SCOPED_TRACE(line.name);
        EXPECT_EQ(line.channels, 2u);
        ASSERT_EQ(line.controls.size(), 2u);
        EXPECT_EQ(line.controls[volumeControl].type,
                  static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_VOLUME));
        EXPECT_EQ(line.controls[volumeControl].name, "Volume");
        EXPECT_EQ(line.controls[volumeControl].minimum, 0);
        EXPECT_EQ(line.controls[volumeControl].maximum, 65535);
        EXPECT_EQ(line.controls[muteControl].type, static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_MUTE));
        EXPECT_EQ(line.controls[muteControl].name, "Mute");
    }
    EXPECT_FALSE(mixer_.describe(1, info));
}

TEST_F(OutputMixerTest, ValuesAreClampedToTheControlBounds)
{
    struct Case {
        LONG written;
        LONG read;
    };
    for (const Case &c : {Case{-499, 0}, Case{65739, 65535}, Case{32768, 32768}, Case{0, 0}}) {
        SCOPED_TRACE(c.written);
        ASSERT_EQ(mixer_.setValues(address(waveSource, volumeControl), {c.written, c.written}),
                  static_cast<MMRESULT>(MMSYSERR_NOERROR));
        std::vector<LONG> values;
        ASSERT_EQ(mixer_.getValues(address(waveSource, volumeControl), values),
                  static_cast<MMRESULT>(MMSYSERR_NOERROR));
        EXPECT_EQ(values, (std::vector<LONG>{c.read, c.read}));
    }
    ASSERT_EQ(mixer_.setValues(address(cdSource, muteControl), {5, 5}),
              static_cast<MMRESULT>(MMSYSERR_NOERROR));
    std::vector<LONG> mute;
    mixer_.getValues(address(cdSource, muteControl), mute);
    EXPECT_EQ(mute, (std::vector<LONG>{1, 1}));
}

TEST_F(OutputMixerTest, ControlsOutsideTheDeviceAreRefused)
{
    std::vector<LONG> values;
    EXPECT_EQ(mixer_.getValues(address(3, volumeControl), values),
              static_cast<MMRESULT>(MIXERR_INVALCONTROL));
    EXPECT_EQ(mixer_.getValues(address(waveSource, 2), values),
              static_cast<MMRESULT>(MIXERR_INVALCONTROL));
    EXPECT_EQ(mixer_.getValues(address(waveSource, volumeControl, 1), values),
              static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(mixer_.setValues(address(waveSource, volumeControl), {}),
              static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
}

TEST_F(OutputMixerTest, GainIsLineTimesMasterPerChannelAndMuteSilences)
{
    OutputLines &lines = OutputLines::instance();
    mixer_.setValues(address(waveSource, volumeControl), {65535, 16384});
    mixer_.setValues(address(MixerControlAddress::noSource, volumeControl), {32768, 65535});
    StereoGain wave = lines.gain(AudioLine::Wave);
    EXPECT_NEAR(wave.left, 32768.0 / 65535.0, 1e-9);
    EXPECT_NEAR(wave.right, 16384.0 / 65535.0, 1e-9);
    // The master scales every line.
    EXPECT_NEAR(lines.gain(AudioLine::Synth).left, 32768.0 / 65535.0, 1e-9);
    EXPECT_DOUBLE_EQ(lines.gain(AudioLine::Synth).right, 1.0);

    mixer_.setValues(address(waveSource, muteControl), {1, 1});
    wave = lines.gain(AudioLine::Wave);
    EXPECT_EQ(wave.left, 0.0);
    EXPECT_EQ(wave.right, 0.0);
    EXPECT_GT(lines.gain(AudioLine::CdAudio).left, 0.0);

    mixer_.setValues(address(waveSource, muteControl), {0, 0});
    mixer_.setValues(address(MixerControlAddress::noSource, muteControl), {1, 1});
    for (AudioLine line : {AudioLine::Wave, AudioLine::Synth, AudioLine::CdAudio}) {
        EXPECT_EQ(lines.gain(line).left, 0.0);
        EXPECT_EQ(lines.gain(line).right, 0.0);
    }
}

TEST_F(OutputMixerTest, PlayingStreamsFollowTheirOwnLineOnly)
{
    ScriptedAudio audio;
    auto wave = openStream(audio, AudioLine::Wave);
    auto synth = openStream(audio, AudioLine::Synth);
    OutputLines::Attachment waveFollows = OutputLines::instance().attach(AudioLine::Wave, *wave);
    OutputLines::Attachment synthFollows = OutputLines::instance().attach(AudioLine::Synth, *synth);

    mixer_.setValues(address(waveSource, volumeControl), {32768, 32768});
    EXPECT_NEAR(audio.gainOf(1).left, 0.5, 1e-4);
    EXPECT_DOUBLE_EQ(audio.gainOf(2).left, 1.0);

    // A stream that no longer follows keeps its gain.
    waveFollows = OutputLines::Attachment();
    mixer_.setValues(address(waveSource, volumeControl), {0, 0});
    EXPECT_NEAR(audio.gainOf(1).left, 0.5, 1e-4);

    // The next stream of the line starts at the line's gain.
    auto next = openStream(audio, AudioLine::Wave);
    EXPECT_EQ(audio.gainOf(3).left, 0.0);
}

TEST_F(OutputMixerTest, CardsFollowAsDevicesOneOnwards)
{
    auto card = std::make_unique<OneCard>();
    OneCard &cardView = *card;
    OutputMixer mixer(std::move(card));
    ASSERT_EQ(mixer.deviceCount(), 2u);
    MixerDeviceInfo info;
    ASSERT_TRUE(mixer.describe(1, info));
    EXPECT_EQ(info.name, "Card 0");
    EXPECT_FALSE(mixer.describe(2, info));

    std::vector<LONG> values;
    ASSERT_EQ(mixer.getValues(address(4, 0, 1), values), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(values, (std::vector<LONG>{0, 4}));
    ASSERT_EQ(mixer.setValues(address(2, 1, 1), {7, 8}), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(cardView.lastSet.device, 0u);
    EXPECT_EQ(cardView.lastSet.source, 2u);
    EXPECT_EQ(cardView.lastValues, (std::vector<LONG>{7, 8}));
}

// The program's own volume lookup, through the mixer functions, finds the
// three lines of device 0 by their names and moves the right one.
class VolumeLookupOnOutputMixer : public OutputMixerTest {
protected:
    void SetUp() override
    {
        OutputMixerTest::SetUp();
        hp::test::rebuild(soundDevice);
        hp::winmm::installMixerBackend(std::make_unique<OutputMixer>(nullptr));
    }
};

TEST_F(VolumeLookupOnOutputMixer, EachGaugeMovesItsOwnLine)
{
    struct Case {
        VolumeLine gauge;
        AudioLine line;
    };
    for (const Case &c : {Case{VolumeLine::Wave, AudioLine::Wave},
                          Case{VolumeLine::Midi, AudioLine::Synth},
                          Case{VolumeLine::Cd, AudioLine::CdAudio}}) {
        SCOPED_TRACE(static_cast<int>(c.gauge));
        OutputLines::instance().reset();
        ASSERT_EQ(soundDevice.setVolume(0, 16384, c.gauge), 1);
        for (AudioLine line : {AudioLine::Wave, AudioLine::Synth, AudioLine::CdAudio}) {
            const double expected = line == c.line ? 16384.0 / 65535.0 : 1.0;
            EXPECT_NEAR(OutputLines::instance().gain(line).left, expected, 1e-9);
            EXPECT_NEAR(OutputLines::instance().gain(line).right, expected, 1e-9);
        }
        int value = -1;
        ASSERT_EQ(soundDevice.getVolume(0, &value, c.gauge), 1);
        EXPECT_EQ(value, 16384);
    }
}

TEST_F(VolumeLookupOnOutputMixer, GaugeOvershootIsClamped)
{
    ASSERT_EQ(soundDevice.setVolume(0, 65739, VolumeLine::Wave), 1);
    int value = -1;
    soundDevice.getVolume(0, &value, VolumeLine::Wave);
    EXPECT_EQ(value, 65535);
    ASSERT_EQ(soundDevice.setVolume(0, -499, VolumeLine::Midi), 1);
    soundDevice.getVolume(0, &value, VolumeLine::Midi);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(OutputLines::instance().gain(AudioLine::Synth).left, 0.0);
}

}  // namespace
