// An installed program keeps its files in the user's data folder, which it
// takes as its working folder and its executable's folder; the installed
// skin is linked into it. A program anywhere else keeps its folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "host_folder.h"
#include "platform/kernel32/installed_layout.h"
#include "platform/testing/twins.h"
#include "platform/win32.h"

namespace {

using hp::kernel32::enterInstalledLayout;

class InstalledLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(startFolder_, sizeof startFolder_), nullptr);
        prefix_ = folder_.child("usr");
        executable_ = prefix_ + "/bin/hollyphone";
        skin_ = prefix_ + "/share/hollyphone/image";
        for (const std::string &made : {prefix_, prefix_ + "/bin", prefix_ + "/share",
                                        prefix_ + "/share/hollyphone", skin_})
            ASSERT_EQ(mkdir(made.c_str(), 0755), 0) << made;
        ASSERT_TRUE(HostFolder::writeFile(executable_, ""));
        setenv("XDG_DATA_HOME", folder_.child("data").c_str(), 1);
    }

    void TearDown() override
    {
        EXPECT_EQ(chdir(startFolder_), 0);
        hp::testing::setModulePath("");
        unsetenv("XDG_DATA_HOME");
    }

    static std::string workingFolder()
    {
        char folder[PATH_MAX];
        return getcwd(folder, sizeof folder) ? folder : "";
    }

    static std::string linkTarget(const std::string &link)
    {
        char target[PATH_MAX];
        const ssize_t length = readlink(link.c_str(), target, sizeof target);
        return length < 0 ? "<no link>" : std::string(target, static_cast<size_t>(length));
    }

    HostFolder folder_;
    char startFolder_[PATH_MAX] = {};
    std::string prefix_, executable_, skin_;
};

TEST_F(InstalledLayout, TheProgramSeesItselfAndItsSkinInTheUsersDataFolder)
{
    const std::string data = folder_.child("data/hollyphone");
    std::string problem;
    ASSERT_TRUE(enterInstalledLayout(executable_, problem)) << problem;

    EXPECT_EQ(workingFolder(), data);
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    EXPECT_EQ(std::string(module), folder_.windowsPath("data\\hollyphone\\hollyphone"));
    EXPECT_EQ(linkTarget(data + "/image"), skin_);
    // The folders made for the user are the user's alone.
    for (const std::string &made : {folder_.child("data"), data}) {
        struct stat status {};
        ASSERT_EQ(stat(made.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << made;
    }
    EXPECT_EQ(HostFolder::listing(data), "image");
}

TEST_F(InstalledLayout, TheLinkFollowsTheInstallationButTheUsersOwnSkinStays)
{
    const std::string data = folder_.child("data/hollyphone");
    ASSERT_EQ(mkdir(folder_.child("data").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(data.c_str(), 0700), 0);
    ASSERT_EQ(symlink("/removed/share/hollyphone/image", (data + "/image").c_str()), 0);
    std::string problem;
    ASSERT_TRUE(enterInstalledLayout(executable_, problem)) << problem;
    EXPECT_EQ(linkTarget(data + "/image"), skin_);
    EXPECT_EQ(HostFolder::listing(data), "image") << "no link is left behind";

    ASSERT_EQ(unlink((data + "/image").c_str()), 0);
    ASSERT_EQ(mkdir((data + "/image").c_str(), 0700), 0);
    ASSERT_TRUE(HostFolder::writeFile(data + "/image/swbase1.bmp", "mine"));
    ASSERT_TRUE(enterInstalledLayout(executable_, problem)) << problem;
    std::string kept;
    EXPECT_TRUE(HostFolder::readFile(data + "/image/swbase1.bmp", kept));
    EXPECT_EQ(kept, "mine");
}

TEST_F(InstalledLayout, OtherProgramsKeepTheirFoldersAndAFolderThatCannotBeMadeStopsTheStart)
{
    // From the build tree, or a "bin" without the skin beside it.
    const std::string before = workingFolder();
    std::string problem;
    ASSERT_TRUE(HostFolder::writeFile(folder_.child("hollyphone"), ""));
    EXPECT_TRUE(enterInstalledLayout(folder_.child("hollyphone"), problem));
    ASSERT_EQ(rename(skin_.c_str(), (skin_ + ".away").c_str()), 0);
    EXPECT_TRUE(enterInstalledLayout(executable_, problem));
    EXPECT_EQ(workingFolder(), before);
    EXPECT_EQ(HostFolder::listing(folder_.path()), "hollyphone usr");
    ASSERT_EQ(rename((skin_ + ".away").c_str(), skin_.c_str()), 0);

    // A relative XDG_DATA_HOME is ignored; the home folder's default is a
    // file here, so nothing can be made under it.
    ASSERT_TRUE(HostFolder::writeFile(folder_.child("home"), "a file"));
    setenv("XDG_DATA_HOME", "relative/data", 1);
    const char *home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", folder_.child("home").c_str(), 1);
    const bool entered = enterInstalledLayout(executable_, problem);
    setenv("HOME", savedHome.c_str(), 1);
    EXPECT_FALSE(entered);
    EXPECT_NE(problem.find(folder_.child("home/.local/share/hollyphone")), std::string::npos)
        << problem;
    EXPECT_EQ(workingFolder(), before);
}

}  // namespace
