// Mixer argument and error behaviour that holds on any machine, and a walk
// over whatever mixers the machine has.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32.h"
#include "tests/platform/conformance_winmm/result_expectations.h"
#include "tests/platform/conformance_winmm/mixer_walk.h"
#include "tests/platform/known_difference.h"

namespace {

const HMIXER neverOpened = reinterpret_cast<HMIXER>(static_cast<UINT_PTR>(0x7A5C3E1));

TEST(WinmmConformanceMixer, DeviceIndexBeyondTheLastIsRefused)
{
    const UINT count = mixerGetNumDevs();
    MIXERCAPSA caps;
    std::memset(&caps, 0xA5, sizeof(caps));
    EXPECT_MMRESULT(MMSYSERR_BADDEVICEID, mixerGetDevCapsA(count + 1, &caps, sizeof(caps)));
    EXPECT_EQ(0xA5, static_cast<BYTE>(caps.szPname[0]));
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM, mixerGetDevCapsA(0, nullptr, sizeof(caps)));

    HMIXER mixer = neverOpened;
    EXPECT_MMRESULT(MMSYSERR_BADDEVICEID, mixerOpen(&mixer, count + 1, 0, 0, 0));
    EXPECT_EQ(neverOpened, mixer);
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM, mixerOpen(nullptr, 0, 0, 0, 0));
}

TEST(WinmmConformanceMixer, UnknownHandlesAreRefused)
{
    MIXERLINEA line;
    std::memset(&line, 0xA5, sizeof(line));
    line.cbStruct = sizeof(line);
    line.dwDestination = 0;
    EXPECT_MMRESULT(MMSYSERR_INVALHANDLE,
              mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(neverOpened), &line,
                                MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION));
    EXPECT_EQ(0xA5A5A5A5u, line.dwLineID);

    const MMRESULT closed = mixerClose(neverOpened);
    KNOWN_DIFFERENCE(conformance::runningUnderWine(), "Wine's mixerClose accepts any handle");
    EXPECT_MMRESULT(MMSYSERR_INVALHANDLE, closed);
}

// Record checks come before the mixer object is looked at, so these hold
// with or without mixer devices.
TEST(WinmmConformanceMixer, RecordSizesAndFlagsAreCheckedFirst)
{
    const auto firstMixer = reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(0));

    MIXERLINEA line;
    std::memset(&line, 0xA5, sizeof(line));
    line.cbStruct = 0;
    line.dwDestination = 0;
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetLineInfoA(firstMixer, &line, MIXER_GETLINEINFOF_DESTINATION));
    line.cbStruct = sizeof(line) - 1;
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetLineInfoA(firstMixer, &line, MIXER_GETLINEINFOF_DESTINATION));
    EXPECT_EQ(0xA5A5A5A5u, line.dwLineID);
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetLineInfoA(firstMixer, nullptr, MIXER_GETLINEINFOF_DESTINATION));
    line.cbStruct = sizeof(line);
    EXPECT_MMRESULT(MMSYSERR_INVALFLAG, mixerGetLineInfoA(firstMixer, &line, 0xFFFFFFFFu));

    MIXERCONTROLA control;
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof(controls);
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(MIXERCONTROLA) - 4;
    controls.pamxctrl = &control;
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetLineControlsA(firstMixer, &controls, MIXER_GETLINECONTROLSF_ALL));
    controls.cbmxctrl = sizeof(MIXERCONTROLA);
    controls.cbStruct = 4;
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetLineControlsA(firstMixer, &controls, MIXER_GETLINECONTROLSF_ALL));
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetLineControlsA(firstMixer, nullptr, MIXER_GETLINECONTROLSF_ALL));

    DWORD value = 0xA5A5A5A5u;
    MIXERCONTROLDETAILS details{};
    details.cbStruct = 4;
    details.cChannels = 1;
    details.cbDetails = sizeof(value);
    details.paDetails = &value;
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetControlDetailsA(firstMixer, &details, MIXER_GETCONTROLDETAILSF_VALUE));
    EXPECT_MMRESULT(MMSYSERR_INVALPARAM,
              mixerGetControlDetailsA(firstMixer, nullptr, MIXER_GETCONTROLDETAILSF_VALUE));
    EXPECT_EQ(0xA5A5A5A5u, value);
    details.cbStruct = sizeof(details);
    EXPECT_MMRESULT(MMSYSERR_NOTSUPPORTED,
              mixerSetControlDetails(firstMixer, &details, MIXER_SETCONTROLDETAILSF_CUSTOM));
}

TEST(WinmmConformanceMixer, EveryDeviceAnswersConsistently)
{
    mixer_walk::walkEveryMixer();
}

}  // namespace
