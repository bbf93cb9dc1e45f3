// The Wave, MIDI and CD volume controls of a mixer device, found by name:
// the playback destination, then the source line of the wanted kind, then
// its volume control. Mixers name their lines freely, in English or
// Japanese, so names are matched against word lists as plain byte
// substrings, case-sensitively. Nothing is cached: each call sees the mixer
// as it is now.
#include "sound/sound_device.h"

#include <string.h>

namespace {

constexpr int nameSlots = 100;
constexpr int nameStride = 260;

struct WordList {
    const char *const *words;
    size_t count;
};

template <size_t count>
constexpr WordList wordList(const char *const (&words)[count])
{
    return WordList{words, count};
}

// "ﾌﾟﾚｲ", "ﾎﾞﾘｭｰﾑ" and "ｼﾝｾ" are the half-width forms that older drivers use.
constexpr const char *playbackDestinationWords[] = {
    "ボリューム", "プレイ", "ﾌﾟﾚｲ", "Play", "PLAY", "ﾎﾞﾘｭｰﾑ",
    "play", "再生", "Volume", "volume", "VOLUME",
};
constexpr const char *cdSourceWords[] = {"CD"};
constexpr const char *waveSourceWords[] = {"Wave", "MP3", "WAVE", "wave", "mp3"};
constexpr const char *midiSourceWords[] = {
    "MIDI", "Midi", "midi", "シンセ", "ｼﾝｾ", "Synth", "SYNTH", "synth",
};
constexpr const char *volumeControlWords[] = {"音量", "Vol", "vol", "VOL"};

bool containsAnyWord(const char *name, WordList list)
{
    for (size_t i = 0; i < list.count; ++i) {
        if (strstr(name, list.words[i])) {
            return true;
        }
    }
    return false;
}

bool sourceWordsFor(VolumeLine line, WordList &list)
{
    switch (line) {
    case VolumeLine::Cd:
        list = wordList(cdSourceWords);
        return true;
    case VolumeLine::Wave:
        list = wordList(waveSourceWords);
        return true;
    case VolumeLine::Midi:
        list = wordList(midiSourceWords);
        return true;
    }
    return false;
}

using NameTable = char[nameSlots][nameStride];

// Index of the last name that matches, or -1.
int lastMatch(const NameTable &names, int count, WordList list)
{
    int found = -1;
    for (int i = 0; i < count && i < nameSlots; ++i) {
        if (containsAnyWord(names[i], list)) {
            found = i;
        }
    }
    return found;
}

// Index of the first name that matches, or -1.
int firstMatch(const NameTable &names, int count, WordList list)
{
    for (int i = 0; i < count && i < nameSlots; ++i) {
        if (containsAnyWord(names[i], list)) {
            return i;
        }
    }
    return -1;
}

struct VolumeControl {
    int destination = -1;
    int source = -1;
    int control = -1;
};

// Walks device, destination, source line and control. Only the first source
// of the wanted kind is examined: when it has no volume control the lookup
// fails even if a later source of that kind has one.
bool findVolumeControl(SoundDevice &device, int deviceIndex, VolumeLine line,
                       VolumeControl &found)
{
    WordList sourceWords{};
    if (!sourceWordsFor(line, sourceWords)) {
        return false;
    }
    // The listings take turns in one table; each overwrites the previous.
    NameTable names;
    int count = 0;
    if (!device.listMixerDevices(nullptr, &count, &names[0][0], nameSlots, nameStride)) {
        return false;
    }
    if (deviceIndex < 0 || deviceIndex >= count) {
        return false;
    }
    if (!device.listDestinationLines(nullptr, deviceIndex, &count, &names[0][0], nameSlots,
                                     nameStride)
        || count == 0) {
        return false;
    }
    found.destination = lastMatch(names, count, wordList(playbackDestinationWords));
    if (found.destination < 0) {
        return false;
    }
    if (!device.listSourceLines(nullptr, deviceIndex, found.destination, &count, &names[0][0],
                                nameSlots, nameStride)) {
        return false;
    }
    found.source = firstMatch(names, count, sourceWords);
    if (found.source < 0) {
        return false;
    }
    if (!device.listLineControls(nullptr, deviceIndex, found.destination, found.source, &count,
                                 &names[0][0], nameSlots, nameStride)
        || count == 0) {
        return false;
    }
    found.control = lastMatch(names, count, wordList(volumeControlWords));
    return found.control >= 0;
}

}  // namespace

int SoundDevice::setVolume(int device, int value, VolumeLine line)
{
    VolumeControl found;
    if (!findVolumeControl(*this, device, line, found)) {
        return 0;
    }
    // Handed over unscaled: the control's own range is not consulted.
    setControlValue(nullptr, device, found.destination, found.source, found.control,
                    static_cast<DWORD>(value));
    return 1;
}

int SoundDevice::getVolume(int device, int *valueOut, VolumeLine line)
{
    VolumeControl found;
    if (!findVolumeControl(*this, device, line, found)) {
        return 0;
    }
    DWORD value = 0;
    if (getControlValue(nullptr, device, found.destination, found.source, found.control, &value)
        && valueOut) {
        *valueOut = static_cast<int>(value);
    }
    return 1;
}
