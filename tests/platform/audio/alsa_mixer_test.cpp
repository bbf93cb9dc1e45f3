// ALSA cards as mixer devices: how a card's elements are laid out, how
// ranges are scaled, and (when the private sound server offers ALSA's
// "pulse" control device) a real volume moved through ALSA.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/host/alsa_mixer.h"
#include "platform/host/alsa_mixer_layout.h"

namespace {

using hp::host::AlsaControl;
using hp::host::AlsaElement;
using hp::host::layoutAlsaCard;

AlsaElement element(const std::string &name, bool volume, bool toggle, bool mono = false,
                    unsigned index = 0)
{
    AlsaElement made;
    made.name = name;
    made.index = index;
    made.mono = mono;
    made.hasVolume = volume;
    made.hasSwitch = toggle;
    return made;
}

TEST(AlsaLayout, MasterIsTheDestinationAndTheOtherElementsItsSources)
{
    const auto layout = layoutAlsaCard(
        "HDA Intel PCH", {element("Headphone", true, true), element("Master", true, true),
                          element("PCM", true, false), element("Beep", true, true, true),
                          element("PCM", true, false, false, 1)});
    EXPECT_EQ(layout.info.name, "HDA Intel PCH");
    ASSERT_EQ(layout.info.destinations.size(), 1u);
    const auto &destination = layout.info.destinations[0];
    EXPECT_NE(destination.line.name.find("Volume"), std::string::npos);
    EXPECT_EQ(layout.destination.element, 1);
    EXPECT_EQ(layout.destination.controls,
              (std::vector<AlsaControl>{AlsaControl::Volume, AlsaControl::Mute}));

    ASSERT_EQ(destination.sources.size(), 4u);
    ASSERT_EQ(layout.sources.size(), 4u);
    EXPECT_EQ(destination.sources[0].name, "Headphone");
    EXPECT_EQ(destination.sources[1].name, "Wave");  // ALSA's PCM
    EXPECT_EQ(destination.sources[1].componentType,
              static_cast<DWORD>(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT));
    EXPECT_EQ(layout.sources[1].element, 2);
    EXPECT_EQ(layout.sources[1].controls, std::vector<AlsaControl>{AlsaControl::Volume});
    ASSERT_EQ(destination.sources[1].controls.size(), 1u);
    EXPECT_EQ(destination.sources[1].controls[0].name, "Volume");
    EXPECT_EQ(destination.sources[1].controls[0].maximum, 65535);
    EXPECT_EQ(destination.sources[2].name, "Beep");
    EXPECT_EQ(destination.sources[2].channels, 1u);
    EXPECT_EQ(destination.sources[2].controls[1].type,
              static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_MUTE));
    EXPECT_EQ(destination.sources[3].name, "Wave 1");
}

TEST(AlsaLayout, ACardWithoutMasterHasAnEmptyDestination)
{
    const auto layout = layoutAlsaCard("USB", {element("Speaker", true, true)});
    EXPECT_EQ(layout.destination.element, -1);
    EXPECT_TRUE(layout.info.destinations[0].line.controls.empty());
    ASSERT_EQ(layout.info.destinations[0].sources.size(), 1u);
    EXPECT_EQ(layout.info.destinations[0].sources[0].name, "Speaker");
}

TEST(AlsaLayout, NamesAreCutToTheirFieldsOnCharacterBoundaries)
{
    // "オーディオ" is 10 bytes in CP932; a 31-byte device name cannot end in
    // half a character.
    const std::string longName = "USB オーディオ オーディオ オーディオ Device";
    const auto layout = layoutAlsaCard(longName, {element("スピーカー出力のボリュームとても長い名前", true, false)});
    EXPECT_LE(layout.info.name.size(), 31u);
    EXPECT_FALSE(layout.info.name.empty());
    // Every lead byte keeps its trail byte.
    for (size_t i = 0; i < layout.info.name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(layout.info.name[i]);
        if ((byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0) {
            ASSERT_LT(i + 1, layout.info.name.size());
            ++i;
        }
    }
    const auto &source = layout.info.destinations[0].sources[0];
    EXPECT_LE(source.name.size(), 63u);
    EXPECT_LE(source.shortName.size(), 15u);
}

TEST(AlsaLayout, RangesMapOntoTheMixersRangeAndBack)
{
    struct Case {
        long raw, minimum, maximum;
        LONG mixer;
    };
    for (const Case &c : {Case{0, 0, 87, 0}, Case{87, 0, 87, 65535}, Case{-6400, -6400, 0, 0},
                          Case{0, -6400, 0, 65535}, Case{-3200, -6400, 0, 32768},
                          Case{200, 0, 100, 65535}, Case{5, 5, 5, 0}}) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(hp::host::mixerValueOfAlsa(c.raw, c.minimum, c.maximum), c.mixer);
    }
    // Every raw step survives the round trip.
    for (long raw = 0; raw <= 87; ++raw)
        EXPECT_EQ(hp::host::alsaValueOfMixer(hp::host::mixerValueOfAlsa(raw, 0, 87), 0, 87), raw);
    EXPECT_EQ(hp::host::alsaValueOfMixer(-499, 0, 87), 0);
    EXPECT_EQ(hp::host::alsaValueOfMixer(65739, 0, 87), 87);
}

// The sink volume of the private sound server, in percent.
int privateSinkVolumePercent()
{
    std::FILE *pipe = popen("pactl get-sink-volume @DEFAULT_SINK@", "r");
    if (!pipe)
        return -1;
    char line[512] = {};
    const size_t read = std::fread(line, 1, sizeof line - 1, pipe);
    pclose(pipe);
    const std::string text(line, read);
    const size_t percent = text.find('%');
    if (percent == std::string::npos)
        return -1;
    size_t start = percent;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])))
        --start;
    return std::atoi(text.substr(start, percent - start).c_str());
}

TEST(AlsaMixers, MovesARealVolumeThroughAlsa)
{
    const char *server = std::getenv("HOLLYPHONE_SOUND_SERVER");
    if (!server || std::string(server) != "private")
        GTEST_SKIP() << "no private sound server: run under scripts/with-sound-server.sh";
    auto mixers = hp::host::makeAlsaMixers({"pulse"});
    ASSERT_EQ(mixers->deviceCount(), 1u);
    hp::winmm::MixerDeviceInfo info;
    if (!mixers->describe(0, info))
        GTEST_SKIP() << "ALSA's pulse plugin (libasound2-plugins) is not installed";
    ASSERT_EQ(info.destinations.size(), 1u);
    const auto &speakers = info.destinations[0].line;
    ASSERT_FALSE(speakers.controls.empty()) << "the pulse control device has no Master";
    ASSERT_EQ(speakers.controls[0].name, "Volume");

    hp::winmm::MixerControlAddress master;
    master.device = 0;
    master.destination = 0;
    master.control = 0;
    const std::vector<LONG> half(speakers.channels, 32768);
    ASSERT_EQ(mixers->setValues(master, half), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(privateSinkVolumePercent(), 50);
    std::vector<LONG> values;
    ASSERT_EQ(mixers->getValues(master, values), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    ASSERT_EQ(values.size(), speakers.channels);
    EXPECT_NEAR(values[0], 32768, 70);

    const std::vector<LONG> full(speakers.channels, 65535);
    ASSERT_EQ(mixers->setValues(master, full), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(privateSinkVolumePercent(), 100);
}

TEST(AlsaMixers, UnknownDevicesAreRefused)
{
    auto mixers = hp::host::makeAlsaMixers({"hollyphone_no_such_device"});
    hp::winmm::MixerDeviceInfo info;
    EXPECT_FALSE(mixers->describe(0, info));
    EXPECT_FALSE(mixers->describe(1, info));
    std::vector<LONG> values;
    EXPECT_EQ(mixers->getValues(hp::winmm::MixerControlAddress{}, values),
              static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
}

}  // namespace
