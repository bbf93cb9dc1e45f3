#include "tests/sound_real/test_media.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdlib.h>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace hp::soundtest {
namespace {

void putLittle(std::vector<unsigned char> &bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void putBig(std::vector<unsigned char> &bytes, uint32_t value, int size)
{
    for (int i = size - 1; i >= 0; --i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void putVariableLength(std::vector<unsigned char> &bytes, uint32_t value)
{
    unsigned char groups[5];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value);
    while (count > 1)
        bytes.push_back(groups[--count] | 0x80);
    bytes.push_back(groups[0]);
}

std::string quoted(const std::string &text) { return "'" + text + "'"; }

}  // namespace

void writeBytes(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

void writeToneWav(const std::string &path, const std::vector<ToneSegment> &segments)
{
    constexpr int channels = 2;
    std::vector<int16_t> samples;
    for (const ToneSegment &segment : segments) {
        const auto frames = static_cast<size_t>(segment.seconds * sampleRate);
        for (size_t i = 0; i < frames; ++i) {
            const double phase = 2.0 * M_PI * segment.frequencyHz * static_cast<double>(i) /
                                 sampleRate;
            const auto value = static_cast<int16_t>(std::lround(16383.0 * std::sin(phase)));
            for (int channel = 0; channel < channels; ++channel)
                samples.push_back(value);
        }
    }
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    std::vector<unsigned char> bytes;
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    putLittle(bytes, 36 + dataBytes, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLittle(bytes, 16, 4);
    putLittle(bytes, 1, 2);  // PCM
    putLittle(bytes, channels, 2);
    putLittle(bytes, sampleRate, 4);
    putLittle(bytes, sampleRate * channels * 2, 4);
    putLittle(bytes, channels * 2, 2);
    putLittle(bytes, 16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    putLittle(bytes, dataBytes, 4);
    for (int16_t sample : samples)
        putLittle(bytes, static_cast<uint16_t>(sample), 2);
    writeBytes(path, bytes);
}

bool encodeMp3(const std::string &wavPath, const std::string &mp3Path, BitRate bitRate,
               std::string &why)
{
    if (std::system("command -v lame >/dev/null 2>&1") != 0) {
        why = "lame is not installed";
        return false;
    }
    const std::string rate = bitRate == BitRate::Constant ? "-b 128" : "-V 2 -t";
    const std::string command = "lame --quiet " + rate +
                                " --id3v2-only --ta 'Test Artist' --tt 'Test Tone' " +
                                quoted(wavPath) + " " + quoted(mp3Path);
    if (std::system(command.c_str()) != 0) {
        why = "lame failed: " + command;
        return false;
    }
    return true;
}

bool writeToneMp3(const std::string &mp3Path, const std::vector<ToneSegment> &segments,
                  BitRate bitRate, std::string &why)
{
    const std::string wavPath = mp3Path + ".wav";
    writeToneWav(wavPath, segments);
    const bool encoded = encodeMp3(wavPath, mp3Path, bitRate, why);
    std::remove(wavPath.c_str());
    return encoded;
}

TempFolder::TempFolder()
{
    char pattern[] = "/tmp/hollyphone_sound_XXXXXX";
    if (mkdtemp(pattern))
        path_ = pattern;
}

TempFolder::~TempFolder()
{
    if (!path_.empty())
        std::system(("rm -rf '" + path_ + "'").c_str());
}

double keyFrequencyHz(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

void writeMidiChords(const std::string &path, const std::vector<MidiChord> &chords, int program)
{
    constexpr uint32_t ticksPerQuarter = 480;
    constexpr uint32_t ticksPerSecond = ticksPerQuarter * 2;  // 120 beats per minute
    std::vector<unsigned char> track;
    putVariableLength(track, 0);
    track.insert(track.end(), {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // 500000 us per quarter
    if (program != noProgramChange) {
        putVariableLength(track, 0);
        track.insert(track.end(), {0xC0, static_cast<unsigned char>(program)});
    }
    for (const MidiChord &chord : chords) {
        for (int key : chord.keys) {
            putVariableLength(track, 0);
            track.insert(track.end(), {0x90, static_cast<unsigned char>(key),
                                       static_cast<unsigned char>(chord.velocity)});
        }
        uint32_t delay = static_cast<uint32_t>(std::lround(chord.seconds * ticksPerSecond));
        for (int key : chord.keys) {
            putVariableLength(track, delay);
            track.insert(track.end(), {0x80, static_cast<unsigned char>(key), 0});
            delay = 0;
        }
    }
    putVariableLength(track, 0);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<unsigned char> bytes = {'M', 'T', 'h', 'd'};
    putBig(bytes, 6, 4);
    putBig(bytes, 0, 2);  // format 0
    putBig(bytes, 1, 2);  // one track
    putBig(bytes, ticksPerQuarter, 2);
    bytes.insert(bytes.end(), {'M', 'T', 'r', 'k'});
    putBig(bytes, static_cast<uint32_t>(track.size()), 4);
    bytes.insert(bytes.end(), track.begin(), track.end());
    writeBytes(path, bytes);
}

void writeMidiFile(const std::string &path, const std::vector<MidiNote> &notes, int program)
{
    std::vector<MidiChord> chords;
    for (const MidiNote &note : notes)
        chords.push_back({{note.key}, note.seconds, 100});
    writeMidiChords(path, chords, program);
}

}  // namespace hp::soundtest
