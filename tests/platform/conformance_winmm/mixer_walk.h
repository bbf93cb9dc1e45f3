// A walk over every mixer device of the machine that checks the answers
// agree with each other: every line found by position is found again by
// its identifier, every control listed for a line is found again by its
// identifier, and every plain value can be read. Uses only the Win32
// surface, so it runs over any mixers: Windows', Wine's or ours.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/conformance_winmm/result_expectations.h"
#include "tests/platform/known_difference.h"

namespace mixer_walk {

constexpr DWORD sentinel = 0xA5A5A5A5u;

inline bool isPlainValueControl(const MIXERCONTROLA &control)
{
    const DWORD units = control.dwControlType & MIXERCONTROL_CT_UNITS_MASK;
    return control.dwControlType != MIXERCONTROL_CONTROLTYPE_CUSTOM &&
           (control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) == 0 &&
           (units == MIXERCONTROL_CT_UNITS_BOOLEAN || units == MIXERCONTROL_CT_UNITS_SIGNED ||
            units == MIXERCONTROL_CT_UNITS_UNSIGNED || units == MIXERCONTROL_CT_UNITS_DECIBELS ||
            units == MIXERCONTROL_CT_UNITS_PERCENT);
}

inline void checkControls(HMIXER mixer, const MIXERLINEA &line)
{
    if (line.cControls == 0)
        return;
    // Wine's mixer finds only its destinations' controls by identifier.
    const bool wineLine =
        conformance::runningUnderWine() && (line.fdwLine & MIXERLINE_LINEF_SOURCE) != 0;
    std::vector<MIXERCONTROLA> controls(line.cControls);
    std::memset(controls.data(), 0xA5, controls.size() * sizeof(MIXERCONTROLA));
    MIXERLINECONTROLSA request{};
    request.cbStruct = sizeof(request);
    request.dwLineID = line.dwLineID;
    request.cControls = line.cControls;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = controls.data();
    ASSERT_MMRESULT(MMSYSERR_NOERROR,
              mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), &request,
                                    MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL))
        << line.szName;

    for (const MIXERCONTROLA &control : controls) {
        EXPECT_EQ(sizeof(MIXERCONTROLA), control.cbStruct) << control.szName;
        EXPECT_NE(nullptr, std::memchr(control.szName, 0, sizeof(control.szName)));

        MIXERCONTROLA again;
        std::memset(&again, 0xA5, sizeof(again));
        MIXERLINECONTROLSA byId{};
        byId.cbStruct = sizeof(byId);
        byId.dwLineID = line.dwLineID;
        byId.dwControlID = control.dwControlID;
        byId.cControls = 1;
        byId.cbmxctrl = sizeof(MIXERCONTROLA);
        byId.pamxctrl = &again;
        const MMRESULT found =
            mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), &byId,
                                  MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYID);
        {
            KNOWN_DIFFERENCE(wineLine, "Wine finds only its destinations' controls by identifier");
            EXPECT_MMRESULT(MMSYSERR_NOERROR, found) << control.szName;
        }
        if (found != MMSYSERR_NOERROR)
            continue;
        EXPECT_EQ(control.dwControlID, again.dwControlID);
        EXPECT_EQ(control.dwControlType, again.dwControlType);
        EXPECT_STREQ(control.szName, again.szName);
        EXPECT_EQ(line.dwLineID, byId.dwLineID);

        if (!isPlainValueControl(control))
            continue;
        DWORD value = sentinel;
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof(details);
        details.dwControlID = control.dwControlID;
        details.cChannels = 1;
        details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
        details.paDetails = &value;
        EXPECT_MMRESULT(MMSYSERR_NOERROR,
                  mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer), &details,
                                          MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE))
            << control.szName;
        EXPECT_NE(sentinel, value) << control.szName;
    }
}

inline void checkLineFoundAgain(HMIXER mixer, const MIXERLINEA &line)
{
    MIXERLINEA again;
    std::memset(&again, 0xA5, sizeof(again));
    again.cbStruct = sizeof(again);
    again.dwLineID = line.dwLineID;
    ASSERT_MMRESULT(MMSYSERR_NOERROR,
              mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &again,
                                MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_LINEID))
        << line.szName;
    EXPECT_EQ(line.dwLineID, again.dwLineID);
    EXPECT_EQ(line.dwDestination, again.dwDestination);
    EXPECT_EQ(line.fdwLine & MIXERLINE_LINEF_SOURCE, again.fdwLine & MIXERLINE_LINEF_SOURCE);
    EXPECT_EQ(line.cControls, again.cControls);
    EXPECT_EQ(line.cChannels, again.cChannels);
    EXPECT_STREQ(line.szName, again.szName);
}

inline void walkDevice(UINT device)
{
    MIXERCAPSA caps;
    std::memset(&caps, 0xA5, sizeof(caps));
    ASSERT_MMRESULT(MMSYSERR_NOERROR, mixerGetDevCapsA(device, &caps, sizeof(caps)));
    EXPECT_NE(nullptr, std::memchr(caps.szPname, 0, sizeof(caps.szPname)));

    HMIXER mixer = nullptr;
    ASSERT_MMRESULT(MMSYSERR_NOERROR, mixerOpen(&mixer, device, 0, 0, 0));
    ASSERT_NE(nullptr, mixer);
    for (DWORD d = 0; d < caps.cDestinations; ++d) {
        MIXERLINEA destination;
        std::memset(&destination, 0xA5, sizeof(destination));
        destination.cbStruct = sizeof(destination);
        destination.dwDestination = d;
        ASSERT_MMRESULT(MMSYSERR_NOERROR,
                  mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &destination,
                                    MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION));
        EXPECT_EQ(d, destination.dwDestination);
        EXPECT_EQ(0u, destination.fdwLine & MIXERLINE_LINEF_SOURCE);
        EXPECT_EQ(0u, static_cast<DWORD_PTR>(destination.dwUser));  // a packed field
        checkLineFoundAgain(mixer, destination);
        checkControls(mixer, destination);

        for (DWORD s = 0; s < destination.cConnections; ++s) {
            MIXERLINEA source;
            std::memset(&source, 0xA5, sizeof(source));
            source.cbStruct = sizeof(source);
            source.dwDestination = d;
            source.dwSource = s;
            ASSERT_MMRESULT(MMSYSERR_NOERROR,
                      mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &source,
                                        MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE));
            EXPECT_EQ(d, source.dwDestination);
            EXPECT_EQ(s, source.dwSource);
            EXPECT_NE(0u, source.fdwLine & MIXERLINE_LINEF_SOURCE);
            checkLineFoundAgain(mixer, source);
            checkControls(mixer, source);
        }
    }
    EXPECT_MMRESULT(MMSYSERR_NOERROR, mixerClose(mixer));
}

inline void walkEveryMixer()
{
    const UINT count = mixerGetNumDevs();
    for (UINT device = 0; device < count; ++device) {
        SCOPED_TRACE(device);
        walkDevice(device);
    }
}

}  // namespace mixer_walk
