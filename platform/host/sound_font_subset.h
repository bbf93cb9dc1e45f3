// The part of a General MIDI SoundFont that one Standard MIDI File can
// sound, presented to FluidSynth as a SoundFont file of its own.
//
// FluidSynth keeps every zone of every preset of a loaded SoundFont in
// memory (some 10 MB for a full General MIDI bank) and, loading samples on
// demand, every sample of a preset a channel selects, whatever keys are
// played. The subset keeps the presets of the programs the file selects
// (in every bank), the program every channel starts with, and every drum
// kit; of those, the zones whose key range holds a key the file strikes,
// and the samples of those zones. A note is only ever played by the zones
// that cover its key, and FluidSynth's fallbacks for a missing preset (the
// same program in bank 0, the standard drum kit) stay in, so the file
// sounds exactly as on the whole bank.
//
// The subset file is the original up to its preset data, byte for byte
// (sample data included, read from the original as it is needed), followed
// by the rewritten preset data.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/fluid_synth_library.h"
#include "platform/kernel32/unique_fd.h"

namespace hp::host {

// The programs a file's program changes select and the keys its notes
// strike, on any channel. Empty when the bytes are not a Standard MIDI File
// that can be read to its end.
struct MidiNeeds {
    std::bitset<128> programs;
    std::bitset<128> keys;
};
std::optional<MidiNeeds> scanMidiNeeds(const std::vector<unsigned char> &file);
// The same of a file on the host (empty, too, for one larger than any MIDI
// file a player meets).
std::optional<MidiNeeds> readMidiNeeds(const std::string &hostPath);

class SoundFontSubset {
public:
    // Null when the SoundFont cannot be read or is laid out in a way the
    // subset does not handle (then the whole file is to be loaded).
    static std::unique_ptr<SoundFontSubset> make(const std::string &soundFontPath,
                                                 const MidiNeeds &needs);

    int64_t size() const { return prefixSize_ + static_cast<int64_t>(presetData_.size()); }
    // Exactly count bytes at offset, or false.
    bool read(int64_t offset, void *buffer, int64_t count) const;
    // How many sample headers the subset keeps.
    int sampleCount() const { return sampleCount_; }

private:
    SoundFontSubset() = default;

    kernel32::UniqueFd file_;
    int64_t prefixSize_ = 0;  // the original's bytes before its preset data
    unsigned char riffSize_[4] = {};
    std::vector<unsigned char> presetData_;  // the LIST "pdta" chunk
    int sampleCount_ = 0;
};

// FluidSynth reads a SoundFont through file callbacks that know only a file
// name, also later, when it loads an instrument's samples: a subset is known
// by a name of its own for as long as this lives.
class SubsetFileName {
public:
    explicit SubsetFileName(std::shared_ptr<const SoundFontSubset> subset);
    ~SubsetFileName();
    SubsetFileName(const SubsetFileName &) = delete;
    SubsetFileName &operator=(const SubsetFileName &) = delete;

    const std::string &get() const { return name_; }

private:
    std::string name_;
};

// Makes a SoundFont loader read the subsets known by name (and no other
// file).
void readSubsetsThrough(const FluidSynthLibrary &library, fluid_sfloader_t *loader);

}  // namespace hp::host
