// Sound files made by the tests themselves: tones as WAV and MP3, and small
// Standard MIDI Files.
#pragma once

#include <string>
#include <vector>

namespace hp::soundtest {

constexpr int sampleRate = 44100;

// One stretch of a tone.
struct ToneSegment {
    double frequencyHz = 1000.0;
    double seconds = 1.0;
};

// A 16-bit stereo WAV file of the segments, one after another, at half of
// full scale.
void writeToneWav(const std::string &path, const std::vector<ToneSegment> &segments);

// Encodes a WAV file to MP3 with lame, with an ID3v2 tag (artist, title).
// vbr: variable bit rate without a Xing header, the hardest case for a
// length estimate. False (with a message in why) when lame is missing or
// fails.
enum class BitRate { Constant, VariableNoHeader };
bool encodeMp3(const std::string &wavPath, const std::string &mp3Path, BitRate bitRate,
               std::string &why);

// One note of a MIDI file.
struct MidiNote {
    int key = 69;  // A4 = 440 Hz
    double seconds = 1.0;
};

// A format 0 file at 120 beats per minute: the notes one after another on
// channel 0 with the given General MIDI program (73 = flute).
void writeMidiFile(const std::string &path, const std::vector<MidiNote> &notes, int program = 73);

// Keys struck together and held.
struct MidiChord {
    std::vector<int> keys;
    double seconds = 1.0;
    int velocity = 100;
};

// A format 0 file at 120 beats per minute: the chords one after another on
// channel 0 with the given General MIDI program (0 = acoustic grand piano),
// or with no program change at all.
constexpr int noProgramChange = -1;
void writeMidiChords(const std::string &path, const std::vector<MidiChord> &chords,
                     int program = 0);

// A tone file made in one step: the WAV beside it, then lame.
bool writeToneMp3(const std::string &mp3Path, const std::vector<ToneSegment> &segments,
                  BitRate bitRate, std::string &why);

// A temporary folder of the test's own, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::string &path() const { return path_; }
    std::string pathOf(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Frequency of a MIDI key in equal temperament.
double keyFrequencyHz(int key);

// Writes bytes to a file.
void writeBytes(const std::string &path, const std::vector<unsigned char> &bytes);

}  // namespace hp::soundtest
