// The profile writer: it changes only the lines it must, keeps everything
// else byte for byte, and never leaves a half-written or lost file when
// the disk or the folder refuses the new content.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "host_folder.h"
#include "platform/win32.h"

namespace {

class Kernel32ProfileWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.path().empty());
        hostIni = folder.child("Hollyphone.ini");
        ini = folder.windowsPath("Hollyphone.ini");
    }

    std::string bytes() const
    {
        std::string content;
        return HostFolder::readFile(hostIni, content) ? content : "<missing>";
    }
    BOOL put(const char *section, const char *key, const char *value)
    {
        return WritePrivateProfileStringA(section, key, value, ini.c_str());
    }
    std::string get(const char *section, const char *key)
    {
        char buffer[260];
        DWORD length = GetPrivateProfileStringA(section, key, "-", buffer, sizeof buffer, ini.c_str());
        return std::string(buffer, length);
    }

    HostFolder folder;
    std::string hostIni;
    std::string ini;
};

TEST_F(Kernel32ProfileWriter, UntouchedLinesKeepTheirBytesAndNewKeysJoinTheirSection)
{
    const std::string original = "; settings\n"
                                 "[INFO]\n"
                                 "Message1=old\n"
                                 "\n"
                                 "[CONFIG]   \r\n"
                                 "GraphicEffect = 1\r\n"
                                 "\r\n"
                                 "; end";
    ASSERT_TRUE(HostFolder::writeFile(hostIni, original));

    EXPECT_TRUE(put("config", "graphiceffect", "0"));
    EXPECT_EQ(bytes(), "; settings\n[INFO]\nMessage1=old\n\n[CONFIG]   \r\n"
                       "GraphicEffect=0\r\n\r\n; end");
    EXPECT_TRUE(put("INFO", "Iniver", "1.00"));
    EXPECT_EQ(bytes(), "; settings\n[INFO]\nMessage1=old\nIniver=1.00\r\n\n[CONFIG]   \r\n"
                       "GraphicEffect=0\r\n\r\n; end");
    // A new key goes after the section's last line, the comment here; the
    // last line gets a line end before anything follows it.
    EXPECT_TRUE(put("CONFIG", "SoundDev", "1"));
    EXPECT_EQ(bytes(), "; settings\n[INFO]\nMessage1=old\nIniver=1.00\r\n\n[CONFIG]   \r\n"
                       "GraphicEffect=0\r\n\r\n; end\r\nSoundDev=1\r\n");
    EXPECT_TRUE(put("NEW", "k", "v"));
    EXPECT_EQ(bytes(), "; settings\n[INFO]\nMessage1=old\nIniver=1.00\r\n\n[CONFIG]   \r\n"
                       "GraphicEffect=0\r\n\r\n; end\r\nSoundDev=1\r\n[NEW]\r\nk=v\r\n");
    EXPECT_EQ(get("CONFIG", "SoundDev"), "1");
    EXPECT_EQ(get("INFO", "Message1"), "old");

    // A CR alone ends a line as well, the file's last byte included.
    ASSERT_TRUE(HostFolder::writeFile(hostIni, "[A]\rk=1\rj=3\n\r"));
    EXPECT_TRUE(put("A", "k", "2"));
    EXPECT_EQ(bytes(), "[A]\rk=2\rj=3\n\r");
    EXPECT_EQ(get("A", "j"), "3");
}

TEST_F(Kernel32ProfileWriter, ValuesAreWrittenByteForByteAndNamesMatchOnlyAsciiCase)
{
    // ミ (0x83 0x7E) and its neighbour with an 'a' trail byte must not be
    // folded together like ASCII letters; ゾ ends in 0x5D, which is no ']'.
    EXPECT_TRUE(put("[ゾ]", "キー", "値 with \x81\x40 spaces "));
    EXPECT_TRUE(put("ゾ", "\x83\x61", "lower trail"));
    EXPECT_EQ(get("ゾ", "\x83\x61"), "lower trail");
    EXPECT_EQ(get("ゾ", "\x83\x41"), "-");
    EXPECT_EQ(get("[ゾ]", "キー"), "値 with \x81\x40 spaces");
    EXPECT_EQ(bytes(), "[[ゾ]]\r\nキー=値 with \x81\x40 spaces \r\n[ゾ]\r\n\x83\x61=lower trail\r\n");
}

TEST_F(Kernel32ProfileWriter, TheFileKeepsItsPermissionsAndALinkStaysALink)
{
    ASSERT_TRUE(HostFolder::writeFile(hostIni, "[A]\r\nk=1\r\n"));
    ASSERT_EQ(chmod(hostIni.c_str(), 0640), 0);
    EXPECT_TRUE(put("A", "k", "2"));
    struct stat info;
    ASSERT_EQ(stat(hostIni.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    std::string target = folder.child("real.ini");
    ASSERT_TRUE(HostFolder::writeFile(target, "[A]\r\nk=1\r\n"));
    std::string link = folder.child("link.ini");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "3", folder.windowsPath("link.ini").c_str()));
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    std::string content;
    ASSERT_TRUE(HostFolder::readFile(target, content));
    EXPECT_EQ(content, "[A]\r\nk=3\r\n");

    // A link to a file not yet written: the file is made where it points.
    ASSERT_EQ(symlink("later.ini", folder.child("ahead.ini").c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "4", folder.windowsPath("ahead.ini").c_str()));
    ASSERT_EQ(lstat(folder.child("ahead.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_TRUE(HostFolder::readFile(folder.child("later.ini"), content));
    EXPECT_EQ(content, "[A]\r\nk=4\r\n");
}

TEST_F(Kernel32ProfileWriter, AnUnchangedValueDoesNotRewriteTheFile)
{
    ASSERT_TRUE(HostFolder::writeFile(hostIni, "[A]\nk=same\n"));
    struct stat before;
    ASSERT_EQ(stat(hostIni.c_str(), &before), 0);
    EXPECT_TRUE(put("A", "K", "same"));
    EXPECT_TRUE(put("B", "k", nullptr));  // nothing to delete
    struct stat after;
    ASSERT_EQ(stat(hostIni.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST_F(Kernel32ProfileWriter, AReadOnlyFileIsRefusedAndLeftAlone)
{
    const std::string original = "[CONFIG]\r\nSoundDev=0\r\n";
    ASSERT_TRUE(HostFolder::writeFile(hostIni, original));
    ASSERT_EQ(chmod(hostIni.c_str(), 0444), 0);
    SetLastError(0);
    EXPECT_FALSE(put("CONFIG", "SoundDev", "1"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(HostFolder::listing(folder.path()), "Hollyphone.ini");
    EXPECT_EQ(get("CONFIG", "SoundDev"), "0");
}

TEST_F(Kernel32ProfileWriter, AFolderThatRefusesNewFilesLeavesTheOldFileExactlyAsItWas)
{
    const std::string original = "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n";
    ASSERT_TRUE(HostFolder::writeFile(hostIni, original));
    ASSERT_EQ(chmod(hostIni.c_str(), 0666), 0);
    ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
    // Root writes into any folder: take an ordinary user's rights meanwhile.
    const uid_t nobody = 65534;
    bool dropped = geteuid() == 0;
    if (dropped && seteuid(nobody) != 0)
        GTEST_SKIP() << "cannot act as an unprivileged user";
    SetLastError(0);
    BOOL written = put("CONFIG", "GraphicEffect", "0");
    DWORD error = GetLastError();
    if (dropped && seteuid(0) != 0)
        FAIL() << "could not regain privileges";
    EXPECT_FALSE(written);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(HostFolder::listing(folder.path()), "Hollyphone.ini");
}

TEST_F(Kernel32ProfileWriter, AFullDiskLeavesTheOldFileExactlyAsItWas)
{
    std::string original = "[INFO]\r\nMessage1=keep me\r\n";
    ASSERT_TRUE(HostFolder::writeFile(hostIni, original));
    std::string longValue(4096, 'v');

    // A file-size limit makes every write past 64 bytes fail as a full
    // disk does, for this process only.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    SetLastError(0);
    BOOL written = put("INFO", "Long", longValue.c_str());
    DWORD error = GetLastError();
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(HostFolder::listing(folder.path()), "Hollyphone.ini");
    // With room again the same write succeeds.
    EXPECT_TRUE(put("INFO", "Long", longValue.c_str()));
    EXPECT_EQ(get("INFO", "Message1"), "keep me");
}

TEST_F(Kernel32ProfileWriter, AMissingFolderIsReportedAndNothingIsCreated)
{
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", folder.windowsPath("no\\x.ini").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(HostFolder::listing(folder.path()), "");
    // A folder in the way of the file is refused as well.
    ASSERT_EQ(mkdir(hostIni.c_str(), 0755), 0);
    EXPECT_FALSE(put("A", "k", "v"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(get("A", "k"), "-");
}

}  // namespace
