// CD drives through the scripted drive table: letters, the TrackNN.cda
// listing of an audio disc, the .cda files themselves, empty drives, trays
// and mounted data discs.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host_folder.h"
#include "platform/kernel32/drive_table.h"
#include "platform/testing/twins.h"
#include "platform/win32.h"

namespace {

using hp::testing::scriptedDrives;

struct Listed {
    std::string name;
    DWORD attributes;
    DWORD size;
};

std::vector<Listed> list(const std::string &pattern, DWORD &error)
{
    std::vector<Listed> listed;
    WIN32_FIND_DATAA data;
    SetLastError(0);
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return listed;
    }
    do {
        listed.push_back({data.cFileName, data.dwFileAttributes, data.nFileSizeLow});
    } while (FindNextFileA(search, &data));
    error = GetLastError();
    FindClose(search);
    return listed;
}

std::vector<std::string> namesOf(const std::vector<Listed> &listed)
{
    std::vector<std::string> names;
    for (const Listed &entry : listed)
        names.push_back(entry.name);
    return names;
}

uint32_t dwordAt(const std::string &bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

class Kernel32CdDrives : public ::testing::Test {
protected:
    void SetUp() override
    {
        scriptedDrives().reset();
        drive = scriptedDrives().addDrive("/dev/sr0");
        // Three audio tracks and a data track (an Enhanced CD).
        scriptedDrives().insertAudioDisc(drive, {200, 180, 240, 600}, {4});
    }
    int drive = -1;
};

TEST_F(Kernel32CdDrives, CdDrivesTakeLettersFromD)
{
    EXPECT_EQ(GetLogicalDrives(), (1u << 2) | (1u << 3));
    scriptedDrives().addDrive("/dev/sr1");
    EXPECT_EQ(GetLogicalDrives(), (1u << 2) | (1u << 3) | (1u << 4));
    EXPECT_EQ(hp::kernel32::cdDriveLetter(0), 'D');
    EXPECT_EQ(hp::kernel32::cdDriveLetter(1), 'E');
    EXPECT_EQ(hp::kernel32::cdDriveLetter(2), 0);
    EXPECT_EQ(hp::kernel32::cdDriveIndex('e'), 1);
    EXPECT_EQ(hp::kernel32::cdDriveIndex('F'), -1);
    EXPECT_EQ(hp::kernel32::cdDriveIndex('C'), -1);
    DWORD error = 0;
    EXPECT_TRUE(list("F:\\*", error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    char roots[16] = "untouched";
    EXPECT_EQ(GetLogicalDriveStringsA(12, roots), 13u) << "no room for the last terminator";
    EXPECT_STREQ(roots, "untouched");
    EXPECT_EQ(GetLogicalDriveStringsA(13, roots), 12u);
    EXPECT_EQ(std::string(roots, 13), std::string("C:\\\0D:\\\0E:\\\0", 13));
    EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("e:"), static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(GetDriveTypeA("D:\\Track01.cda"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("F:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST_F(Kernel32CdDrives, AnAudioDiscListsOneReadOnlyCdaFilePerAudioTrack)
{
    for (const char *pattern : {"D:\\*.*", "D:\\*", "d:/*.cda", "D:*.CDA"}) {
        DWORD error = 0;
        std::vector<Listed> listed = list(pattern, error);
        EXPECT_EQ(namesOf(listed),
                  (std::vector<std::string>{"Track01.cda", "Track02.cda", "Track03.cda"}))
            << pattern;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_MORE_FILES));
        for (const Listed &entry : listed) {
            EXPECT_EQ(entry.attributes, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
            EXPECT_EQ(entry.size, 44u);
        }
    }
    DWORD error = 0;
    EXPECT_EQ(namesOf(list("D:\\track02.cda", error)), std::vector<std::string>{"Track02.cda"});
    EXPECT_TRUE(list("D:\\Track04.cda", error).empty());  // the data track
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(list("D:\\*.mp3", error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("D:\\"),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesA("D:\\Track03.cda"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

TEST_F(Kernel32CdDrives, ACdaFileDescribesItsTrack)
{
    HANDLE file = CreateFileA("D:\\Track02.cda", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 44u);
    char buffer[64];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    ASSERT_EQ(got, 44u);
    std::string bytes(buffer, got);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(dwordAt(bytes, 4), 36u);
    EXPECT_EQ(bytes.substr(8, 8), "CDDAfmt ");
    EXPECT_EQ(dwordAt(bytes, 16), 24u);
    EXPECT_EQ(dwordAt(bytes, 20), 1u | (2u << 16));  // version 1, track 2
    // Track 2 starts 200 s after track 1, which starts after the 2-second
    // pre-gap: sector 15000 (address 15150 = 3:22.00); it lasts 180 s.
    EXPECT_EQ(dwordAt(bytes, 28), 15000u);
    EXPECT_EQ(dwordAt(bytes, 32), 180u * 75u);
    EXPECT_EQ(bytes.substr(36, 4), std::string("\x00\x16\x03\x00", 4));
    EXPECT_EQ(bytes.substr(40, 4), std::string("\x00\x00\x03\x00", 4));
    // The volume serial: start addresses packed minute:second:frame, summed.
    EXPECT_EQ(dwordAt(bytes, 24), 0x000200u + 0x031600u + 0x061600u + 0x0A1600u);
    // The probe of a short file: 128 bytes back from the end is refused.
    EXPECT_EQ(SetFilePointer(file, -128, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 44u);
    CloseHandle(file);
}

TEST_F(Kernel32CdDrives, NothingOnADiscCanBeWritten)
{
    SetLastError(0);
    EXPECT_EQ(CreateFileA("D:\\Track01.cda", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CreateFileA("D:\\Track01.cda", GENERIC_READ, 0, nullptr, CREATE_NEW, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_FALSE(DeleteFileA("D:\\Track01.cda"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(WritePrivateProfileStringA("a", "b", "c", "D:\\x.ini"));
    EXPECT_EQ(CreateFileA("D:\\", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Kernel32CdDrives, AnEmptyDriveOrAnOpenTrayIsNotReady)
{
    scriptedDrives().eject(drive);
    DWORD error = 0;
    EXPECT_TRUE(list("D:\\*.*", error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(GetFileAttributesA("D:\\"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(GetLogicalDrives() & (1u << 3), 1u << 3);  // the drive is still there

    scriptedDrives().insertAudioDisc(drive, {100, 100});
    ASSERT_TRUE(hp::kernel32::driveTable().setTray(drive, true));
    EXPECT_TRUE(list("D:\\*.*", error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_READY));
    ASSERT_TRUE(hp::kernel32::driveTable().setTray(drive, false));
    EXPECT_EQ(list("D:\\*.*", error).size(), 2u);
    ASSERT_EQ(scriptedDrives().trayCalls().size(), 2u);
    EXPECT_TRUE(scriptedDrives().trayCalls()[0].open);
    EXPECT_FALSE(scriptedDrives().trayCalls()[1].open);
}

TEST_F(Kernel32CdDrives, AMountedDataDiscShowsItsMountPointAsTheRoot)
{
    HostFolder mount;
    ASSERT_FALSE(mount.path().empty());
    ASSERT_TRUE(HostFolder::writeFile(mount.child("README.TXT"), "data disc"));
    ASSERT_TRUE(HostFolder::writeFile(mount.child("Setup.exe"), "MZ"));
    scriptedDrives().insertDataDisc(drive, mount.path());

    DWORD error = 0;
    EXPECT_EQ(namesOf(list("D:\\*", error)), (std::vector<std::string>{"README.TXT", "Setup.exe"}));
    EXPECT_TRUE(list("D:\\*.cda", error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    HANDLE file = CreateFileA("D:\\readme.txt", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[32];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "data disc");
    CloseHandle(file);
    // ".." stops at the disc's root.
    EXPECT_EQ(GetFileAttributesA("D:\\..\\..\\Setup.exe") & FILE_ATTRIBUTE_DIRECTORY, 0u);

    // Not mounted: nothing to show.
    scriptedDrives().insertDataDisc(drive, "");
    EXPECT_TRUE(list("D:\\*", error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_READY));
}

}  // namespace
