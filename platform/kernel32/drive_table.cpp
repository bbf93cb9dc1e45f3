#include "platform/kernel32/drive_table.h"

#include "platform/null_backends.h"
#include "platform/wiring.h"

namespace hp::kernel32 {
namespace {

constexpr int maximumCdDrives = 'Z' - 'D' + 1;

std::unique_ptr<DriveTable> &installedTable()
{
    // Never destroyed: teardown code running at exit may still ask.
    static auto *table = new std::unique_ptr<DriveTable>;
    return *table;
}

int letteredDriveCount()
{
    int count = driveTable().driveCount();
    if (count < 0)
        return 0;
    return count < maximumCdDrives ? count : maximumCdDrives;
}

}  // namespace

DriveTable &driveTable()
{
    std::unique_ptr<DriveTable> &table = installedTable();
    if (!table)
        table = wiring::makeDriveTable();
    if (!table)
        table = null::makeDriveTable();
    return *table;
}

void installDriveTable(std::unique_ptr<DriveTable> table) { installedTable() = std::move(table); }

char cdDriveLetter(int drive)
{
    if (drive < 0 || drive >= letteredDriveCount())
        return 0;
    return static_cast<char>('D' + drive);
}

int cdDriveIndex(char letter)
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'D' || letter > 'Z')
        return -1;
    int drive = letter - 'D';
    return drive < letteredDriveCount() ? drive : -1;
}

}  // namespace hp::kernel32

DWORD WINAPI GetLogicalDrives(void)
{
    DWORD drives = 1u << ('C' - 'A');
    for (int drive = 0; hp::kernel32::cdDriveLetter(drive) != 0; ++drive)
        drives |= 1u << (hp::kernel32::cdDriveLetter(drive) - 'A');
    return drives;
}
