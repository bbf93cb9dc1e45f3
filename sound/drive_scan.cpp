// Drive lists: the roots of all drives, and the drives whose root holds
// nothing but ".cda" files (audio CDs) with their track ranges.
#include "sound/sound_device.h"

#include <string.h>

#include "sound/path_helpers.h"

namespace {

constexpr int driveLetterCount = 26;

// Appends pieces to a cleared, zero-terminated buffer while they fit; the
// last byte always stays free for the terminator.
class DriveListText {
public:
    DriveListText(char *output, int capacity) : output_(output), room_(capacity - 1)
    {
        memset(output_, 0, static_cast<size_t>(capacity));
    }

    bool append(const char *piece)
    {
        int length = static_cast<int>(strlen(piece));
        if (length > room_) {
            return false;
        }
        memcpy(output_ + used_, piece, static_cast<size_t>(length));
        used_ += length;
        room_ -= length;
        return true;
    }

private:
    char *output_;
    int room_;
    int used_ = 0;
};

bool drivePresent(DWORD drives, int index) { return (drives >> index) & 1u; }

void formatRoot(char *root, int index) { wsprintfA(root, "%c:\\", 'A' + index); }

enum class DriveListing { Skipped, Listed, NoRoom };

// Offers the root of every logical drive, "A:\" to "Z:\" in letter order,
// to listDrive(root, text), which appends what it lists of the drive.
// Returns the number of drives listed, or -1 as soon as a piece does not
// fit.
template <typename ListDrive>
int listDrives(char *output, int capacity, ListDrive listDrive)
{
    if (!output || capacity < 1) {
        return -1;
    }
    DriveListText text(output, capacity);
    int listed = 0;
    DWORD drives = GetLogicalDrives();
    for (int index = 0; index < driveLetterCount; ++index) {
        if (!drivePresent(drives, index)) {
            continue;
        }
        char root[8];
        formatRoot(root, index);
        switch (listDrive(root, text)) {
        case DriveListing::NoRoom:
            return -1;
        case DriveListing::Listed:
            ++listed;
            break;
        case DriveListing::Skipped:
            break;
        }
    }
    return listed;
}

}  // namespace

int SoundDevice::listAudioCdDrives(char *output, int capacity, DWORD flags)
{
    return listDrives(output, capacity, [flags](const char *root, DriveListText &text) {
        // An audio CD's root lists one ".cda" file per track and nothing
        // else; a drive without a medium cannot be searched and counts 0.
        int tracks = countFolderEntries(nullptr, root, "*.cda", countMatchingFiles);
        if (tracks == 0 || tracks != countFolderEntries(nullptr, root, "*.*", countAllEntries)) {
            return DriveListing::Skipped;
        }
        if (!text.append(root)) {
            return DriveListing::NoRoom;
        }
        if (flags & driveListTrackRanges) {
            char range[32];
            wsprintfA(range, "(%d-%d)", 1, tracks);
            if (!text.append(range)) {
                return DriveListing::NoRoom;
            }
        }
        return DriveListing::Listed;
    });
}

int SoundDevice::listDriveRoots(char *output, int capacity)
{
    return listDrives(output, capacity, [](const char *root, DriveListText &text) {
        return text.append(root) ? DriveListing::Listed : DriveListing::NoRoom;
    });
}
