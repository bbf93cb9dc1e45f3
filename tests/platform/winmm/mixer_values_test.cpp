// Control values through mixerGetControlDetailsA and mixerSetControlDetails:
// channels, items, strides and value kinds.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/winmm/scripted_machine.h"

namespace {

constexpr LONG sentinel = static_cast<LONG>(0xA5A5A5A5u);

HMIXEROBJ mixerIndex(UINT device)
{
    return reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(device));
}

// A details record over an array of entries preset to the sentinel.
struct Details {
    MIXERCONTROLDETAILS record{};
    std::vector<LONG> entries;
    HMIXEROBJ mixer;

    Details(UINT device, DWORD control, DWORD channels, DWORD items, std::vector<LONG> values)
        : entries(std::move(values)), mixer(mixerIndex(device))
    {
        record.cbStruct = sizeof(record);
        record.dwControlID = control;
        record.cChannels = channels;
        record.cMultipleItems = items;
        record.cbDetails = sizeof(LONG);
        record.paDetails = entries.data();
    }
    Details(UINT device, DWORD control, DWORD channels, DWORD items, size_t count)
        : Details(device, control, channels, items, std::vector<LONG>(count, sentinel))
    {
    }

    Details(const Details &) = delete;
    Details &operator=(const Details &) = delete;

    MMRESULT get() { return mixerGetControlDetailsA(mixer, &record, 0); }
    MMRESULT set() { return mixerSetControlDetails(mixer, &record, 0); }
};

// Control identifiers of the scripted card, numbered line after line.
constexpr DWORD waveVolumeId = 2;
constexpr DWORD waveMuteId = 3;
constexpr DWORD cdBalanceId = 6;
constexpr DWORD recordingSourceId = 7;
constexpr DWORD microphoneVolumeId = 8;

class WinmmMixerValues : public WinmmScriptedMachine {
protected:
    // A card of its own (device 2) whose one line holds only this control (id 0).
    static hp::testing::ScriptedControl &extraControl(const char *name, DWORD type,
                                                      DWORD flags = 0, DWORD items = 0)
    {
        return hp::testing::scriptedMixer()
            .addDevice("Extra")
            .addDestination("Extra", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2)
            .line()
            .addControl(name, type, flags, items);
    }
};

TEST_F(WinmmMixerValues, StereoVolumePerChannelOrAsOne)
{
    machine_.waveVolume->setValues({30000, 40000});
    Details both(0, waveVolumeId, 2, 0, 3);
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{30000, 40000, sentinel}), both.entries);
    // One channel reads the first channel...
    Details one(0, waveVolumeId, 1, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, one.get());
    EXPECT_EQ((std::vector<LONG>{30000, sentinel}), one.entries);

    // ... and writes every channel.
    Details setOne(0, waveVolumeId, 1, 0, std::vector<LONG>{20000});
    ASSERT_EQ(MMSYSERR_NOERROR, setOne.set());
    EXPECT_EQ((std::vector<LONG>{20000, 20000}), machine_.waveVolume->values());
    Details setBoth(0, waveVolumeId, 2, 0, std::vector<LONG>{1000, 65535});
    ASSERT_EQ(MMSYSERR_NOERROR, setBoth.set());
    EXPECT_EQ((std::vector<LONG>{1000, 65535}), machine_.waveVolume->values());
    EXPECT_EQ(2, machine_.waveVolume->setCount());
}

TEST_F(WinmmMixerValues, AUniformControlHoldsOneValueForAllChannels)
{
    // fdwControl exactly UNIFORM, on a stereo line.
    machine_.waveMute->setValues({1, 0});
    Details one(0, waveMuteId, 1, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, one.get());
    EXPECT_EQ((std::vector<LONG>{1, sentinel}), one.entries);
    Details both(0, waveMuteId, 2, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{1, 1}), both.entries);

    both.entries = {0, 1};
    ASSERT_EQ(MMSYSERR_NOERROR, both.set());
    EXPECT_EQ((std::vector<LONG>{0, 0}), machine_.waveMute->values());
}

TEST_F(WinmmMixerValues, BooleanAndSignedValues)
{
    hp::testing::ScriptedControl &loudness =
        extraControl("Loudness", MIXERCONTROL_CONTROLTYPE_LOUDNESS);
    loudness.setValues({1, 0});
    Details boolean(2, 0, 2, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, boolean.get());
    EXPECT_EQ((std::vector<LONG>{1, 0}), boolean.entries);
    boolean.entries = {35000, 0};
    ASSERT_EQ(MMSYSERR_NOERROR, boolean.set());
    EXPECT_EQ((std::vector<LONG>{1, 0}), loudness.values()) << "any non-zero is on";

    machine_.cdBalance->setValues({-100, -200});
    Details balance(0, cdBalanceId, 2, 0, 2);
    ASSERT_EQ(MMSYSERR_NOERROR, balance.get());
    EXPECT_EQ((std::vector<LONG>{-100, -200}), balance.entries);
    Details setBalance(0, cdBalanceId, 1, 0, std::vector<LONG>{-150});
    ASSERT_EQ(MMSYSERR_NOERROR, setBalance.set());
    EXPECT_EQ((std::vector<LONG>{-150, -150}), machine_.cdBalance->values());
}

TEST_F(WinmmMixerValues, AMultipleControlFillsChannelsTimesItemsAndNoMore)
{
    // fdwControl exactly MULTIPLE, 4 items, stereo: a caller that sets aside
    // channels x (items + 1) = 10 entries gets the first 8, item by item.
    hp::testing::ScriptedControl &equalizer = extraControl(
        "Equalizer", MIXERCONTROL_CONTROLTYPE_EQUALIZER, MIXERCONTROL_CONTROLF_MULTIPLE, 4);
    equalizer.setValues({1, 2, 3, 4, 5, 6, 7, 8});
    Details both(2, 0, 2, 4, 10);
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{1, 2, 3, 4, 5, 6, 7, 8, sentinel, sentinel}), both.entries);
    Details one(2, 0, 1, 4, 5);
    ASSERT_EQ(MMSYSERR_NOERROR, one.get());
    EXPECT_EQ((std::vector<LONG>{1, 3, 5, 7, sentinel}), one.entries);

    Details setOne(2, 0, 1, 4, std::vector<LONG>{10, 20, 30, 40});
    ASSERT_EQ(MMSYSERR_NOERROR, setOne.set());
    EXPECT_EQ((std::vector<LONG>{10, 10, 20, 20, 30, 30, 40, 40}), equalizer.values());

    // Another item count is refused and nothing moves.
    for (const DWORD items : {0u, 3u, 5u}) {
        Details wrong(2, 0, 2, items, 12);
        EXPECT_EQ(MMSYSERR_INVALPARAM, wrong.get()) << items;
        EXPECT_EQ(std::vector<LONG>(12, sentinel), wrong.entries);
        EXPECT_EQ(MMSYSERR_INVALPARAM, wrong.set()) << items;
    }
    EXPECT_EQ(1, equalizer.setCount());
}

TEST_F(WinmmMixerValues, FlagWordThreeIsAUniformListControl)
{
    // UNIFORM | MULTIPLE, 4 items, stereo. A caller that tests the flag word
    // for equality with MULTIPLE asks for both channels and no items: it is
    // refused, and nothing is written past its two entries.
    hp::testing::ScriptedControl &selector = extraControl(
        "Selector", MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT,
        MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE, 4);
    selector.setValues({1, 1, 0, 0, 1, 1, 0, 0});
    Details asEqual(2, 0, 2, 0, 2);
    EXPECT_EQ(MMSYSERR_INVALPARAM, asEqual.get());
    EXPECT_EQ(std::vector<LONG>(2, sentinel), asEqual.entries);
    EXPECT_EQ(MMSYSERR_INVALPARAM, asEqual.set());
    EXPECT_EQ(0, selector.setCount());

    Details asList(2, 0, 1, 4, 4);
    ASSERT_EQ(MMSYSERR_NOERROR, asList.get());
    EXPECT_EQ((std::vector<LONG>{1, 0, 1, 0}), asList.entries);
}

TEST_F(WinmmMixerValues, ListTextsNameTheSourcesOfADestination)
{
    MIXERCONTROLDETAILS_LISTTEXTA texts[3];
    std::memset(texts, 0xA5, sizeof(texts));
    MIXERCONTROLDETAILS record{};
    record.cbStruct = sizeof(record);
    record.dwControlID = recordingSourceId;
    record.cChannels = 1;
    record.cMultipleItems = 2;
    record.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTA);
    record.paDetails = texts;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetControlDetailsA(mixerIndex(0), &record, MIXER_GETCONTROLDETAILSF_LISTTEXT));
    EXPECT_STREQ("Microphone", texts[0].szName);
    EXPECT_EQ(DWORD(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE), texts[0].dwParam2);
    EXPECT_STREQ("Line In", texts[1].szName);
    EXPECT_EQ(0xA5A5A5A5u, texts[2].dwParam1);

    MIXERLINEA line{};
    line.cbStruct = sizeof(line);
    line.dwLineID = texts[1].dwParam1;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetLineInfoA(mixerIndex(0), &line, MIXER_GETLINEINFOF_LINEID));
    EXPECT_STREQ("Line In", line.szName);

    record.dwControlID = waveVolumeId;  // not a list
    record.cMultipleItems = 0;
    EXPECT_EQ(MMSYSERR_INVALPARAM,
              mixerGetControlDetailsA(mixerIndex(0), &record, MIXER_GETCONTROLDETAILSF_LISTTEXT));
}

TEST_F(WinmmMixerValues, EntriesFollowTheCallersStride)
{
    machine_.waveVolume->setValues({30000, 40000});
    Details both(0, waveVolumeId, 2, 0, 4);
    both.record.cbDetails = 2 * sizeof(LONG);
    ASSERT_EQ(MMSYSERR_NOERROR, both.get());
    EXPECT_EQ((std::vector<LONG>{30000, sentinel, 40000, sentinel}), both.entries);
}

TEST_F(WinmmMixerValues, RefusedRequestsWriteNothing)
{
    machine_.waveVolume->setValues({30000, 40000});
    machine_.microphoneVolume->setValues({1234});
    extraControl("Custom", MIXERCONTROL_CONTROLTYPE_CUSTOM);
    struct Case {
        const char *what;
        UINT device;
        DWORD control;
        DWORD channels;
        DWORD cbStruct;
        DWORD cbDetails;
        bool withArray;
        DWORD flags;
        MMRESULT expected;
    };
    const DWORD size = sizeof(MIXERCONTROLDETAILS);
    const Case cases[] = {
        {"record too small", 0, waveVolumeId, 2, size - 1, 4, true, 0, MMSYSERR_INVALPARAM},
        {"no array", 0, waveVolumeId, 2, size, 4, false, 0, MMSYSERR_INVALPARAM},
        {"entries too small", 0, waveVolumeId, 2, size, 3, true, 0, MMSYSERR_INVALPARAM},
        {"no channels", 0, waveVolumeId, 0, size, 4, true, 0, MMSYSERR_INVALPARAM},
        {"more channels than the line", 0, waveVolumeId, 3, size, 4, true, 0,
         MMSYSERR_INVALPARAM},
        {"two channels of a mono line", 0, microphoneVolumeId, 2, size, 4, true, 0,
         MMSYSERR_INVALPARAM},
        {"unknown control", 0, 999, 2, size, 4, true, 0, MIXERR_INVALCONTROL},
        {"custom control", 2, 0, 2, size, 4, true, 0, MMSYSERR_NOTSUPPORTED},
        {"unknown flag bit", 0, waveVolumeId, 2, size, 4, true, 0x100, MMSYSERR_INVALFLAG},
        {"device past the last", 3, 0, 2, size, 4, true, 0, MMSYSERR_BADDEVICEID},
        {"handle that is not open", 0, waveVolumeId, 2, size, 4, true, MIXER_OBJECTF_HMIXER,
         MMSYSERR_INVALHANDLE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Details details(c.device, c.control, c.channels, 0, 4);
        details.record.cbStruct = c.cbStruct;
        details.record.cbDetails = c.cbDetails;
        if (!c.withArray)
            details.record.paDetails = nullptr;
        EXPECT_EQ(c.expected, mixerGetControlDetailsA(details.mixer, &details.record, c.flags));
        EXPECT_EQ(std::vector<LONG>(4, sentinel), details.entries);
        EXPECT_EQ(c.expected, mixerSetControlDetails(details.mixer, &details.record, c.flags));
    }
    EXPECT_EQ(0, machine_.waveVolume->setCount());
    EXPECT_EQ((std::vector<LONG>{30000, 40000}), machine_.waveVolume->values());

    Details good(0, waveVolumeId, 2, 0, 2);
    EXPECT_EQ(MMSYSERR_INVALFLAG, mixerGetControlDetailsA(good.mixer, &good.record, 2));
    EXPECT_EQ(MMSYSERR_NOTSUPPORTED,
              mixerSetControlDetails(good.mixer, &good.record, MIXER_SETCONTROLDETAILSF_CUSTOM));
    EXPECT_EQ(MMSYSERR_INVALPARAM, mixerGetControlDetailsA(good.mixer, nullptr, 0));
    EXPECT_EQ(MMSYSERR_INVALPARAM, mixerSetControlDetails(good.mixer, nullptr, 0));

    // A mixer that answers the wrong number of values has failed.
    machine_.waveVolume->setValues({30000});
    EXPECT_EQ(MMSYSERR_ERROR, good.get());
    EXPECT_EQ(std::vector<LONG>(2, sentinel), good.entries);
}

TEST_F(WinmmMixerValues, ValuesAreReachedByHandleOnTheRightDevice)
{
    machine_.secondCardVolume->setValues({500, 600});
    HMIXER mixer = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&mixer, 1, 0, 0, 0));
    // Control 0 of the second card, not of the first.
    Details both(0, 0, 2, 0, 2);
    both.mixer = reinterpret_cast<HMIXEROBJ>(mixer);
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetControlDetailsA(both.mixer, &both.record,
                                                        MIXER_OBJECTF_HMIXER));
    EXPECT_EQ((std::vector<LONG>{500, 600}), both.entries);
    both.entries = {700, 800};
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerSetControlDetails(both.mixer, &both.record, MIXER_OBJECTF_HMIXER));
    EXPECT_EQ((std::vector<LONG>{700, 800}), machine_.secondCardVolume->values());
    EXPECT_EQ(0, machine_.masterVolume->setCount());
    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(mixer));
}

}  // namespace
