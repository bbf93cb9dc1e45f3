// Handles and the host descriptors behind them: values, kinds, counting,
// and nothing left open or inherited after any path through the API.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "host_folder.h"
#include "platform/testing/twins.h"
#include "platform/win32.h"

namespace {

int openDescriptorCount()
{
    int count = 0;
    if (DIR *dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++count;
        closedir(dir);
    }
    return count;
}

// The flags of the descriptor that has this file open, from /proc.
bool descriptorFlagsOf(const std::string &hostPath, long &flags)
{
    DIR *dir = opendir("/proc/self/fd");
    if (!dir)
        return false;
    bool found = false;
    while (dirent *entry = readdir(dir)) {
        std::string link = std::string("/proc/self/fd/") + entry->d_name;
        char target[4096];
        ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
        if (length <= 0 || std::string(target, length) != hostPath)
            continue;
        std::ifstream info(std::string("/proc/self/fdinfo/") + entry->d_name);
        std::string key;
        while (info >> key) {
            if (key == "flags:") {
                std::string octal;
                info >> octal;
                flags = std::stol(octal, nullptr, 8);
                found = true;
            }
        }
    }
    closedir(dir);
    return found;
}

HANDLE openForReading(const std::string &path, DWORD share = FILE_SHARE_READ)
{
    return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

class Kernel32Handles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.path().empty());
        ASSERT_TRUE(HostFolder::writeFile(folder.child("a.txt"), "abc"));
        file = folder.windowsPath("a.txt");
    }
    HostFolder folder;
    std::string file;
};

TEST_F(Kernel32Handles, ValuesLookLikeThePlatformsAndAreReused)
{
    HANDLE first = openForReading(file);
    HANDLE second = openForReading(file);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    for (HANDLE handle : {first, second}) {
        uintptr_t value = reinterpret_cast<uintptr_t>(handle);
        EXPECT_NE(value, 0u);
        EXPECT_EQ(value % 4, 0u);
        EXPECT_LT(value, 0x10000u);
    }
    EXPECT_NE(first, second);
    CloseHandle(first);
    HANDLE third = openForReading(file);
    EXPECT_EQ(third, first);
    CloseHandle(second);
    CloseHandle(third);
}

TEST_F(Kernel32Handles, EachFunctionTakesOnlyItsOwnKindOfHandle)
{
    HANDLE opened = openForReading(file);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(folder.windowsPath("*").c_str(), &data);
    ASSERT_NE(opened, INVALID_HANDLE_VALUE);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);

    SetLastError(0);
    EXPECT_FALSE(CloseHandle(search));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(opened));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindNextFileA(opened, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    char buffer[4];
    DWORD got = 0;
    EXPECT_FALSE(ReadFile(search, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    // Both still work after the refusals.
    EXPECT_TRUE(ReadFile(opened, buffer, 3, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "abc");
    EXPECT_TRUE(FindNextFileA(search, &data));
    EXPECT_TRUE(CloseHandle(opened));
    EXPECT_TRUE(FindClose(search));
    SetLastError(0);
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(search));
    EXPECT_TRUE(CloseHandle(GetCurrentProcess()));  // a pseudo handle
}

TEST_F(Kernel32Handles, NoPathThroughTheApiLeavesAHostDescriptorOpen)
{
    hp::testing::scriptedDrives().reset();
    int drive = hp::testing::scriptedDrives().addDrive("/dev/sr0");
    hp::testing::scriptedDrives().insertAudioDisc(drive, {60, 60});
    std::string ini = folder.windowsPath("p.ini");
    DWORD countBefore = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &countBefore));
    int descriptorsBefore = openDescriptorCount();

    for (int round = 0; round < 50; ++round) {
        HANDLE holder = openForReading(file, 0);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_EQ(openForReading(file), INVALID_HANDLE_VALUE);  // sharing violation
        CloseHandle(holder);
        EXPECT_EQ(openForReading(folder.windowsPath("missing")), INVALID_HANDLE_VALUE);
        EXPECT_EQ(openForReading(folder.windowsPath("")), INVALID_HANDLE_VALUE);  // a folder
        HANDLE created = CreateFileA(folder.windowsPath("new.bin").c_str(), GENERIC_WRITE, 0,
                                     nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        ASSERT_NE(created, INVALID_HANDLE_VALUE);
        CloseHandle(created);
        WIN32_FIND_DATAA data;
        FindClose(FindFirstFileA(folder.windowsPath("*").c_str(), &data));
        FindFirstFileA(folder.windowsPath("*.none").c_str(), &data);
        FindClose(FindFirstFileA("D:\\*.cda", &data));
        HANDLE track = openForReading("D:\\Track01.cda");
        CloseHandle(track);
        WritePrivateProfileStringA("S", "k", std::to_string(round).c_str(), ini.c_str());
        GetPrivateProfileIntA("S", "k", 0, ini.c_str());
        MoveFileExA(folder.windowsPath("new.bin").c_str(), folder.windowsPath("moved.bin").c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        DeleteFileA(folder.windowsPath("moved.bin").c_str());
    }
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    DWORD countAfter = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &countAfter));
    EXPECT_EQ(countAfter, countBefore);
    EXPECT_EQ(HostFolder::listing(folder.path()), "a.txt p.ini");
}

TEST_F(Kernel32Handles, HostDescriptorsAreNotInheritedByChildPrograms)
{
    HANDLE opened = openForReading(file);
    ASSERT_NE(opened, INVALID_HANDLE_VALUE);
    long flags = 0;
    ASSERT_TRUE(descriptorFlagsOf(folder.child("a.txt"), flags));
    EXPECT_TRUE(flags & O_CLOEXEC);
    CloseHandle(opened);
    EXPECT_FALSE(descriptorFlagsOf(folder.child("a.txt"), flags));
}

TEST_F(Kernel32Handles, TheReadOnlyAttributeHoldsEvenForThePrivilegedUser)
{
    std::string locked = folder.windowsPath("locked.txt");
    HANDLE created = CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(created, "x", 1, &written, nullptr));  // the creating handle writes
    CloseHandle(created);
    EXPECT_TRUE(GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY);

    SetLastError(0);
    EXPECT_EQ(CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DeleteFileA(locked.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(MoveFileExA(file.c_str(), locked.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    std::string content;
    ASSERT_TRUE(HostFolder::readFile(folder.child("locked.txt"), content));
    EXPECT_EQ(content, "x");
}

TEST_F(Kernel32Handles, PipesAreNotOpenedAsFilesAndDoNotBlock)
{
    ASSERT_EQ(mkfifo(folder.child("pipe").c_str(), 0644), 0);
    SetLastError(0);
    EXPECT_EQ(openForReading(folder.windowsPath("pipe")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetPrivateProfileIntA("a", "b", 5, folder.windowsPath("pipe").c_str()), 5u);
    for (UINT type : {IMAGE_BITMAP, IMAGE_ICON}) {
        SetLastError(0);
        EXPECT_EQ(LoadImageA(nullptr, folder.windowsPath("pipe").c_str(), type, 0, 0,
                             LR_LOADFROMFILE),
                  nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << type;
    }
}

}  // namespace
