// The part of a General MIDI bank that a MIDI file can sound, against the
// whole bank: FluidSynth renders the file alike from both.

#include <gtest/gtest.h>

#include <fluidsynth.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/sound_font_subset.h"

namespace {

using hp::host::MidiNeeds;
using hp::host::SoundFontSubset;

const char *const generalMidiBank = "/usr/share/sounds/sf2/default-GM.sf2";

std::vector<unsigned char> variableLength(uint32_t value)
{
    std::vector<unsigned char> bytes{static_cast<unsigned char>(value & 0x7F)};
    while (value >>= 7)
        bytes.insert(bytes.begin(), static_cast<unsigned char>(0x80 | (value & 0x7F)));
    return bytes;
}

// A format 0 file at 120 beats per minute (480 ticks a beat): the events,
// each after its delay in ticks, as they are written (running status
// included).
using MidiEvents = std::vector<std::pair<uint32_t, std::vector<unsigned char>>>;
std::vector<unsigned char> midiFile(const MidiEvents &events)
{
    std::vector<unsigned char> track;
    for (const auto &[delay, bytes] : events) {
        const std::vector<unsigned char> delta = variableLength(delay);
        track.insert(track.end(), delta.begin(), delta.end());
        track.insert(track.end(), bytes.begin(), bytes.end());
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<unsigned char> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
                                    'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<unsigned char>(track.size() >> shift));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

// Piano on channel 1 (no program change), then a flute; strings from
// another bank on channel 2; the drum kit on channel 10.
std::vector<unsigned char> ensemble()
{
    return midiFile({
        {0, {0xB1, 0x00, 0x08}},  // bank 8
        {0, {0xC1, 48}},
        {0, {0x90, 60, 100}},
        {0, {64, 90}},  // running status
        {0, {0x91, 72, 100}},
        {0, {0x99, 36, 120}},
        {0, {42, 80}},
        {480, {0x80, 60, 0}},
        {0, {0x90, 64, 0}},  // a note-on at velocity 0 ends the note
        {0, {0x81, 72, 0}},
        {0, {0xC0, 73}},
        {0, {0x90, 67, 100}},
        {0, {0xFF, 0x01, 0x03, 'e', 'n', 'd'}},
        {480, {0x80, 67, 0}},
        {480, {0x99, 42, 0}},
    });
}

// FluidSynth playing the file from the whole bank or from the subset, as
// the player's synthesiser loads it (samples on demand): its first three
// seconds.
std::vector<float> render(const std::string &midiPath, const SoundFontSubset *subset)
{
    fluid_settings_t *settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", 44100);
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_synth_t *synth = new_fluid_synth(settings);
    std::unique_ptr<hp::host::SubsetFileName> name;
    if (subset) {
        fluid_sfloader_t *loader = new_fluid_defsfloader(settings);
        hp::host::readSubsetsThrough(*hp::host::fluidSynthLibrary(), loader);
        fluid_synth_add_sfloader(synth, loader);
        name = std::make_unique<hp::host::SubsetFileName>(
            std::shared_ptr<const SoundFontSubset>(subset, [](const SoundFontSubset *) {}));
    }
    std::vector<float> out;
    // Every channel starts on program 0, as the player's channels do.
    const char *file = name ? name->get().c_str() : generalMidiBank;
    if (fluid_synth_sfload(synth, file, 1) != FLUID_FAILED) {
        fluid_player_t *player = new_fluid_player(synth);
        fluid_player_add(player, midiPath.c_str());
        fluid_player_play(player);
        std::vector<float> block(2 * 1024);
        for (int i = 0; i < 44100 * 3 / 1024; ++i) {
            fluid_synth_write_float(synth, 1024, block.data(), 0, 2, block.data(), 1, 2);
            out.insert(out.end(), block.begin(), block.end());
        }
        delete_fluid_player(player);
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return out;
}

class SoundFontSubsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access(generalMidiBank, R_OK) != 0 || !hp::host::fluidSynthLibrary())
            GTEST_SKIP() << "no General MIDI bank or no FluidSynth";
        char folder[] = "/tmp/hp-subset-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
    }
    void TearDown() override
    {
        if (!folder_.empty()) {
            std::remove((folder_ + "/file.mid").c_str());
            rmdir(folder_.c_str());
        }
    }
    std::string write(const std::vector<unsigned char> &bytes)
    {
        const std::string path = folder_ + "/file.mid";
        std::FILE *file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }

    std::string folder_;
};

TEST_F(SoundFontSubsetTest, AFileSoundsAsOnTheWholeBankFromAFewOfItsSamples)
{
    const std::string path = write(ensemble());
    const std::optional<MidiNeeds> needs = hp::host::readMidiNeeds(path);
    ASSERT_TRUE(needs);
    EXPECT_TRUE(needs->programs.test(48) && needs->programs.test(73));
    EXPECT_EQ(needs->programs.count(), 2u);
    EXPECT_EQ(needs->keys.count(), 6u) << "36 42 60 64 67 72";

    const auto subset = SoundFontSubset::make(generalMidiBank, *needs);
    ASSERT_TRUE(subset);
    MidiNeeds everything;
    everything.programs.set();
    everything.keys.set();
    const auto whole = SoundFontSubset::make(generalMidiBank, everything);
    ASSERT_TRUE(whole);
    EXPECT_LT(subset->sampleCount() * 10, whole->sampleCount());

    const std::vector<float> fromBank = render(path, nullptr);
    const std::vector<float> fromSubset = render(path, subset.get());
    ASSERT_FALSE(fromBank.empty());
    float loudest = 0;
    for (float sample : fromBank)
        loudest = std::max(loudest, std::abs(sample));
    EXPECT_GT(loudest, 0.01f) << "the file was not heard";
    EXPECT_TRUE(fromSubset == fromBank) << "the subset sounds otherwise";
    // The whole bank through the subset's file is the bank itself.
    EXPECT_TRUE(render(path, whole.get()) == fromBank);
}

// A file cut short, or not MIDI at all, is not guessed at: the player then
// loads the whole bank.
TEST_F(SoundFontSubsetTest, AFileThatCannotBeReadToItsEndHasNoNeeds)
{
    std::vector<unsigned char> cut = ensemble();
    cut.resize(cut.size() - 6);  // in the last event
    cut[21] = static_cast<unsigned char>(cut[21] - 6);
    EXPECT_FALSE(hp::host::scanMidiNeeds(cut));
    std::vector<unsigned char> lying = ensemble();
    lying[21] = 0x7F;  // a track longer than the file
    EXPECT_FALSE(hp::host::scanMidiNeeds(lying));
    const std::vector<unsigned char> text{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0};
    EXPECT_FALSE(hp::host::scanMidiNeeds(text));
    EXPECT_FALSE(hp::host::readMidiNeeds(folder_ + "/missing.mid"));
}

// A bank of one piano with two zones, each with its own sample: the first
// for keys 0 to 59, the second with the same key range after another
// generator, where FluidSynth ignores it and plays the zone on every key.
std::vector<unsigned char> twoZoneBank()
{
    std::vector<unsigned char> pdta{'p', 'd', 't', 'a'};
    auto chunk = [&pdta](const char *name, std::vector<unsigned char> body) {
        pdta.insert(pdta.end(), name, name + 4);
        const uint32_t size = static_cast<uint32_t>(body.size());
        pdta.insert(pdta.end(), {static_cast<unsigned char>(size),
                                 static_cast<unsigned char>(size >> 8), 0, 0});
        pdta.insert(pdta.end(), body.begin(), body.end());
    };
    auto named = [](size_t size, const char *name, std::vector<unsigned char> fields) {
        std::vector<unsigned char> record(20, 0);
        std::copy(name, name + std::strlen(name), record.begin());
        record.insert(record.end(), fields.begin(), fields.end());
        record.resize(size, 0);
        return record;
    };
    auto join = [](std::vector<std::vector<unsigned char>> parts) {
        std::vector<unsigned char> all;
        for (const auto &part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    chunk("phdr",
          join({named(38, "Piano", {0, 0, 0, 0, 0, 0}), named(38, "EOP", {0, 0, 0, 0, 1, 0})}));
    chunk("pbag", {0, 0, 0, 0, 1, 0, 0, 0});
    chunk("pmod", std::vector<unsigned char>(10, 0));
    chunk("pgen", {41, 0, 0, 0, 0, 0, 0, 0});
    chunk("inst", join({named(22, "Piano", {0, 0}), named(22, "EOI", {2, 0})}));
    chunk("ibag", {0, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0});
    chunk("imod", std::vector<unsigned char>(10, 0));
    chunk("igen", {43, 0, 0, 59, 53, 0, 0, 0,               // keys 0-59, sample 0
                   17, 0, 0, 0, 43, 0, 0, 59, 53, 0, 1, 0,  // pan, keys 0-59, sample 1
                   0, 0, 0, 0});
    auto sample = [&named](const char *name, unsigned char start) {
        return named(46, name, {start, 0, 0, 0, static_cast<unsigned char>(start + 8), 0, 0, 0,
                                start, 0, 0, 0, static_cast<unsigned char>(start + 8), 0, 0, 0,
                                0x44, 0xAC, 0, 0, 60, 0, 0, 0, 1, 0});
    };
    chunk("shdr", join({sample("Low", 0), sample("All", 16), named(46, "EOS", {})}));

    std::vector<unsigned char> file{'R', 'I', 'F', 'F', 0, 0, 0, 0, 's', 'f', 'b', 'k',
                                    'L', 'I', 'S', 'T', 4 + 8 + 64, 0, 0, 0, 's', 'd', 't', 'a',
                                    's', 'm', 'p', 'l', 64, 0, 0, 0};
    file.resize(file.size() + 64, 0);
    file.insert(file.end(), {'L', 'I', 'S', 'T', static_cast<unsigned char>(pdta.size()),
                             static_cast<unsigned char>(pdta.size() >> 8), 0, 0});
    file.insert(file.end(), pdta.begin(), pdta.end());
    const uint32_t riff = static_cast<uint32_t>(file.size() - 8);
    for (int i = 0; i < 4; ++i)
        file[4 + i] = static_cast<unsigned char>(riff >> (8 * i));
    return file;
}

// Keys above 59 are played by the second zone alone, whatever its key range
// says after its first generator.
TEST_F(SoundFontSubsetTest, AZoneIsLeftOutOnlyByAKeyRangeFluidSynthReads)
{
    const std::string bank = folder_ + "/bank.sf2";
    std::FILE *file = std::fopen(bank.c_str(), "wb");
    const std::vector<unsigned char> bytes = twoZoneBank();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    MidiNeeds high;
    high.keys.set(72);
    const auto subset = SoundFontSubset::make(bank, high);
    std::remove(bank.c_str());
    ASSERT_TRUE(subset);
    EXPECT_EQ(subset->sampleCount(), 1);
}

}  // namespace
