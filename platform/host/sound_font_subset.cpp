#include "platform/host/sound_font_subset.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/kernel32/host_file_read.h"

namespace hp::host {
namespace {

// ------------------------------------------------------- MIDI file ----

class MidiReader {
public:
    MidiReader(const std::vector<unsigned char> &bytes, size_t begin, size_t end)
        : bytes_(bytes), at_(begin), end_(end)
    {
    }

    bool done() const { return at_ >= end_; }
    bool byte(unsigned &value)
    {
        if (at_ >= end_)
            return false;
        value = bytes_[at_++];
        return true;
    }
    bool peek(unsigned &value) const
    {
        if (at_ >= end_)
            return false;
        value = bytes_[at_];
        return true;
    }
    bool variableLength(uint32_t &value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned part = 0;
            if (!byte(part))
                return false;
            value = (value << 7) | (part & 0x7F);
            if ((part & 0x80) == 0)
                return true;
        }
        return false;
    }
    bool skip(uint32_t count)
    {
        if (count > end_ - at_)
            return false;
        at_ += count;
        return true;
    }

private:
    const std::vector<unsigned char> &bytes_;
    size_t at_;
    size_t end_;
};

uint32_t bigEndian32(const unsigned char *bytes)
{
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           bytes[3];
}

bool scanTrack(MidiReader track, MidiNeeds &needs)
{
    unsigned status = 0;
    while (!track.done()) {
        uint32_t delta = 0;
        unsigned first = 0;
        if (!track.variableLength(delta) || !track.peek(first))
            return false;
        if (first & 0x80) {
            track.byte(first);
            if (first == 0xFF) {  // meta event
                unsigned type = 0;
                uint32_t length = 0;
                if (!track.byte(type) || !track.variableLength(length) || !track.skip(length))
                    return false;
                if (type == 0x2F)
                    return true;
                continue;
            }
            if (first == 0xF0 || first == 0xF7) {  // system exclusive
                uint32_t length = 0;
                if (!track.variableLength(length) || !track.skip(length))
                    return false;
                status = 0;
                continue;
            }
            if (first > 0xF0)
                return false;
            status = first;
        }
        if (status == 0)
            return false;  // running status with nothing to run on
        unsigned data1 = 0;
        unsigned data2 = 0;
        if (!track.byte(data1))
            return false;
        const unsigned kind = status & 0xF0;
        if (kind != 0xC0 && kind != 0xD0 && !track.byte(data2))
            return false;
        if (kind == 0x90 && data2 > 0)
            needs.keys.set(data1 & 0x7F);
        else if (kind == 0xC0)
            needs.programs.set(data1 & 0x7F);
    }
    return true;
}

// ------------------------------------------------------- SoundFont ----

uint16_t little16(const unsigned char *bytes) { return uint16_t(bytes[0] | (bytes[1] << 8)); }
uint32_t little32(const unsigned char *bytes)
{
    return uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) |
           (uint32_t{bytes[3]} << 24);
}
void putLittle16(unsigned char *bytes, unsigned value)
{
    bytes[0] = value & 0xFF;
    bytes[1] = (value >> 8) & 0xFF;
}
void putLittle32(unsigned char *bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = (value >> (8 * i)) & 0xFF;
}

bool readAt(int fd, int64_t offset, void *buffer, size_t count)
{
    auto *to = static_cast<unsigned char *>(buffer);
    while (count > 0) {
        const ssize_t got = pread(fd, to, count, offset);
        if (got <= 0)
            return false;
        to += got;
        offset += got;
        count -= static_cast<size_t>(got);
    }
    return true;
}

// The preset data's sub-chunks, in the order the format prescribes, and
// the size of one record of each.
enum Part : size_t { Phdr, Pbag, Pmod, Pgen, Inst, Ibag, Imod, Igen, Shdr, PartCount };
constexpr std::array<const char *, PartCount> partNames{"phdr", "pbag", "pmod", "pgen", "inst",
                                                        "ibag", "imod", "igen", "shdr"};
constexpr std::array<size_t, PartCount> recordSizes{38, 4, 10, 4, 22, 4, 10, 4, 46};

constexpr uint16_t keyRangeGenerator = 43;
constexpr uint16_t instrumentGenerator = 41;
constexpr uint16_t sampleGenerator = 53;
constexpr unsigned lowestDrumBank = 120;  // banks 120 and up hold drum kits

struct Records {
    const unsigned char *data = nullptr;
    size_t count = 0;  // the terminal record included
    const unsigned char *at(size_t index) const { return data + index * recordSize; }
    size_t recordSize = 0;
};

// One zone: its generators and modulators, as ranges of the pgen/igen and
// pmod/imod records.
struct ZoneRange {
    size_t firstGenerator, endGenerator, firstModulator, endModulator;
};

class PresetData {
public:
    bool parse(const std::vector<unsigned char> &list)
    {
        // list: "pdta" followed by the sub-chunks.
        size_t at = 4;
        for (size_t part = 0; part < PartCount; ++part) {
            if (list.size() - at < 8 || std::memcmp(&list[at], partNames[part], 4) != 0)
                return false;
            const uint32_t size = little32(&list[at + 4]);
            at += 8;
            if (size > list.size() - at || size % recordSizes[part] != 0 ||
                size / recordSizes[part] < 1)
                return false;
            records_[part] = {&list[at], size / recordSizes[part], recordSizes[part]};
            at += size;
        }
        return bagsInRange(Phdr, 24, Pbag) && bagsInRange(Inst, 20, Ibag) &&
               zonesInRange(Pbag) && zonesInRange(Ibag);
    }

    const Records &operator[](Part part) const { return records_[part]; }

    // The zones of preset or instrument `index` (Phdr or Inst).
    std::pair<size_t, size_t> zonesOf(Part owner, size_t index) const
    {
        const size_t offset = owner == Phdr ? 24 : 20;
        return {little16(records_[owner].at(index) + offset),
                little16(records_[owner].at(index + 1) + offset)};
    }
    ZoneRange zone(Part bags, size_t index) const
    {
        const Records &bag = records_[bags];
        return {little16(bag.at(index)), little16(bag.at(index + 1)), little16(bag.at(index) + 2),
                little16(bag.at(index + 1) + 2)};
    }

private:
    // Each owner's first zone index never decreases and stays inside the
    // bag records.
    bool bagsInRange(Part owner, size_t offset, Part bags) const
    {
        size_t previous = 0;
        for (size_t i = 0; i < records_[owner].count; ++i) {
            const size_t first = little16(records_[owner].at(i) + offset);
            if (first < previous || first >= records_[bags].count)
                return false;
            previous = first;
        }
        return true;
    }
    bool zonesInRange(Part bags) const
    {
        const Part generators = bags == Pbag ? Pgen : Igen;
        const Part modulators = bags == Pbag ? Pmod : Imod;
        size_t previousGenerator = 0;
        size_t previousModulator = 0;
        for (size_t i = 0; i < records_[bags].count; ++i) {
            const size_t generator = little16(records_[bags].at(i));
            const size_t modulator = little16(records_[bags].at(i) + 2);
            if (generator < previousGenerator || generator >= records_[generators].count ||
                modulator < previousModulator || modulator >= records_[modulators].count)
                return false;
            previousGenerator = generator;
            previousModulator = modulator;
        }
        return true;
    }

    std::array<Records, PartCount> records_{};
};

// A zone's generator of the given kind, if it has one.
std::optional<uint16_t> generatorOf(const PresetData &data, Part generators, const ZoneRange &zone,
                                    uint16_t kind)
{
    for (size_t g = zone.firstGenerator; g < zone.endGenerator; ++g) {
        const unsigned char *record = data[generators].at(g);
        if (little16(record) == kind)
            return little16(record + 2);
    }
    return std::nullopt;
}

// Whether the zone can sound one of the keys. A key range counts only as
// the zone's first generator, as the format prescribes and FluidSynth
// reads it; a zone without one covers every key.
bool coversAKey(const PresetData &data, Part generators, const ZoneRange &zone,
                const std::bitset<128> &keys)
{
    if (zone.firstGenerator == zone.endGenerator)
        return true;
    const unsigned char *first = data[generators].at(zone.firstGenerator);
    if (little16(first) != keyRangeGenerator)
        return true;
    const unsigned low = first[2];
    const unsigned high = first[3];
    for (unsigned key = low; key <= high && key < 128; ++key) {
        if (keys.test(key))
            return true;
    }
    return false;
}

// Writes the kept presets (or instruments) with their kept zones: the owner
// records, bag records, generators and modulators, with the instrument (or
// sample) numbers of the generators renumbered.
struct Writer {
    Writer(const PresetData &data, Part owner, Part bags, Part modulators, Part generators,
           uint16_t linkGenerator, const std::map<size_t, uint16_t> &renumbered)
        : data(data), owner(owner), bags(bags), modulators(modulators), generators(generators),
          linkGenerator(linkGenerator), renumbered(renumbered)
    {
    }

    const PresetData &data;
    Part owner, bags, modulators, generators;
    uint16_t linkGenerator;
    const std::map<size_t, uint16_t> &renumbered;  // old linked index -> new

    std::vector<unsigned char> ownerOut, bagOut, modulatorOut, generatorOut;
    size_t bagCount = 0, generatorCount = 0, modulatorCount = 0;

    void add(size_t ownerIndex, const std::vector<size_t> &zones)
    {
        const size_t ownerSize = recordSizes[owner];
        const unsigned char *record = data[owner].at(ownerIndex);
        const size_t start = ownerOut.size();
        ownerOut.insert(ownerOut.end(), record, record + ownerSize);
        putLittle16(&ownerOut[start + ownerSize - (owner == Phdr ? 14 : 2)],
                    static_cast<unsigned>(bagCount));
        for (size_t zoneIndex : zones)
            addZone(data.zone(bags, zoneIndex));
    }

    void addZone(const ZoneRange &zone)
    {
        unsigned char bag[4];
        putLittle16(bag, static_cast<unsigned>(generatorCount));
        putLittle16(bag + 2, static_cast<unsigned>(modulatorCount));
        bagOut.insert(bagOut.end(), bag, bag + 4);
        ++bagCount;
        for (size_t m = zone.firstModulator; m < zone.endModulator; ++m) {
            const unsigned char *record = data[modulators].at(m);
            modulatorOut.insert(modulatorOut.end(), record, record + recordSizes[modulators]);
            ++modulatorCount;
        }
        for (size_t g = zone.firstGenerator; g < zone.endGenerator; ++g) {
            const unsigned char *record = data[generators].at(g);
            const size_t start = generatorOut.size();
            generatorOut.insert(generatorOut.end(), record, record + 4);
            if (little16(record) == linkGenerator)
                putLittle16(&generatorOut[start + 2], renumbered.at(little16(record + 2)));
            ++generatorCount;
        }
    }

    // The terminal records, as in the original, pointing past the end.
    void finish()
    {
        const unsigned char *last = data[owner].at(data[owner].count - 1);
        const size_t start = ownerOut.size();
        ownerOut.insert(ownerOut.end(), last, last + recordSizes[owner]);
        putLittle16(&ownerOut[start + recordSizes[owner] - (owner == Phdr ? 14 : 2)],
                    static_cast<unsigned>(bagCount));
        addZone({data[generators].count - 1, data[generators].count - 1,
                 data[modulators].count - 1, data[modulators].count - 1});
        const unsigned char *lastModulator = data[modulators].at(data[modulators].count - 1);
        modulatorOut.insert(modulatorOut.end(), lastModulator,
                            lastModulator + recordSizes[modulators]);
        const unsigned char *lastGenerator = data[generators].at(data[generators].count - 1);
        generatorOut.insert(generatorOut.end(), lastGenerator, lastGenerator + 4);
    }
};

void appendChunk(std::vector<unsigned char> &out, const char *name,
                 const std::vector<unsigned char> &body)
{
    unsigned char header[8];
    std::memcpy(header, name, 4);
    putLittle32(header + 4, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), header, header + 8);
    out.insert(out.end(), body.begin(), body.end());
}

// The rewritten LIST "pdta" chunk, and how many samples it keeps; empty when
// the original's records are inconsistent.
std::optional<std::pair<std::vector<unsigned char>, int>> subsetOf(
    const std::vector<unsigned char> &list, const MidiNeeds &needs)
{
    PresetData data;
    if (!data.parse(list))
        return std::nullopt;
    std::bitset<128> programs = needs.programs;
    programs.set(0);  // what a channel without a program change plays

    // Presets, and the zones of each that can sound.
    std::vector<std::pair<size_t, std::vector<size_t>>> presets;
    std::map<size_t, uint16_t> instruments;  // kept instrument -> new number
    for (size_t p = 0; p + 1 < data[Phdr].count; ++p) {
        const unsigned char *record = data[Phdr].at(p);
        const unsigned program = little16(record + 20);
        const unsigned bank = little16(record + 22);
        if (bank < lowestDrumBank && (program >= 128 || !programs.test(program)))
            continue;
        std::vector<size_t> zones;
        const auto [first, end] = data.zonesOf(Phdr, p);
        for (size_t z = first; z < end; ++z) {
            const ZoneRange zone = data.zone(Pbag, z);
            const std::optional<uint16_t> instrument =
                generatorOf(data, Pgen, zone, instrumentGenerator);
            if (instrument && size_t{*instrument} + 1 >= data[Inst].count)
                return std::nullopt;
            if (instrument ? coversAKey(data, Pgen, zone, needs.keys) : z == first) {
                zones.push_back(z);
                if (instrument)
                    instruments.emplace(*instrument, 0);
            }
        }
        presets.emplace_back(p, std::move(zones));
    }
    uint16_t next = 0;
    for (auto &[old, renumber] : instruments)
        renumber = next++;

    // Instruments, and the zones of each that can sound.
    std::vector<std::pair<size_t, std::vector<size_t>>> kept;
    std::map<size_t, uint16_t> samples;
    for (const auto &[i, unused] : instruments) {
        std::vector<size_t> zones;
        const auto [first, end] = data.zonesOf(Inst, i);
        for (size_t z = first; z < end; ++z) {
            const ZoneRange zone = data.zone(Ibag, z);
            const std::optional<uint16_t> sample = generatorOf(data, Igen, zone, sampleGenerator);
            if (sample && size_t{*sample} + 1 >= data[Shdr].count)
                return std::nullopt;
            if (sample ? coversAKey(data, Igen, zone, needs.keys) : z == first) {
                zones.push_back(z);
                if (sample)
                    samples.emplace(*sample, 0);
            }
        }
        kept.emplace_back(i, std::move(zones));
    }
    next = 0;
    for (auto &[old, renumber] : samples)
        renumber = next++;

    Writer presetWriter{data, Phdr, Pbag, Pmod, Pgen, instrumentGenerator, instruments};
    for (const auto &[p, zones] : presets)
        presetWriter.add(p, zones);
    presetWriter.finish();
    Writer instrumentWriter{data, Inst, Ibag, Imod, Igen, sampleGenerator, samples};
    for (const auto &[i, zones] : kept)
        instrumentWriter.add(i, zones);
    instrumentWriter.finish();

    // Sample headers: a stereo partner that is left out is no longer named.
    std::vector<unsigned char> headers;
    for (const auto &[s, renumber] : samples) {
        const unsigned char *record = data[Shdr].at(s);
        const size_t start = headers.size();
        headers.insert(headers.end(), record, record + recordSizes[Shdr]);
        const auto partner = samples.find(little16(record + 42));
        putLittle16(&headers[start + 42], partner != samples.end() ? partner->second : 0);
    }
    const unsigned char *terminal = data[Shdr].at(data[Shdr].count - 1);
    headers.insert(headers.end(), terminal, terminal + recordSizes[Shdr]);

    std::vector<unsigned char> body{'p', 'd', 't', 'a'};
    appendChunk(body, "phdr", presetWriter.ownerOut);
    appendChunk(body, "pbag", presetWriter.bagOut);
    appendChunk(body, "pmod", presetWriter.modulatorOut);
    appendChunk(body, "pgen", presetWriter.generatorOut);
    appendChunk(body, "inst", instrumentWriter.ownerOut);
    appendChunk(body, "ibag", instrumentWriter.bagOut);
    appendChunk(body, "imod", instrumentWriter.modulatorOut);
    appendChunk(body, "igen", instrumentWriter.generatorOut);
    appendChunk(body, "shdr", headers);
    std::vector<unsigned char> out;
    appendChunk(out, "LIST", body);
    return std::make_pair(std::move(out), static_cast<int>(samples.size()));
}

// ------------------------------------------------------ file names ----

struct OpenSubset {
    std::shared_ptr<const SoundFontSubset> subset;
    int64_t position = 0;
};

class SubsetFiles {
public:
    static SubsetFiles &instance()
    {
        static SubsetFiles files;
        return files;
    }

    std::string add(std::shared_ptr<const SoundFontSubset> subset)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string name = "hollyphone-subset-" + std::to_string(++lastNumber_) + ".sf2";
        subsets_.emplace(name, std::move(subset));
        return name;
    }
    void remove(const std::string &name)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        subsets_.erase(name);
    }
    OpenSubset *open(const char *name)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = subsets_.find(name ? name : "");
        return found == subsets_.end() ? nullptr : new OpenSubset{found->second};
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const SoundFontSubset>> subsets_;
    unsigned long lastNumber_ = 0;
};

void *openFile(const char *name) { return SubsetFiles::instance().open(name); }

int readFile(void *buffer, fluid_long_long_t count, void *handle)
{
    auto *file = static_cast<OpenSubset *>(handle);
    if (!file->subset->read(file->position, buffer, count))
        return FLUID_FAILED;
    file->position += count;
    return FLUID_OK;
}

int seekFile(void *handle, fluid_long_long_t offset, int origin)
{
    auto *file = static_cast<OpenSubset *>(handle);
    const int64_t base = origin == SEEK_SET   ? 0
                         : origin == SEEK_CUR ? file->position
                         : origin == SEEK_END ? file->subset->size()
                                              : -1;
    if (base < 0 || base + offset < 0)
        return FLUID_FAILED;
    file->position = base + offset;
    return FLUID_OK;
}

fluid_long_long_t tellFile(void *handle) { return static_cast<OpenSubset *>(handle)->position; }

int closeFile(void *handle)
{
    delete static_cast<OpenSubset *>(handle);
    return FLUID_OK;
}

}  // namespace

std::optional<MidiNeeds> scanMidiNeeds(const std::vector<unsigned char> &file)
{
    if (file.size() < 14 || std::memcmp(file.data(), "MThd", 4) != 0)
        return std::nullopt;
    size_t at = 8 + size_t{bigEndian32(&file[4])};
    if (at > file.size())
        return std::nullopt;
    MidiNeeds needs;
    while (file.size() - at >= 8) {
        const size_t length = bigEndian32(&file[at + 4]);
        const size_t begin = at + 8;
        if (length > file.size() - begin)
            return std::nullopt;
        if (std::memcmp(&file[at], "MTrk", 4) == 0 &&
            !scanTrack(MidiReader(file, begin, begin + length), needs))
            return std::nullopt;
        at = begin + length;
    }
    return needs;
}

std::optional<MidiNeeds> readMidiNeeds(const std::string &hostPath)
{
    constexpr size_t largest = 16 << 20;
    std::vector<unsigned char> bytes;
    if (kernel32::readHostFile(hostPath, largest, bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return scanMidiNeeds(bytes);
}

std::unique_ptr<SoundFontSubset> SoundFontSubset::make(const std::string &soundFontPath,
                                                       const MidiNeeds &needs)
{
    std::unique_ptr<SoundFontSubset> subset(new SoundFontSubset);
    subset->file_ = kernel32::UniqueFd(open(soundFontPath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!subset->file_.valid() || fstat(subset->file_.get(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return nullptr;
    const int fd = subset->file_.get();
    unsigned char header[12];
    if (!readAt(fd, 0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "sfbk", 4) != 0)
        return nullptr;
    const int64_t riffEnd = 8 + int64_t{little32(header + 4)};
    if (riffEnd > status.st_size)
        return nullptr;

    // The preset data must be the last chunk: what comes before it is kept
    // as it is.
    int64_t at = 12;
    while (riffEnd - at >= 12) {
        unsigned char chunk[12];
        if (!readAt(fd, at, chunk, sizeof chunk))
            return nullptr;
        const int64_t size = little32(chunk + 4);
        const int64_t end = at + 8 + size + (size & 1);
        if (std::memcmp(chunk, "LIST", 4) == 0 && std::memcmp(chunk + 8, "pdta", 4) == 0) {
            if (end < riffEnd || size > (int64_t{1} << 26))
                return nullptr;
            std::vector<unsigned char> list(static_cast<size_t>(size));
            if (!readAt(fd, at + 8, list.data(), list.size()))
                return nullptr;
            auto rewritten = subsetOf(list, needs);
            if (!rewritten)
                return nullptr;
            subset->prefixSize_ = at;
            subset->presetData_ = std::move(rewritten->first);
            subset->sampleCount_ = rewritten->second;
            putLittle32(subset->riffSize_, static_cast<uint32_t>(subset->size() - 8));
            return subset;
        }
        at = end;
    }
    return nullptr;
}

bool SoundFontSubset::read(int64_t offset, void *buffer, int64_t count) const
{
    if (offset < 0 || count < 0 || count > size() - offset)
        return false;
    auto *to = static_cast<unsigned char *>(buffer);
    if (offset < prefixSize_) {
        const int64_t part = std::min(count, prefixSize_ - offset);
        if (!readAt(file_.get(), offset, to, static_cast<size_t>(part)))
            return false;
        // The RIFF chunk's size is the subset's.
        for (int64_t i = std::max<int64_t>(offset, 4); i < std::min<int64_t>(offset + part, 8); ++i)
            to[i - offset] = riffSize_[i - 4];
        to += part;
        offset += part;
        count -= part;
    }
    if (count > 0)
        std::memcpy(to, presetData_.data() + (offset - prefixSize_), static_cast<size_t>(count));
    return true;
}

SubsetFileName::SubsetFileName(std::shared_ptr<const SoundFontSubset> subset)
    : name_(SubsetFiles::instance().add(std::move(subset)))
{
}

SubsetFileName::~SubsetFileName() { SubsetFiles::instance().remove(name_); }

void readSubsetsThrough(const FluidSynthLibrary &library, fluid_sfloader_t *loader)
{
    library.setLoaderCallbacks(loader, &openFile, &readFile, &seekFile, &tellFile, &closeFile);
}

}  // namespace hp::host
