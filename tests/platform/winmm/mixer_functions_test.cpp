// The mixer functions over the scripted mixer: devices, handles, lines and
// controls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/conformance_winmm/mixer_walk.h"
#include "tests/platform/winmm/scripted_machine.h"

namespace {

HMIXEROBJ byIndex(UINT device) { return reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(device)); }
HMIXEROBJ byHandle(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

MIXERLINEA blankLine()
{
    MIXERLINEA line;
    std::memset(&line, 0xA5, sizeof(line));
    line.cbStruct = sizeof(line);
    return line;
}

MIXERLINEA destinationLine(HMIXEROBJ mixer, DWORD flags, DWORD destination)
{
    MIXERLINEA line = blankLine();
    line.dwDestination = destination;
    EXPECT_EQ(MMSYSERR_NOERROR,
              mixerGetLineInfoA(mixer, &line, flags | MIXER_GETLINEINFOF_DESTINATION));
    return line;
}

MIXERLINEA sourceLine(HMIXEROBJ mixer, DWORD flags, DWORD destination, DWORD source)
{
    MIXERLINEA line = blankLine();
    line.dwDestination = destination;
    line.dwSource = source;
    EXPECT_EQ(MMSYSERR_NOERROR, mixerGetLineInfoA(mixer, &line, flags | MIXER_GETLINEINFOF_SOURCE));
    return line;
}

std::vector<MIXERCONTROLA> allControls(HMIXEROBJ mixer, const MIXERLINEA &line)
{
    std::vector<MIXERCONTROLA> controls(line.cControls);
    MIXERLINECONTROLSA request{};
    request.cbStruct = sizeof(request);
    request.dwLineID = line.dwLineID;
    request.cControls = line.cControls;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = controls.data();
    EXPECT_EQ(MMSYSERR_NOERROR, mixerGetLineControlsA(mixer, &request, MIXER_GETLINECONTROLSF_ALL));
    return controls;
}

using WinmmMixerFunctions = WinmmScriptedMachine;

TEST_F(WinmmMixerFunctions, DevicesAndTheirCaps)
{
    EXPECT_EQ(2u, mixerGetNumDevs());

    MIXERCAPSA caps;
    std::memset(&caps, 0xA5, sizeof(caps));
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetDevCapsA(0, &caps, sizeof(caps)));
    EXPECT_STREQ("Scripted Audio", caps.szPname);
    EXPECT_EQ(2u, caps.cDestinations);
    EXPECT_EQ(0u, caps.fdwSupport);
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetDevCapsA(1, &caps, sizeof(caps)));
    EXPECT_STREQ("Second Card", caps.szPname);
    EXPECT_EQ(1u, caps.cDestinations);

    // Only as many bytes as the caller says.
    std::memset(&caps, 0xA5, sizeof(caps));
    EXPECT_EQ(MMSYSERR_NOERROR, mixerGetDevCapsA(0, &caps, 0));
    EXPECT_EQ(0xA5A5u, caps.wMid);
    EXPECT_EQ(MMSYSERR_NOERROR, mixerGetDevCapsA(0, &caps, 4));
    EXPECT_NE(0xA5A5u, caps.wMid);
    EXPECT_EQ(0xA5, static_cast<BYTE>(caps.szPname[0]));

    // An open handle names its device too.
    HMIXER mixer = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&mixer, 1, 0, 0, 0));
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(mixer), &caps, sizeof(caps)));
    EXPECT_STREQ("Second Card", caps.szPname);
    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(mixer));
}

TEST_F(WinmmMixerFunctions, LongNamesAreCutAtAWholeCharacter)
{
    // 30 ASCII bytes, then "ソ" (0x83 0x5C): 32 bytes, one more than szPname holds.
    const std::string name = std::string(30, 'n') + "\x83\x5C";
    hp::testing::scriptedMixer().addDevice(name);
    MIXERCAPSA caps;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetDevCapsA(2, &caps, sizeof(caps)));
    EXPECT_EQ(std::string(30, 'n'), std::string(caps.szPname));
}

TEST_F(WinmmMixerFunctions, HandlesOpenAndCloseWithoutLeaking)
{
    HMIXER first = nullptr;
    HMIXER second = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&first, 0, 0, 0, 0));
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&second, 0, 0, 0, CALLBACK_WINDOW));
    EXPECT_NE(first, second);
    EXPECT_EQ(2u, hp::winmm::openMixerHandleCount());

    // A handle can be opened from a handle.
    HMIXER third = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerOpen(&third, static_cast<UINT>(reinterpret_cast<UINT_PTR>(second)), 0, 0,
                        MIXER_OBJECTF_HMIXER));
    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(second));
    MIXERLINEA line = destinationLine(byHandle(third), MIXER_OBJECTF_HMIXER, 0);
    EXPECT_STREQ("Volume Control", line.szName);

    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(first));
    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(third));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, mixerClose(first));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, mixerClose(nullptr));
    EXPECT_EQ(0u, hp::winmm::openMixerHandleCount());

    for (int i = 0; i < 1000; ++i) {
        HMIXER mixer = nullptr;
        ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&mixer, i % 2, 0, 0, 0));
        ASSERT_EQ(MMSYSERR_NOERROR, mixerClose(mixer));
    }
}

TEST_F(WinmmMixerFunctions, RefusedOpensGiveNoHandle)
{
    const HMIXER untouched = reinterpret_cast<HMIXER>(static_cast<UINT_PTR>(0x1234));
    struct Case {
        const char *what;
        UINT device;
        DWORD flags;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"index -1", 0xFFFFFFFFu, 0, MMSYSERR_BADDEVICEID},
        {"callback function", 0, CALLBACK_FUNCTION, MMSYSERR_INVALFLAG},
        {"unknown callback kind", 0, 0x00070000, MMSYSERR_INVALFLAG},
        {"unknown flag", 0, 0x00000100, MMSYSERR_INVALFLAG},
        {"a handle that is not open", 0x1234, MIXER_OBJECTF_HMIXER, MMSYSERR_INVALHANDLE},
        {"through a wave device", 0, MIXER_OBJECTF_WAVEOUT, MMSYSERR_BADDEVICEID},
        {"through a wave handle", 0, MIXER_OBJECTF_HWAVEOUT, MMSYSERR_INVALHANDLE},
        {"unknown object kind", 0, 0x60000000, MMSYSERR_INVALFLAG},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        HMIXER mixer = untouched;
        EXPECT_EQ(c.expected, mixerOpen(&mixer, c.device, 0, 0, c.flags));
        EXPECT_EQ(untouched, mixer);
    }
    EXPECT_EQ(0u, hp::winmm::openMixerHandleCount());
}

TEST_F(WinmmMixerFunctions, DestinationAndSourceLinesByPosition)
{
    HMIXER mixer = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&mixer, 0, 0, 0, 0));

    MIXERLINEA playback = blankLine();
    playback.dwDestination = 0;
    playback.dwUser = 77;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineInfoA(byHandle(mixer), &playback,
                                MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION));
    EXPECT_EQ(0u, playback.dwDestination);
    EXPECT_EQ(DWORD(MIXERLINE_LINEF_ACTIVE), playback.fdwLine);
    EXPECT_EQ(0u, static_cast<DWORD_PTR>(playback.dwUser));  // a packed field
    EXPECT_EQ(DWORD(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS), playback.dwComponentType);
    EXPECT_EQ(2u, playback.cChannels);
    EXPECT_EQ(3u, playback.cConnections);
    EXPECT_EQ(2u, playback.cControls);
    EXPECT_STREQ("Volume Control", playback.szName);
    EXPECT_STREQ("Volume Control", playback.szShortName);
    EXPECT_EQ(DWORD(MIXERLINE_TARGETTYPE_WAVEOUT), playback.Target.dwType);
    EXPECT_STREQ("Scripted Audio", playback.Target.szPname);

    const MIXERLINEA microphone = sourceLine(byHandle(mixer), MIXER_OBJECTF_HMIXER, 1, 0);
    EXPECT_EQ(1u, microphone.dwDestination);
    EXPECT_EQ(0u, microphone.dwSource);
    EXPECT_EQ(DWORD(MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE), microphone.fdwLine);
    EXPECT_EQ(DWORD(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE), microphone.dwComponentType);
    EXPECT_EQ(1u, microphone.cChannels);
    EXPECT_EQ(0u, microphone.cConnections);
    EXPECT_EQ(1u, microphone.cControls);
    EXPECT_STREQ("Microphone", microphone.szName);
    EXPECT_EQ(DWORD(MIXERLINE_TARGETTYPE_UNDEFINED), microphone.Target.dwType);
    EXPECT_STREQ("", microphone.Target.szPname);

    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(mixer));
}

TEST_F(WinmmMixerFunctions, LinesByComponentAndTargetType)
{
    const MIXERLINEA cd = sourceLine(byIndex(0), MIXER_OBJECTF_MIXER, 0, 2);
    MIXERLINEA found = blankLine();
    found.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineInfoA(byIndex(0), &found, MIXER_GETLINEINFOF_COMPONENTTYPE));
    EXPECT_EQ(cd.dwLineID, found.dwLineID);

    found = blankLine();
    found.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineInfoA(byIndex(0), &found, MIXER_GETLINEINFOF_COMPONENTTYPE));
    EXPECT_STREQ("Recording Control", found.szName);

    // Destinations are searched before sources: the speakers, not the wave source.
    found = blankLine();
    found.Target.dwType = MIXERLINE_TARGETTYPE_WAVEOUT;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineInfoA(byIndex(0), &found, MIXER_GETLINEINFOF_TARGETTYPE));
    EXPECT_STREQ("Volume Control", found.szName);
    found = blankLine();
    found.Target.dwType = MIXERLINE_TARGETTYPE_MIDIOUT;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineInfoA(byIndex(0), &found, MIXER_GETLINEINFOF_TARGETTYPE));
    EXPECT_STREQ("SW Synth", found.szName);

    // The second card by its index.
    const MIXERLINEA master = destinationLine(byIndex(1), MIXER_OBJECTF_MIXER, 0);
    EXPECT_STREQ("Master", master.szName);
    EXPECT_EQ(0u, master.cConnections);
}

TEST_F(WinmmMixerFunctions, LineQueriesThatFindNothing)
{
    struct Case {
        const char *what;
        HMIXEROBJ mixer;
        DWORD flags;
        DWORD destination;
        DWORD source;
        DWORD lineId;
        DWORD componentType;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"destination past the last", byIndex(0), MIXER_GETLINEINFOF_DESTINATION, 2, 0, 0, 0,
         MIXERR_INVALLINE},
        {"source past the last", byIndex(0), MIXER_GETLINEINFOF_SOURCE, 0, 3, 0, 0,
         MIXERR_INVALLINE},
        {"source of a destination past the last", byIndex(0), MIXER_GETLINEINFOF_SOURCE, 5, 0, 0,
         0, MIXERR_INVALLINE},
        {"unknown line id", byIndex(0), MIXER_GETLINEINFOF_LINEID, 0, 0, 0x00050000, 0,
         MIXERR_INVALLINE},
        {"absent component", byIndex(0), MIXER_GETLINEINFOF_COMPONENTTYPE, 0, 0, 0,
         MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER, MIXERR_INVALLINE},
        {"device past the last", byIndex(2), MIXER_GETLINEINFOF_DESTINATION, 0, 0, 0, 0,
         MMSYSERR_BADDEVICEID},
        {"handle that is not open", byIndex(1), MIXER_OBJECTF_HMIXER, 0, 0, 0, 0,
         MMSYSERR_INVALHANDLE},
        {"through a MIDI device", byIndex(0), MIXER_OBJECTF_MIDIOUT, 0, 0, 0, 0,
         MMSYSERR_BADDEVICEID},
        {"unknown query", byIndex(0), 5, 0, 0, 0, 0, MMSYSERR_INVALFLAG},
        {"unknown flag bit", byIndex(0), 0x00000100, 0, 0, 0, 0, MMSYSERR_INVALFLAG},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MIXERLINEA line = blankLine();
        line.dwDestination = c.destination;
        line.dwSource = c.source;
        line.dwLineID = c.lineId;
        line.dwComponentType = c.componentType;
        EXPECT_EQ(c.expected, mixerGetLineInfoA(c.mixer, &line, c.flags));
        EXPECT_EQ(0xA5A5A5A5u, line.cControls) << "nothing written";
    }
}

TEST_F(WinmmMixerFunctions, ControlsOfALineAndTheirIdentifiers)
{
    const MIXERLINEA wave = sourceLine(byIndex(0), MIXER_OBJECTF_MIXER, 0, 0);
    const std::vector<MIXERCONTROLA> controls = allControls(byIndex(0), wave);
    ASSERT_EQ(2u, controls.size());
    EXPECT_EQ(sizeof(MIXERCONTROLA), controls[0].cbStruct);
    EXPECT_EQ(DWORD(MIXERCONTROL_CONTROLTYPE_VOLUME), controls[0].dwControlType);
    EXPECT_STREQ("Volume", controls[0].szName);
    EXPECT_EQ(0u, controls[0].fdwControl);
    EXPECT_EQ(0, controls[0].Bounds.lMinimum);
    EXPECT_EQ(65535, controls[0].Bounds.lMaximum);
    EXPECT_EQ(DWORD(MIXERCONTROL_CONTROLTYPE_MUTE), controls[1].dwControlType);
    EXPECT_EQ(DWORD(MIXERCONTROL_CONTROLF_UNIFORM), controls[1].fdwControl);
    EXPECT_EQ(1, controls[1].Bounds.lMaximum);

    const MIXERLINEA recording = destinationLine(byIndex(0), MIXER_OBJECTF_MIXER, 1);
    const std::vector<MIXERCONTROLA> source = allControls(byIndex(0), recording);
    ASSERT_EQ(1u, source.size());
    EXPECT_EQ(2u, source[0].cMultipleItems);

    // One control by its identifier names its line as well.
    MIXERCONTROLA control;
    std::memset(&control, 0xA5, sizeof(control));
    MIXERLINECONTROLSA request{};
    request.cbStruct = sizeof(request);
    request.dwControlID = controls[1].dwControlID;
    request.cControls = 1;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = &control;
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineControlsA(byIndex(0), &request, MIXER_GETLINECONTROLSF_ONEBYID));
    EXPECT_EQ(wave.dwLineID, request.dwLineID);
    EXPECT_STREQ("Mute", control.szName);

    // One control by its type, on a given line.
    const MIXERLINEA cd = sourceLine(byIndex(0), MIXER_OBJECTF_MIXER, 0, 2);
    std::memset(&control, 0xA5, sizeof(control));
    request.dwLineID = cd.dwLineID;
    request.dwControlType = MIXERCONTROL_CONTROLTYPE_PAN;
    request.cControls = 7;  // taken as 1
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineControlsA(byIndex(0), &request, MIXER_GETLINECONTROLSF_ONEBYTYPE));
    EXPECT_STREQ("Balance", control.szName);
    EXPECT_EQ(-32768, control.Bounds.lMinimum);
}

TEST_F(WinmmMixerFunctions, ControlQueriesThatFindNothing)
{
    const MIXERLINEA wave = sourceLine(byIndex(0), MIXER_OBJECTF_MIXER, 0, 0);
    MIXERCONTROLA controls[3];
    std::memset(controls, 0xA5, sizeof(controls));
    struct Case {
        const char *what;
        DWORD query;
        DWORD cbStruct;
        DWORD lineId;
        DWORD idOrType;
        DWORD count;
        DWORD cbmxctrl;
        MMRESULT expected;
    };
    const DWORD size = sizeof(MIXERLINECONTROLSA);
    const DWORD each = sizeof(MIXERCONTROLA);
    const DWORD all = MIXER_GETLINECONTROLSF_ALL;
    const DWORD byId = MIXER_GETLINECONTROLSF_ONEBYID;
    const DWORD byType = MIXER_GETLINECONTROLSF_ONEBYTYPE;
    const Case cases[] = {
        {"count not the line's", all, size, wave.dwLineID, 0, 3, each, MMSYSERR_INVALPARAM},
        {"entries too small", all, size, wave.dwLineID, 0, 2, each - 1, MMSYSERR_INVALPARAM},
        {"record too small", all, size - 1, wave.dwLineID, 0, 2, each, MMSYSERR_INVALPARAM},
        {"unknown line", all, size, 0x00090000, 0, 2, each, MIXERR_INVALLINE},
        {"unknown query", 3, size, wave.dwLineID, 0, 2, each, MMSYSERR_INVALFLAG},
        {"unknown control id", byId, size, 0, 500, 1, each, MIXERR_INVALCONTROL},
        {"two by id", byId, size, 0, 0, 2, each, MMSYSERR_INVALPARAM},
        {"absent type", byType, size, wave.dwLineID, MIXERCONTROL_CONTROLTYPE_BASS, 1, each,
         MIXERR_INVALCONTROL},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MIXERLINECONTROLSA request{};
        request.cbStruct = c.cbStruct;
        request.dwLineID = c.lineId;
        request.dwControlID = c.idOrType;
        request.cControls = c.count;
        request.cbmxctrl = c.cbmxctrl;
        request.pamxctrl = controls;
        EXPECT_EQ(c.expected, mixerGetLineControlsA(byIndex(0), &request, c.query));
    }
    MIXERLINECONTROLSA request{};
    request.cbStruct = size;
    request.dwLineID = wave.dwLineID;
    request.cControls = 2;
    request.cbmxctrl = each;
    EXPECT_EQ(MMSYSERR_INVALPARAM, mixerGetLineControlsA(byIndex(0), &request, all));
    EXPECT_EQ(0xA5A5A5A5u, controls[0].cbStruct) << "nothing written";
}

TEST_F(WinmmMixerFunctions, ControlRecordsFollowTheCallersStride)
{
    const MIXERLINEA wave = sourceLine(byIndex(0), MIXER_OBJECTF_MIXER, 0, 0);
    constexpr size_t stride = sizeof(MIXERCONTROLA) + 20;
    std::vector<BYTE> buffer(stride * 2, 0xA5);
    MIXERLINECONTROLSA request{};
    request.cbStruct = sizeof(request);
    request.dwLineID = wave.dwLineID;
    request.cControls = 2;
    request.cbmxctrl = stride;
    request.pamxctrl = reinterpret_cast<MIXERCONTROLA *>(buffer.data());
    ASSERT_EQ(MMSYSERR_NOERROR,
              mixerGetLineControlsA(byIndex(0), &request, MIXER_GETLINECONTROLSF_ALL));
    MIXERCONTROLA second;
    std::memcpy(&second, buffer.data() + stride, sizeof(second));
    EXPECT_STREQ("Mute", second.szName);
    for (size_t i = sizeof(MIXERCONTROLA); i < stride; ++i)
        EXPECT_EQ(0xA5, buffer[i]) << "gap byte " << i;
}

// Every line and control found again by its identifier (and so no two
// share one), every value readable.
TEST_F(WinmmMixerFunctions, TheMachineWalkFindsEverythingAgain)
{
    machine_.waveVolume->setValues({30000, 40000});
    mixer_walk::walkEveryMixer();
    EXPECT_EQ(0, machine_.waveVolume->setCount());
}

TEST_F(WinmmMixerFunctions, ADeviceThatGoesAwayIsNoLongerFound)
{
    HMIXER mixer = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&mixer, 1, 0, 0, 0));
    hp::testing::scriptedMixer().reset();
    EXPECT_EQ(0u, mixerGetNumDevs());
    MIXERLINEA line = blankLine();
    line.dwDestination = 0;
    EXPECT_EQ(MMSYSERR_NODRIVER, mixerGetLineInfoA(byHandle(mixer), &line,
                                                   MIXER_OBJECTF_HMIXER |
                                                       MIXER_GETLINEINFOF_DESTINATION));
    EXPECT_EQ(MMSYSERR_BADDEVICEID, mixerGetLineInfoA(byIndex(1), &line, 0));
    EXPECT_EQ(MMSYSERR_NOERROR, mixerClose(mixer));
}

TEST_F(WinmmMixerFunctions, WithoutABackendThereAreNoMixers)
{
    hp::winmm::installMixerBackend(nullptr);
    EXPECT_EQ(0u, mixerGetNumDevs());
    HMIXER mixer = nullptr;
    EXPECT_EQ(MMSYSERR_BADDEVICEID, mixerOpen(&mixer, 0, 0, 0, 0));
}

}  // namespace
