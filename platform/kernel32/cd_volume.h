// What the root of a CD drive shows. With an audio disc the platform's CD
// file system lists one "TrackNN.cda" per audio track (data tracks left
// out): a read-only 44-byte RIFF "CDDA" file naming the track, its start and
// length. A mounted data disc shows its mount point. An empty drive, or a
// data disc that is not mounted, is not ready.
#pragma once

#include <string>
#include <string_view>

#include "platform/kernel32/drive_table.h"

namespace hp::kernel32 {

class CdVolume {
public:
    enum class Kind { AudioTracks, MountedData };

    static constexpr DWORD trackFileSizeBytes = 44;

    // ERROR_SUCCESS, or ERROR_NOT_READY when the drive shows nothing.
    static DWORD open(int drive, CdVolume &volume);

    Kind kind() const { return kind_; }
    const CdDisc &disc() const { return disc_; }
    const std::string &mountPoint() const { return mountPoint_; }

    // The audio track with this number, or null.
    const CdTrack *audioTrack(int number) const;

    // "Track07.cda" for track 7.
    static std::string trackFileName(int number);

    // The track number a name such as "track07.CDA" stands for, or 0.
    static int trackNumberOfName(std::string_view cp932Name);

    // The 44 bytes of a track's .cda file.
    std::string trackFileContent(const CdTrack &track) const;

private:
    Kind kind_ = Kind::AudioTracks;
    CdDisc disc_;
    std::string mountPoint_;
};

}  // namespace hp::kernel32
