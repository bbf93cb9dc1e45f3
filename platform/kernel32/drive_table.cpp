#include "platform/kernel32/drive_table.h"

#include <cctype>

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

// "C:\<NUL>D:\<NUL>...<NUL>". Too small a buffer gets nothing, and the
// result is then the size it needs, terminator included.
DWORD WINAPI GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer)
{
    const DWORD drives = GetLogicalDrives();
    DWORD needed = 0;
    for (int letter = 0; letter < 26; ++letter) {
        if (drives & (1u << letter))
            needed += 4;
    }
    if (!buffer || bufferLength < needed + 1)
        return needed + 1;
    char *out = buffer;
    for (int letter = 0; letter < 26; ++letter) {
        if (!(drives & (1u << letter)))
            continue;
        *out++ = static_cast<char>('A' + letter);
        *out++ = ':';
        *out++ = '\\';
        *out++ = '\0';
    }
    *out = '\0';
    return needed;
}

// A root is "X:\" (or "X:"); no path means the current directory's, C:.
UINT WINAPI GetDriveTypeA(LPCSTR rootPathName)
{
    if (!rootPathName)
        return DRIVE_FIXED;
    const char *path = rootPathName;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    if (letter < 'A' || letter > 'Z' || path[1] != ':')
        return DRIVE_NO_ROOT_DIR;
    const bool bare = path[2] == '\0';
    if (!bare && !((path[2] == '\\' || path[2] == '/') && path[3] == '\0'))
        return DRIVE_NO_ROOT_DIR;
    if (letter == 'C')
        return DRIVE_FIXED;
    return hp::kernel32::cdDriveIndex(letter) >= 0 ? DRIVE_CDROM : DRIVE_NO_ROOT_DIR;
}
