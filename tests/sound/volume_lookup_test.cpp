// Finding the Wave, MIDI and CD volume controls by name in scripted mixers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/twins.h"
#include "platform/winmm/mixer_backend.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"

namespace {

using hp::testing::ScriptedControl;
using hp::testing::ScriptedDestination;
using hp::testing::ScriptedLine;
using hp::testing::ScriptedMixerDevice;

constexpr DWORD speakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
constexpr DWORD anySource = MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
constexpr DWORD volumeType = MIXERCONTROL_CONTROLTYPE_VOLUME;
constexpr DWORD muteType = MIXERCONTROL_CONTROLTYPE_MUTE;
constexpr int untouched = -777;

class VolumeLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::test::rebuild(soundDevice);
        hp::testing::scriptedMixer().reset();
        hp::testing::messageBoxRecorder().reset();
    }

    void TearDown() override { EXPECT_EQ(hp::winmm::openMixerHandleCount(), 0u); }

    static ScriptedMixerDevice &device(const std::string &name = "Scripted")
    {
        return hp::testing::scriptedMixer().addDevice(name);
    }

    // A source with one stereo volume control at value on both channels.
    static ScriptedControl &sourceWithVolume(ScriptedDestination &destination,
                                             const std::string &name, LONG value)
    {
        return destination.addSource(name, anySource)
            .addControl("Volume", volumeType)
            .setValues({value, value});
    }

    static int volume(int deviceIndex, VolumeLine line)
    {
        int value = untouched;
        int result = soundDevice.getVolume(deviceIndex, &value, line);
        return result == 1 ? value : -result;  // 0 (not found) shows as 0
    }
};

TEST_F(VolumeLookup, SourcesByKind)
{
    ScriptedDestination &out = device().addDestination("Volume Control", speakers);
    sourceWithVolume(out, "CD Audio", 1000);
    sourceWithVolume(out, "Wave", 2000);
    sourceWithVolume(out, "SW Synth", 3000);
    EXPECT_EQ(volume(0, VolumeLine::Cd), 1000);
    EXPECT_EQ(volume(0, VolumeLine::Wave), 2000);
    EXPECT_EQ(volume(0, VolumeLine::Midi), 3000);
}

TEST_F(VolumeLookup, WordListsMatchBytesExactly)
{
    struct Case {
        const char *destination;
        const char *source;
        const char *control;
        VolumeLine line;
        bool found;
    };
    const Case cases[] = {
        {"Volume Control", "cd player", "Volume", VolumeLine::Cd, false},  // case matters
        {"Volume Control", "MY CD", "Volume", VolumeLine::Cd, true},
        {"Volume Control", "wavetable", "vol", VolumeLine::Wave, true},
        {"Volume Control", "Mp3 decoder", "Volume", VolumeLine::Wave, false},
        {"Volume Control", "mp3 decoder", "VOL", VolumeLine::Wave, true},
        {"Master", "Wave", "Volume", VolumeLine::Wave, false},  // no playback destination
        {"PLAYBACK", "Wave", "Volume", VolumeLine::Wave, true},
        {"Playback", "Wave", "Level", VolumeLine::Wave, false},  // no volume control
        {"ﾎﾞﾘｭｰﾑ", "ｼﾝｾｻｲｻﾞ", "音量", VolumeLine::Midi, true},
        {"ボリューム コントロール", "ソフトウェア シンセサイザ", "音量", VolumeLine::Midi, true},
        {"再生", "SYNTH", "Vol", VolumeLine::Midi, true},
        {"ﾌﾟﾚｲ", "Midi Out", "VOL", VolumeLine::Midi, true},
        {"プレイバック", "ＣＤ", "音量", VolumeLine::Cd, false},  // full-width letters differ
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.destination) + " / " + c.source + " / " + c.control);
        hp::testing::scriptedMixer().reset();
        device()
            .addDestination(c.destination, speakers)
            .addSource(c.source, anySource)
            .addControl(c.control, volumeType)
            .setValues({4321, 4321});
        EXPECT_EQ(volume(0, c.line), c.found ? 4321 : 0);
    }
}

TEST_F(VolumeLookup, LastMatchingDestinationWins)
{
    ScriptedMixerDevice &mixer = device();
    sourceWithVolume(mixer.addDestination("Volume Control", speakers), "Wave", 1111);
    sourceWithVolume(mixer.addDestination("Recording Control", speakers), "Wave", 2222);
    EXPECT_EQ(volume(0, VolumeLine::Wave), 1111);

    ScriptedMixerDevice &second = device("Second");
    sourceWithVolume(second.addDestination("再生", speakers), "Wave", 3333);
    sourceWithVolume(second.addDestination("Play Control", speakers), "Wave", 4444);
    EXPECT_EQ(volume(1, VolumeLine::Wave), 4444);
}

TEST_F(VolumeLookup, FirstMatchingSourceWinsEvenWithoutAVolumeControl)
{
    ScriptedDestination &out = device().addDestination("Volume Control", speakers);
    sourceWithVolume(out, "Wave Out", 1000);
    sourceWithVolume(out, "MP3 Wave", 2000);
    EXPECT_EQ(volume(0, VolumeLine::Wave), 1000);

    ScriptedDestination &other = device("Second").addDestination("Volume Control", speakers);
    other.addSource("MIDI Synth", anySource).addControl("Mute", muteType);
    sourceWithVolume(other, "Midi Out", 3000);
    EXPECT_EQ(volume(1, VolumeLine::Midi), 0);
}

TEST_F(VolumeLookup, LastMatchingControlWins)
{
    ScriptedDestination &out = device().addDestination("Volume Control", speakers);
    ScriptedLine &wave = out.addSource("Wave", anySource);
    wave.addControl("Volume", volumeType).setValues({100, 100});
    wave.addControl("Mute", muteType);
    EXPECT_EQ(volume(0, VolumeLine::Wave), 100);

    ScriptedLine &synth = out.addSource("Synth", anySource);
    synth.addControl("Volume", volumeType).setValues({100, 100});
    synth.addControl("Mute", muteType);
    synth.addControl("Vol Boost", volumeType).setValues({300, 300});
    EXPECT_EQ(volume(0, VolumeLine::Midi), 300);
}

TEST_F(VolumeLookup, SetVolumeMovesOnlyTheFoundControl)
{
    ScriptedDestination &out = device().addDestination("Volume Control", speakers);
    ScriptedControl &cd = sourceWithVolume(out, "CD", 5);
    ScriptedControl &wave = sourceWithVolume(out, "Wave", 5);
    EXPECT_EQ(soundDevice.setVolume(0, 65535, VolumeLine::Wave), 1);
    EXPECT_EQ(wave.values(), (std::vector<LONG>{65535, 65535}));
    EXPECT_EQ(cd.values(), (std::vector<LONG>{5, 5}));
    EXPECT_EQ(cd.setCount(), 0);
}

TEST_F(VolumeLookup, OutOfRangeDevicesAndLinesChangeNothing)
{
    EXPECT_EQ(volume(0, VolumeLine::Cd), 0);  // no mixer at all
    ScriptedControl &wave =
        sourceWithVolume(device().addDestination("Volume Control", speakers), "Wave", 9);
    for (int index : {1, -1, 25}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(volume(index, VolumeLine::Wave), 0);
        EXPECT_EQ(soundDevice.setVolume(index, 1, VolumeLine::Wave), 0);
    }
    for (int line : {0, 4, -1}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(volume(0, static_cast<VolumeLine>(line)), 0);
        EXPECT_EQ(soundDevice.setVolume(0, 1, static_cast<VolumeLine>(line)), 0);
    }
    EXPECT_EQ(wave.setCount(), 0);
    EXPECT_TRUE(hp::testing::messageBoxRecorder().calls().empty());
}

// A found control whose type has no value kind: the lookup still answers 1,
// the message appears, and the output keeps its value.
TEST_F(VolumeLookup, FoundControlWithoutAValueKind)
{
    device()
        .addDestination("Volume Control", speakers)
        .addSource("Wave", anySource)
        .addControl("Volume", MIXERCONTROL_CONTROLTYPE_CUSTOM);
    int value = untouched;
    EXPECT_EQ(soundDevice.getVolume(0, &value, VolumeLine::Wave), 1);
    EXPECT_EQ(value, untouched);
    const auto &boxes = hp::testing::messageBoxRecorder().calls();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "コントロールの設定。コントロールタイプ取得失敗");
    EXPECT_EQ(boxes[0].owner, nullptr);
}

}  // namespace
