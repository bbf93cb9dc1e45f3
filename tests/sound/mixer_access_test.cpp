// Mixer listings and control values through the scripted mixer.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "platform/testing/twins.h"
#include "platform/winmm/mixer_backend.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"

namespace {

using hp::testing::ScriptedControl;
using hp::testing::ScriptedLine;

constexpr char roomText[] = "関数呼び出し時のメモリ領域が足りません";
constexpr char controlTypeText[] = "コントロールの設定。コントロールタイプ取得失敗";
constexpr DWORD speakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
constexpr DWORD waveOut = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
constexpr DWORD sentinel = 0xDEADBEEFu;

class MixerAccess : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::test::rebuild(soundDevice);
        hp::testing::scriptedMixer().reset();
        boxes().reset();
    }

    void TearDown() override
    {
        // Every operation closes what it opened, failures included.
        EXPECT_EQ(hp::winmm::openMixerHandleCount(), 0u);
    }

    static hp::testing::MessageBoxRecorder &boxes() { return hp::testing::messageBoxRecorder(); }

    // Device 0, destination 0, source 0 with the given channels.
    ScriptedLine &stereoSource(DWORD channels = 2)
    {
        return hp::testing::scriptedMixer()
            .addDevice("Scripted")
            .addDestination("Volume Control", speakers)
            .addSource("Wave", waveOut, channels);
    }

    DWORD read(int control)
    {
        DWORD value = sentinel;
        EXPECT_EQ(soundDevice.getControlValue(nullptr, 0, 0, 0, control, &value), 1);
        return value;
    }

    void expectBoxes(const std::vector<std::string> &texts)
    {
        ASSERT_EQ(boxes().calls().size(), texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(boxes().calls()[i].text, texts[i]);
            EXPECT_EQ(boxes().calls()[i].caption, "Brisel Library <kq32> Error");
            EXPECT_EQ(boxes().calls()[i].type, static_cast<UINT>(MB_ICONERROR));
            EXPECT_EQ(boxes().calls()[i].owner, nullptr);
        }
    }

    char names_[8][32];
};

TEST_F(MixerAccess, StereoVolumeAveragesAndSpreads)
{
    ScriptedControl &volume = stereoSource().addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
    volume.setValues({30000, 40000});
    EXPECT_EQ(read(0), 35000u);

    EXPECT_EQ(soundDevice.setControlValue(nullptr, 0, 0, 0, 0, 20000), 1);
    EXPECT_EQ(volume.values(), (std::vector<LONG>{20000, 20000}));
    EXPECT_EQ(volume.setCount(), 1);
    EXPECT_TRUE(boxes().calls().empty());
}

TEST_F(MixerAccess, SignedAndBooleanKinds)
{
    ScriptedLine &line = stereoSource();
    line.addControl("Pan", MIXERCONTROL_CONTROLTYPE_SIGNED).setValues({-100, -200});
    line.addControl("Mute", MIXERCONTROL_CONTROLTYPE_MUTE).setValues({1, 0});
    line.addControl("Loudness", MIXERCONTROL_CONTROLTYPE_LOUDNESS).setValues({1, 1});
    line.addControl("Meter", MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER).setValues({7, 8});
    EXPECT_EQ(static_cast<LONG>(read(0)), -150);
    EXPECT_EQ(read(1), 0u);  // one of two channels set: the average truncates
    EXPECT_EQ(read(2), 1u);
    EXPECT_EQ(read(3), 7u);
}

// Totals are taken wide enough that large channel values do not wrap.
TEST_F(MixerAccess, LargeValuesAverageWithoutWrapping)
{
    ScriptedLine &line = stereoSource();
    const LONG large = static_cast<LONG>(0xC0000000u);
    line.addControl("Meter", MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER).setValues({large, large});
    line.addControl("Level", MIXERCONTROL_CONTROLTYPE_SIGNEDMETER)
        .setValues({2147483647, 2147483645});
    EXPECT_EQ(read(0), 0xC0000000u);
    EXPECT_EQ(static_cast<LONG>(read(1)), 2147483646);
}

// With N items the value array has a spare row of channels, and the total
// is divided by channels x items.
TEST_F(MixerAccess, MultipleItemsAverageOverTheEntriesTheMixerFills)
{
    ScriptedLine &line = stereoSource();
    line.addControl("Bands", MIXERCONTROL_CONTROLTYPE_EQUALIZER, MIXERCONTROL_CONTROLF_MULTIPLE, 4)
        .setValues({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(read(0), 4u);  // 36 / 8

    ScriptedControl &bands = line.addControl("Bands 2", MIXERCONTROL_CONTROLTYPE_EQUALIZER,
                                             MIXERCONTROL_CONTROLF_MULTIPLE, 4);
    EXPECT_EQ(soundDevice.setControlValue(nullptr, 0, 0, 0, 1, 9), 1);
    EXPECT_EQ(bands.values(), std::vector<LONG>(8, 9));
}

TEST_F(MixerAccess, ControlsWithoutAValueKindAreRefused)
{
    ScriptedLine &line = stereoSource();
    ScriptedControl &custom = line.addControl("Volume", MIXERCONTROL_CONTROLTYPE_CUSTOM);
    DWORD value = sentinel;
    EXPECT_EQ(soundDevice.getControlValue(nullptr, 0, 0, 0, 0, &value), 0);
    EXPECT_EQ(value, sentinel);
    EXPECT_EQ(soundDevice.setControlValue(nullptr, 0, 0, 0, 0, 5), 0);
    EXPECT_EQ(custom.setCount(), 0);
    // A control index beyond the line's controls is refused the same way,
    // instead of reading past the control records.
    EXPECT_EQ(soundDevice.getControlValue(nullptr, 0, 0, 0, 1, &value), 0);
    EXPECT_EQ(soundDevice.getControlValue(nullptr, 0, 0, 0, -1, &value), 0);
    EXPECT_EQ(value, sentinel);
    expectBoxes({controlTypeText, controlTypeText, controlTypeText, controlTypeText});
}

TEST_F(MixerAccess, ListingsNameEverythingInOrder)
{
    hp::testing::ScriptedMixerDevice &device = hp::testing::scriptedMixer().addDevice("Card A");
    hp::testing::scriptedMixer().addDevice("Card B");
    device.addDestination("Speakers", speakers);
    hp::testing::ScriptedDestination &recording =
        device.addDestination("Recording", MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    recording.addSource("Mic", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
    ScriptedLine &line = recording.addSource("Line In", MIXERLINE_COMPONENTTYPE_SRC_LINE);
    line.addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
    line.addControl("Mute", MIXERCONTROL_CONTROLTYPE_MUTE);

    auto expectNames = [this](int result, int count, const std::vector<std::string> &expected) {
        EXPECT_EQ(result, 1);
        ASSERT_EQ(count, static_cast<int>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_STREQ(names_[i], expected[i].c_str());
        }
    };
    int count = -1;
    int result = soundDevice.listMixerDevices(nullptr, &count, names_[0], 8, 32);
    expectNames(result, count, {"Card A", "Card B"});
    result = soundDevice.listDestinationLines(nullptr, 0, &count, names_[0], 8, 32);
    expectNames(result, count, {"Speakers", "Recording"});
    result = soundDevice.listSourceLines(nullptr, 0, 1, &count, names_[0], 8, 32);
    expectNames(result, count, {"Mic", "Line In"});
    result = soundDevice.listLineControls(nullptr, 0, 1, 1, &count, names_[0], 8, 32);
    expectNames(result, count, {"Volume", "Mute"});
    EXPECT_TRUE(boxes().calls().empty());
}

TEST_F(MixerAccess, NoMixerDevices)
{
    int count = -1;
    EXPECT_EQ(soundDevice.listMixerDevices(nullptr, &count, names_[0], 8, 32), 1);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(boxes().calls().empty());
}

// The room message appears with or without a window; the count holds the
// real number and the slots before the failing one are filled.
TEST_F(MixerAccess, ListingsThatDoNotFitShowTheRoomMessage)
{
    hp::testing::ScriptedMixerDevice &device = hp::testing::scriptedMixer().addDevice("Card");
    for (int i = 0; i < 101; ++i) {
        device.addDestination("D" + std::to_string(i), speakers);
    }
    std::vector<char> slots(100 * 260, 0);
    int count = -1;
    EXPECT_EQ(soundDevice.listDestinationLines(nullptr, 0, &count, slots.data(), 100, 260), 0);
    EXPECT_EQ(count, 101);
    expectBoxes({roomText});

    boxes().reset();
    hp::testing::ScriptedMixerDevice &second = hp::testing::scriptedMixer().addDevice("Card 2");
    for (int i = 0; i < 11; ++i) {
        second.addDestination("D" + std::to_string(i), speakers);
    }
    char narrow[12][3];
    memset(narrow, '#', sizeof narrow);
    // "D0" to "D9" fit a stride of 3, "D10" does not.
    EXPECT_EQ(soundDevice.listDestinationLines(nullptr, 1, &count, narrow[0], 12, 3), 0);
    EXPECT_EQ(count, 11);
    EXPECT_EQ(std::string(narrow[9], 2), "D9");
    EXPECT_EQ(narrow[10][0], '#');
    expectBoxes({roomText});
}

TEST_F(MixerAccess, NameLongerThanTheStrideStopsTheListing)
{
    hp::testing::ScriptedMixerDevice &device = hp::testing::scriptedMixer().addDevice("Card");
    hp::testing::ScriptedDestination &destination = device.addDestination("Out", speakers);
    destination.addSource("CD", MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC);
    destination.addSource("Synthesizer", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER);
    destination.addSource("Wave", waveOut);
    char slots[3][8];
    memset(slots, '#', sizeof slots);
    int count = -1;
    EXPECT_EQ(soundDevice.listSourceLines(nullptr, 0, 0, &count, slots[0], 3, 8), 0);
    EXPECT_EQ(count, 3);
    EXPECT_STREQ(slots[0], "CD");
    EXPECT_EQ(slots[1][0], '#');
    EXPECT_EQ(slots[2][0], '#');
    expectBoxes({roomText});

    boxes().reset();
    hp::testing::scriptedMixer().addDevice("A mixer device name too long");
    EXPECT_EQ(soundDevice.listMixerDevices(nullptr, &count, slots[0], 3, 8), 0);
    EXPECT_EQ(count, 2);
    expectBoxes({roomText});
    boxes().reset();
    EXPECT_EQ(soundDevice.listMixerDevices(nullptr, &count, slots[0], 1, 8), 0);
    expectBoxes({roomText});
}

}  // namespace
