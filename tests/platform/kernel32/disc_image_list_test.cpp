// The disc images a user lists: HOLLYPHONE_CD_IMAGES, or else the list file
// under the XDG configuration folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "host_folder.h"
#include "platform/kernel32/disc_image_list.h"

namespace {

using hp::kernel32::configuredDiscImages;
using hp::kernel32::discImagesOfListFile;
using hp::kernel32::discImagesOfVariable;
using Paths = std::vector<std::string>;

// Sets a variable for a scope (unset when value is null) and puts the old
// value back.
class Variable {
public:
    Variable(const char *name, const char *value) : name_(name)
    {
        if (const char *old = getenv(name))
            old_ = old, hadOld_ = true;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Variable() { hadOld_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char *name_;
    std::string old_;
    bool hadOld_ = false;
};

TEST(DiscImageList, EntriesBecomeAbsolutePathsInListOrder)
{
    EXPECT_EQ(discImagesOfVariable("/a/x.cue::rel/y.cue:~/z.cue", "/work", "/home/u"),
              (Paths{"/a/x.cue", "/work/rel/y.cue", "/home/u/z.cue"}));
    EXPECT_EQ(discImagesOfListFile("# my discs\r\n\r\n  /a/x.cue  \r\nsub/y.cue\n~/z.cue",
                                   "/cfg/hollyphone", "/home/u"),
              (Paths{"/a/x.cue", "/cfg/hollyphone/sub/y.cue", "/home/u/z.cue"}));
}

TEST(DiscImageList, TheVariableWinsOverTheListFile)
{
    HostFolder config;
    ASSERT_EQ(mkdir(config.child("hollyphone").c_str(), 0700), 0);
    ASSERT_TRUE(HostFolder::writeFile(config.child("hollyphone/discs"), "album.cue\n"));
    Variable configHome("XDG_CONFIG_HOME", config.path().c_str());
    {
        Variable images("HOLLYPHONE_CD_IMAGES", nullptr);
        EXPECT_EQ(configuredDiscImages(), (Paths{config.child("hollyphone/album.cue")}));
    }
    Variable images("HOLLYPHONE_CD_IMAGES", "");
    EXPECT_EQ(configuredDiscImages(), Paths{});
}

}  // namespace
