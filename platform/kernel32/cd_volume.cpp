#include "platform/kernel32/cd_volume.h"

#include <cstdio>

#include "platform/kernel32/cp932_text.h"

namespace hp::kernel32 {
namespace {

constexpr DWORD leadInFrames = 2 * cdFramesPerSecond;  // the 2-second pre-gap

void putWord(std::string &out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void putDword(std::string &out, DWORD value)
{
    putWord(out, value & 0xFFFF);
    putWord(out, value >> 16);
}

// Frame, second, minute and a zero byte, as the .cda file stores an address.
void putMsf(std::string &out, DWORD frames)
{
    out += static_cast<char>(frames % cdFramesPerSecond);
    out += static_cast<char>((frames / cdFramesPerSecond) % 60);
    out += static_cast<char>(frames / cdFramesPerSecond / 60);
    out += '\0';
}

// The CD file system's volume serial of an audio disc: the sum of the
// tracks' start addresses packed as minute << 16 | second << 8 | frame.
DWORD volumeSerialOf(const CdDisc &disc)
{
    DWORD serial = 0;
    for (const CdTrack &track : disc.tracks) {
        DWORD frames = track.startFrame;
        DWORD minute = frames / cdFramesPerSecond / 60;
        DWORD second = (frames / cdFramesPerSecond) % 60;
        DWORD frame = frames % cdFramesPerSecond;
        serial += (minute << 16) | (second << 8) | frame;
    }
    return serial;
}

}  // namespace

DWORD CdVolume::open(int drive, CdVolume &volume)
{
    volume = CdVolume{};
    DriveTable &table = driveTable();
    if (!table.readDisc(drive, volume.disc_))
        return ERROR_NOT_READY;
    volume.mountPoint_ = table.mountPoint(drive);
    if (!volume.mountPoint_.empty()) {
        volume.kind_ = Kind::MountedData;
        return ERROR_SUCCESS;
    }
    for (const CdTrack &track : volume.disc_.tracks) {
        if (track.audio) {
            volume.kind_ = Kind::AudioTracks;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_NOT_READY;
}

const CdTrack *CdVolume::audioTrack(int number) const
{
    for (const CdTrack &track : disc_.tracks) {
        if (track.number == number && track.audio)
            return &track;
    }
    return nullptr;
}

std::string CdVolume::trackFileName(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "Track%02d.cda", number);
    return name;
}

int CdVolume::trackNumberOfName(std::string_view cp932Name)
{
    // "Track" + two digits + ".cda", letters in any case.
    if (cp932Name.size() != 11)
        return 0;
    if (!equalIgnoringAsciiCase(cp932Name.substr(0, 5), "TRACK") ||
        !equalIgnoringAsciiCase(cp932Name.substr(7), ".CDA"))
        return 0;
    char tens = cp932Name[5];
    char ones = cp932Name[6];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9')
        return 0;
    return (tens - '0') * 10 + (ones - '0');
}

std::string CdVolume::trackFileContent(const CdTrack &track) const
{
    std::string out;
    out.reserve(trackFileSizeBytes);
    out += "RIFF";
    putDword(out, trackFileSizeBytes - 8);
    out += "CDDAfmt ";
    putDword(out, 24);
    putWord(out, 1);  // format version
    putWord(out, static_cast<unsigned>(track.number));
    putDword(out, volumeSerialOf(disc_));
    DWORD start = track.startFrame >= leadInFrames ? track.startFrame - leadInFrames : 0;
    putDword(out, start);
    putDword(out, track.lengthFrames);
    putMsf(out, track.startFrame);
    putMsf(out, track.lengthFrames);
    return out;
}

}  // namespace hp::kernel32
