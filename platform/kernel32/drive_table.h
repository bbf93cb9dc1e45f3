// The CD drives of the machine, as the drive model sees them.
//
// Drive letters: C: is the host's file system root; the CD drives take the
// letters D:, E:, ... in the order the drive table lists them (at most 23).
// A root such as "D:\" names the drive. On a drive holding an audio disc the
// root lists one "TrackNN.cda" per audio track, as the platform does; a data
// disc shows the files of its mount point when it is mounted; with no disc
// the root cannot be searched.
//
// Backends: libcdio on Linux (platform/host/cdio_drive_table.cpp) and a
// scripted table for tests (platform/testing/scripted_drives.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::kernel32 {

constexpr int cdFramesPerSecond = 75;

struct CdTrack {
    int number = 0;            // as on the disc, normally 1..99
    bool audio = true;         // data tracks are not listed as .cda files
    DWORD startFrame = 0;      // absolute address, 75 frames per second
    DWORD lengthFrames = 0;
};

struct CdDisc {
    std::vector<CdTrack> tracks;  // in disc order
    DWORD leadOutFrame = 0;       // absolute address of the end of the disc
};

// All calls come from the GUI thread. Implementations must not block for
// long: a drive that is spinning up reports "no disc" rather than wait.
class DriveTable {
public:
    virtual ~DriveTable() = default;

    // Number of CD drives, in discovery order. Stable while the program runs.
    virtual int driveCount() = 0;

    // Host device of drive i (for example "/dev/sr0"); used for playback.
    virtual std::string deviceName(int drive) = 0;

    // The disc in drive i; false when the drive is empty, open or unreadable.
    virtual bool readDisc(int drive, CdDisc &disc) = 0;

    // Where the data disc in drive i is mounted, or "" when it is not.
    virtual std::string mountPoint(int drive) = 0;

    // Opens (true) or closes (false) the tray. False when the drive refuses.
    virtual bool setTray(int drive, bool open) = 0;
};

// The table in force. Installed on first use from the executable's wiring
// (platform/wiring.h); tests may install their own.
DriveTable &driveTable();
void installDriveTable(std::unique_ptr<DriveTable> table);

// Drive letter ('D'..'Z') of CD drive i, or 0 when i has no letter.
char cdDriveLetter(int drive);

// CD drive index of a letter, or -1 when the letter is not a CD drive.
int cdDriveIndex(char letter);

}  // namespace hp::kernel32
