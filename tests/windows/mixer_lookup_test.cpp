// The mixer functions of the sound device over the mixers the platform
// offers: the listings against the platform's own records, a control's
// value there and back, and what the volume lookup finds.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "sound/sound_device.h"
#include "tests/windows/support/platform_check.h"

namespace {

constexpr int slots = 100;
constexpr int stride = 260;

struct Listing {
    int result = -1;
    int count = -1;
    std::vector<std::string> names;
};

std::vector<std::string> namesOf(const std::vector<char> &buffer, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count && i < slots; ++i)
        names.push_back(&buffer[static_cast<size_t>(i) * stride]);
    return names;
}

Listing devices()
{
    std::vector<char> buffer(slots * stride, 'x');
    Listing listing;
    listing.result = soundDevice.listMixerDevices(nullptr, &listing.count, buffer.data(), slots,
                                                  stride);
    listing.names = namesOf(buffer, listing.count);
    return listing;
}

Listing destinations(int device)
{
    std::vector<char> buffer(slots * stride, 'x');
    Listing listing;
    listing.result = soundDevice.listDestinationLines(nullptr, device, &listing.count,
                                                      buffer.data(), slots, stride);
    listing.names = namesOf(buffer, listing.count);
    return listing;
}

Listing sources(int device, int destination)
{
    std::vector<char> buffer(slots * stride, 'x');
    Listing listing;
    listing.result = soundDevice.listSourceLines(nullptr, device, destination, &listing.count,
                                                 buffer.data(), slots, stride);
    listing.names = namesOf(buffer, listing.count);
    return listing;
}

Listing controls(int device, int destination, int source)
{
    std::vector<char> buffer(slots * stride, 'x');
    Listing listing;
    listing.result = soundDevice.listLineControls(nullptr, device, destination, source,
                                                  &listing.count, buffer.data(), slots, stride);
    listing.names = namesOf(buffer, listing.count);
    return listing;
}

// The platform's own records of one mixer device, walked directly.
struct PlatformLine {
    MIXERLINEA line;
    std::vector<MIXERCONTROLA> controls;
};

struct PlatformDevice {
    MIXERCAPSA caps;
    std::vector<PlatformLine> destinations;
    std::vector<std::vector<PlatformLine>> sources;  // by destination
};

PlatformLine platformLine(HMIXER mixer, DWORD query, DWORD destination, DWORD source)
{
    PlatformLine result{};
    result.line.cbStruct = sizeof result.line;
    result.line.dwDestination = destination;
    result.line.dwSource = source;
    mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &result.line,
                      MIXER_OBJECTF_HMIXER | query);
    if (result.line.cControls > 0) {
        result.controls.resize(result.line.cControls);
        MIXERLINECONTROLSA request{};
        request.cbStruct = sizeof request;
        request.dwLineID = result.line.dwLineID;
        request.cControls = result.line.cControls;
        request.cbmxctrl = sizeof(MIXERCONTROLA);
        request.pamxctrl = result.controls.data();
        mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), &request,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL);
    }
    return result;
}

PlatformDevice platformDevice(UINT index)
{
    PlatformDevice device{};
    mixerGetDevCapsA(index, &device.caps, sizeof device.caps);
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, index, 0, 0, 0) != MMSYSERR_NOERROR)
        return device;
    for (DWORD d = 0; d < device.caps.cDestinations; ++d) {
        device.destinations.push_back(
            platformLine(mixer, MIXER_GETLINEINFOF_DESTINATION, d, 0));
        device.sources.emplace_back();
        for (DWORD s = 0; s < device.destinations.back().line.cConnections; ++s)
            device.sources.back().push_back(platformLine(mixer, MIXER_GETLINEINFOF_SOURCE, d, s));
    }
    mixerClose(mixer);
    return device;
}

class MixerLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (mixerGetNumDevs() == 0)
            GTEST_SKIP() << "the platform offers no mixer device (no sound server?)";
    }
};

TEST_F(MixerLookup, ListingsAgreeWithThePlatformsRecords)
{
    Listing deviceList = devices();
    ASSERT_EQ(deviceList.result, 1);
    ASSERT_EQ(deviceList.count, static_cast<int>(mixerGetNumDevs()));
    for (int d = 0; d < deviceList.count; ++d) {
        PlatformDevice platform = platformDevice(d);
        SCOPED_TRACE("device " + std::to_string(d) + " " + platform.caps.szPname);
        EXPECT_EQ(deviceList.names[d], platform.caps.szPname);
        ::testing::Test::RecordProperty("mixer" + std::to_string(d), platform.caps.szPname);

        Listing destinationList = destinations(d);
        ASSERT_EQ(destinationList.result, 1);
        ASSERT_EQ(destinationList.count, static_cast<int>(platform.caps.cDestinations));
        for (int t = 0; t < destinationList.count; ++t) {
            const PlatformLine &destination = platform.destinations[t];
            EXPECT_EQ(destinationList.names[t], destination.line.szName);
            Listing sourceList = sources(d, t);
            ASSERT_EQ(sourceList.result, 1);
            ASSERT_EQ(sourceList.count, static_cast<int>(destination.line.cConnections));
            for (int s = 0; s < sourceList.count; ++s) {
                const PlatformLine &source = platform.sources[t][s];
                EXPECT_EQ(sourceList.names[s], source.line.szName);
                Listing controlList = controls(d, t, s);
                ASSERT_EQ(controlList.result, 1);
                ASSERT_EQ(controlList.count, static_cast<int>(source.controls.size()));
                for (int c = 0; c < controlList.count; ++c)
                    EXPECT_EQ(controlList.names[c], source.controls[c].szName);
            }
        }
    }
}


// Wine's mixers, one per audio endpoint, each have a single destination and
// a single source, both named "Master Volume" ("マスター音量" in Japanese),
// with the controls "Volume" ("音量") and "Mute" ("ミュート"). In Japanese
// the destination carries none of the playback words (in English "Volume"
// would match), and no source carries a Wave, MIDI or CD word: the gauges
// find no line and stay at 0, and a gauge click moves no mixer control.
// The source line's controls are placeholders there: a value written is
// accepted and dropped, and a read fills nothing, so the cleared value
// array reads 0.
TEST_F(MixerLookup, WineOffersNoLineForTheGauges)
{
    if (!hp::wintest::runningUnderWine())
        GTEST_SKIP() << "a statement about Wine's mixers";
    ASSERT_EQ(GetACP(), hp::wintest::japaneseCodePage) << hp::wintest::japaneseLocaleHint;
    for (int d = 0; d < static_cast<int>(mixerGetNumDevs()); ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(destinations(d).names, std::vector<std::string>{"マスター音量"});
        EXPECT_EQ(sources(d, 0).names, std::vector<std::string>{"マスター音量"});
        EXPECT_EQ(controls(d, 0, 0).names, (std::vector<std::string>{"音量", "ミュート"}));
        for (VolumeLine line : {VolumeLine::Wave, VolumeLine::Midi, VolumeLine::Cd}) {
            int value = 12345;
            EXPECT_EQ(soundDevice.getVolume(d, &value, line), 0);
            EXPECT_EQ(value, 12345);
            EXPECT_EQ(soundDevice.setVolume(d, 40000, line), 0);
        }
        for (int control : {0, 1}) {
            EXPECT_EQ(soundDevice.setControlValue(nullptr, d, 0, 0, control, 1), 1);
            DWORD value = 0xDEADBEEF;
            EXPECT_EQ(soundDevice.getControlValue(nullptr, d, 0, 0, control, &value), 1);
            EXPECT_EQ(value, 0u);
        }
    }
}

}  // namespace
