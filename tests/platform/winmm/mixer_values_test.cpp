// Control values through mixerGetControlDetailsA and mixerSetControlDetails:
// channels, items, strides and value kinds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/winmm/scripted_machine.h"

namespace {

constexpr LONG sentinel = static_cast<LONG>(0xA5A5A5A5u);
// As a source position: the destination line itself.
constexpr DWORD destinationLine = 0xFFFFFFFFu;

HMIXEROBJ firstMixer() { return reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(0)); }

// The identifier of control `index` of a line of the first mixer.
DWORD controlId(DWORD destination, DWORD source, DWORD index)
{
    MIXERLINEA line{};
    line.cbStruct = sizeof(line);
    line.dwDestination = destination;
    line.dwSource = source;
    const DWORD query = source == destinationLine ? MIXER_GETLINEINFOF_DESTINATION
                                                           : MIXER_GETLINEINFOF_SOURCE;
    EXPECT_EQ(MMSYSERR_NOERROR, mixerGetLineInfoA(firstMixer(), &line, query));
    std::vector<MIXERCONTROLA> controls(line.cControls);
    MIXERLINECONTROLSA request{};
    request.cbStruct = sizeof(request);
    request.dwLineID = line.dwLineID;
    request.cControls = line.cControls;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = controls.data();
    EXPECT_EQ(MMSYSERR_NOERROR,
              mixerGetLineControlsA(firstMixer(), &request, MIXER_GETLINECONTROLSF_ALL));
    return index < controls.size() ? controls[index].dwControlID : 0xFFFFFFFFu;
}

struct Details {
    MIXERCONTROLDETAILS record{};
    std::vector<LONG> entries;

    Details(DWORD control, DWORD channels, DWORD items, size_t entryCount)
        : entries(entryCount, sentinel)
    {
        record.cbStruct = sizeof(record);
        record.dwControlID = control;
        record.cChannels = channels;
        record.cMultipleItems = items;
        record.cbDetails = sizeof(LONG);
        record.paDetails = entries.data();
    }

    MMRESULT get() { return mixerGetControlDetailsA(firstMixer(), &record, 0); }
    MMRESULT set() { return mixerSetControlDetails(firstMixer(), &record, 0); }
};

class WinmmMixerValues : public WinmmScriptedMachine {
protected:
    // A line of its own on the first card, for controls of unusual shapes.
    hp::testing::ScriptedLine &extraLine(DWORD channels)
    {
        return hp::testing::scriptedMixer()
            .addDevice("Extra")
            .addDestination("Extra", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, channels)
            .line();
    }
    static HMIXEROBJ extraMixer() { return reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(2)); }

    static MMRESULT getExtra(DWORD channels, DWORD items, std::vector<LONG> &entries,
                             DWORD control = 0)
    {
        MIXERCONTROLDETAILS record{};
        record.cbStruct = sizeof(record);
        record.dwControlID = control;
        record.cChannels = channels;
        record.cMultipleItems = items;
        record.cbDetails = sizeof(LONG);
        record.paDetails = entries.data();
        return mixerGetControlDetailsA(extraMixer(), &record, MIXER_GETCONTROLDETAILSF_VALUE);
    }
    static MMRESULT setExtra(DWORD channels, DWORD items, std::vector<LONG> &entries,
                             DWORD control = 0)
    {
        MIXERCONTROLDETAILS record{};
        record.cbStruct = sizeof(record);
        record.dwControlID = control;
        record.cChannels = channels;
        record.cMultipleItems = items;
        record.cbDetails = sizeof(LONG);
        record.paDetails = entries.data();
        return mixerSetControlDetails(extraMixer(), &record, MIXER_SETCONTROLDETAILSF_VALUE);
    }
};

TEST_F(WinmmMixerValues, StereoVolumeReadsPerChannelOrAsItsFirstChannel)
{
    machine_.waveVolume->setValues({30000, 40000});
    const DWORD id = controlId(0, 0, 0);

    Details both(id, 2, 0, 3);
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{30000, 40000, sentinel}), both.entries);

    Details one(id, 1, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, one.get());
    EXPECT_EQ((std::vector<LONG>{30000, sentinel}), one.entries);
}

TEST_F(WinmmMixerValues, OneChannelSetsEveryChannel)
{
    const DWORD id = controlId(0, 0, 0);
    Details one(id, 1, 0, 1);
    one.entries = {20000};
    one.record.paDetails = one.entries.data();
    ASSERT_EQ(MMSYSERR_NOERROR, one.set());
    EXPECT_EQ((std::vector<LONG>{20000, 20000}), machine_.waveVolume->values());
    EXPECT_EQ(1, machine_.waveVolume->setCount());

    Details both(id, 2, 0, 2);
    both.entries = {1000, 65535};
    both.record.paDetails = both.entries.data();
    ASSERT_EQ(MMSYSERR_NOERROR, both.set());
    EXPECT_EQ((std::vector<LONG>{1000, 65535}), machine_.waveVolume->values());
    EXPECT_EQ(2, machine_.waveVolume->setCount());
}

TEST_F(WinmmMixerValues, AUniformControlHoldsOneValueForAllChannels)
{
    // The wave mute: fdwControl is exactly UNIFORM, on a stereo line.
    machine_.waveMute->setValues({1, 0});
    const DWORD id = controlId(0, 0, 1);

    Details one(id, 1, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, one.get());
    EXPECT_EQ((std::vector<LONG>{1, sentinel}), one.entries);

    // Asked per channel, every channel shows the one value.
    Details both(id, 2, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{1, 1}), both.entries);

    both.entries = {0, 1};
    ASSERT_EQ(MMSYSERR_NOERROR, both.set());
    EXPECT_EQ((std::vector<LONG>{0, 0}), machine_.waveMute->values());
}

TEST_F(WinmmMixerValues, BooleanChannelsAreReadAsTheyAreAndWrittenAsZeroOrOne)
{
    hp::testing::ScriptedControl &loudness =
        extraLine(2).addControl("Loudness", MIXERCONTROL_CONTROLTYPE_LOUDNESS);
    loudness.setValues({1, 0});
    std::vector<LONG> entries(2, sentinel);
    ASSERT_EQ(MMSYSERR_NOERROR, getExtra(2, 0, entries));
    EXPECT_EQ((std::vector<LONG>{1, 0}), entries);

    entries = {35000, 0};
    ASSERT_EQ(MMSYSERR_NOERROR, setExtra(2, 0, entries));
    EXPECT_EQ((std::vector<LONG>{1, 0}), loudness.values());
    entries = {-7};
    ASSERT_EQ(MMSYSERR_NOERROR, setExtra(1, 0, entries));
    EXPECT_EQ((std::vector<LONG>{1, 1}), loudness.values());
}

TEST_F(WinmmMixerValues, SignedValuesKeepTheirSign)
{
    machine_.cdBalance->setValues({-100, -200});
    const DWORD id = controlId(0, 2, 1);
    Details both(id, 2, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{-100, -200}), both.entries);

    Details one(id, 1, 0, 1);
    one.entries = {-150};
    one.record.paDetails = one.entries.data();
    ASSERT_EQ(MMSYSERR_NOERROR, one.set());
    EXPECT_EQ((std::vector<LONG>{-150, -150}), machine_.cdBalance->values());
}

TEST_F(WinmmMixerValues, AMultipleControlFillsChannelsTimesItemsAndNoMore)
{
    // fdwControl exactly MULTIPLE, 4 items, on a stereo line: a caller that
    // sets aside channels x (items + 1) = 10 entries gets the first 8 filled.
    hp::testing::ScriptedControl &equalizer = extraLine(2).addControl(
        "Equalizer", MIXERCONTROL_CONTROLTYPE_EQUALIZER, MIXERCONTROL_CONTROLF_MULTIPLE, 4);
    equalizer.setValues({1, 2, 3, 4, 5, 6, 7, 8});
    std::vector<LONG> entries(10, sentinel);
    ASSERT_EQ(MMSYSERR_NOERROR, getExtra(2, 4, entries));
    EXPECT_EQ((std::vector<LONG>{1, 2, 3, 4, 5, 6, 7, 8, sentinel, sentinel}), entries);

    // One channel: the first channel of each item.
    entries.assign(10, sentinel);
    ASSERT_EQ(MMSYSERR_NOERROR, getExtra(1, 4, entries));
    EXPECT_EQ((std::vector<LONG>{1, 3, 5, 7, sentinel, sentinel}),
              std::vector<LONG>(entries.begin(), entries.begin() + 6));

    entries = {10, 20, 30, 40};
    ASSERT_EQ(MMSYSERR_NOERROR, setExtra(1, 4, entries));
    EXPECT_EQ((std::vector<LONG>{10, 10, 20, 20, 30, 30, 40, 40}), equalizer.values());

    // Asked with another item count, it is refused and nothing moves.
    entries.assign(10, sentinel);
    EXPECT_EQ(MMSYSERR_INVALPARAM, getExtra(2, 0, entries));
    EXPECT_EQ(MMSYSERR_INVALPARAM, getExtra(2, 3, entries));
    EXPECT_EQ(std::vector<LONG>(10, sentinel), entries);
    EXPECT_EQ(MMSYSERR_INVALPARAM, setExtra(2, 5, entries));
    EXPECT_EQ(1, equalizer.setCount());
}

TEST_F(WinmmMixerValues, FlagWordThreeIsAUniformListControl)
{
    // UNIFORM | MULTIPLE with 4 items on a stereo line. A caller that tests
    // the flag word for equality with MULTIPLE asks with no items and both
    // channels: refused, nothing written beyond its two entries.
    hp::testing::ScriptedControl &selector = extraLine(2).addControl(
        "Selector", MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT,
        MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE, 4);
    selector.setValues({1, 1, 0, 0, 1, 1, 0, 0});
    std::vector<LONG> entries(2, sentinel);
    EXPECT_EQ(MMSYSERR_INVALPARAM, getExtra(2, 0, entries));
    EXPECT_EQ(std::vector<LONG>(2, sentinel), entries);
    EXPECT_EQ(MMSYSERR_INVALPARAM, setExtra(2, 0, entries));
    EXPECT_EQ(0, selector.setCount());

    entries.assign(4, sentinel);
    ASSERT_EQ(MMSYSERR_NOERROR, getExtra(1, 4, entries));
    EXPECT_EQ((std::vector<LONG>{1, 0, 1, 0}), entries);
}

TEST_F(WinmmMixerValues, ListTextsNameTheSourcesOfADestination)
{
    const DWORD id = controlId(1, destinationLine, 0);
    MIXERCONTROLDETAILS_LISTTEXTA texts[3];
    std::memset(texts, 0xA5, sizeof(texts));
    MIXERCONTROLDETAILS record{};
    record.cbStruct = sizeof(record);
    record.dwControlID = id;
    record.cChannels = 1;
    record.cMultipleItems = 2;
    record.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTA);
    record.paDetails = texts;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetControlDetailsA(firstMixer(), &record, MIXER_GETCONTROLDETAILSF_LISTTEXT));
    EXPECT_STREQ("Microphone", texts[0].szName);
    EXPECT_EQ(DWORD(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE), texts[0].dwParam2);
    EXPECT_STREQ("Line In", texts[1].szName);
    EXPECT_EQ(0xA5A5A5A5u, texts[2].dwParam1);

    MIXERLINEA line{};
    line.cbStruct = sizeof(line);
    line.dwLineID = texts[1].dwParam1;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetLineInfoA(firstMixer(), &line, MIXER_GETLINEINFOF_LINEID));
    EXPECT_STREQ("Line In", line.szName);

    // A control that is not a list has no texts.
    record.dwControlID = controlId(0, 0, 0);
    record.cMultipleItems = 0;
    EXPECT_EQ(MMSYSERR_INVALPARAM,
              mixerGetControlDetailsA(firstMixer(), &record, MIXER_GETCONTROLDETAILSF_LISTTEXT));
}

TEST_F(WinmmMixerValues, EntriesFollowTheCallersStride)
{
    machine_.waveVolume->setValues({30000, 40000});
    std::vector<LONG> entries(4, sentinel);
    Details both(controlId(0, 0, 0), 2, 0, 0);
    both.record.cbDetails = 2 * sizeof(LONG);
    both.record.paDetails = entries.data();
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{30000, sentinel, 40000, sentinel}), entries);
}

TEST_F(WinmmMixerValues, CustomControlsAreNotReadOrWritten)
{
    hp::testing::ScriptedControl &custom =
        extraLine(2).addControl("Custom", MIXERCONTROL_CONTROLTYPE_CUSTOM);
    std::vector<LONG> entries(2, sentinel);
    EXPECT_EQ(MMSYSERR_NOTSUPPORTED, getExtra(2, 0, entries));
    EXPECT_EQ(std::vector<LONG>(2, sentinel), entries);
    EXPECT_EQ(MMSYSERR_NOTSUPPORTED, setExtra(2, 0, entries));
    EXPECT_EQ(0, custom.setCount());
}

TEST_F(WinmmMixerValues, MalformedRequestsAreRefusedWithoutWriting)
{
    machine_.waveVolume->setValues({30000, 40000});
    const DWORD id = controlId(0, 0, 0);
    struct Case {
        const char *what;
        DWORD cbStruct;
        DWORD control;
        DWORD channels;
        DWORD cbDetails;
        bool withArray;
        DWORD flags;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"record too small", sizeof(MIXERCONTROLDETAILS) - 1, id, 2, 4, true, 0,
         MMSYSERR_INVALPARAM},
        {"no array", sizeof(MIXERCONTROLDETAILS), id, 2, 4, false, 0, MMSYSERR_INVALPARAM},
        {"entries too small", sizeof(MIXERCONTROLDETAILS), id, 2, 3, true, 0,
         MMSYSERR_INVALPARAM},
        {"no channels", sizeof(MIXERCONTROLDETAILS), id, 0, 4, true, 0, MMSYSERR_INVALPARAM},
        {"more channels than the line", sizeof(MIXERCONTROLDETAILS), id, 3, 4, true, 0,
         MMSYSERR_INVALPARAM},
        {"unknown control", sizeof(MIXERCONTROLDETAILS), 999, 2, 4, true, 0,
         MIXERR_INVALCONTROL},
        {"unknown query", sizeof(MIXERCONTROLDETAILS), id, 2, 4, true, 2, MMSYSERR_INVALFLAG},
        {"unknown flag bit", sizeof(MIXERCONTROLDETAILS), id, 2, 4, true, 0x100,
         MMSYSERR_INVALFLAG},
        {"handle that is not open", sizeof(MIXERCONTROLDETAILS), id, 2, 4, true,
         MIXER_OBJECTF_HMIXER, MMSYSERR_INVALHANDLE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Details details(c.control, c.channels, 0, 4);
        details.record.cbStruct = c.cbStruct;
        details.record.cbDetails = c.cbDetails;
        if (!c.withArray)
            details.record.paDetails = nullptr;
        EXPECT_EQ(c.expected, mixerGetControlDetailsA(firstMixer(), &details.record, c.flags));
        EXPECT_EQ(std::vector<LONG>(4, sentinel), details.entries);
        if (c.flags != 2) {
            EXPECT_EQ(c.expected, mixerSetControlDetails(firstMixer(), &details.record, c.flags));
        }
    }
    EXPECT_EQ(0, machine_.waveVolume->setCount());
    EXPECT_EQ(MMSYSERR_INVALPARAM, mixerGetControlDetailsA(firstMixer(), nullptr, 0));
    EXPECT_EQ(MMSYSERR_INVALPARAM, mixerSetControlDetails(firstMixer(), nullptr, 0));

    Details custom(id, 2, 0, 2);
    EXPECT_EQ(MMSYSERR_NOTSUPPORTED,
              mixerSetControlDetails(firstMixer(), &custom.record, MIXER_SETCONTROLDETAILSF_CUSTOM));
}

TEST_F(WinmmMixerValues, AMixerThatAnswersTheWrongNumberOfValuesIsAnError)
{
    machine_.waveVolume->setValues({30000});
    Details both(controlId(0, 0, 0), 2, 0, 2);
    EXPECT_EQ(MMSYSERR_ERROR, both.get());
    EXPECT_EQ(std::vector<LONG>(2, sentinel), both.entries);
}

TEST_F(WinmmMixerValues, AMonoLineTakesOneChannelOnly)
{
    machine_.microphoneVolume->setValues({12345});
    const DWORD id = controlId(1, 0, 0);
    Details one(id, 1, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, one.get());
    EXPECT_EQ((std::vector<LONG>{12345, sentinel}), one.entries);
    Details two(id, 2, 0, 2);
    EXPECT_EQ(MMSYSERR_INVALPARAM, two.get());
}

TEST_F(WinmmMixerValues, ValuesAreReachedByHandleAndOnTheRightDevice)
{
    machine_.secondCardVolume->setValues({500, 600});
    HMIXER mixer = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&mixer, 1, 0, 0, 0));
    // Control 0 of the second card, not of the first.
    std::vector<LONG> entries(2, sentinel);
    MIXERCONTROLDETAILS record{};
    record.cbStruct = sizeof(record);
    record.dwControlID = 0;
    record.cChannels = 2;
    record.cbDetails = sizeof(LONG);
    record.paDetails = entries.data();
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer), &record,
                                      MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE));
    EXPECT_EQ((std::vector<LONG>{500, 600}), entries);
    entries = {700, 800};
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), &record,
                                     MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE));
    EXPECT_EQ((std::vector<LONG>{700, 800}), machine_.secondCardVolume->values());
    EXPECT_EQ(0, machine_.masterVolume->setCount());
    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(mixer));
}

}  // namespace
