// The list of files a second start hands over: made and read back whole,
// and refused whole when anything in it is off, as bytes from another
// process may be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/hand_over.h"

namespace {

struct Read {
    int result = 0;
    std::vector<std::string> paths;
};

Read read(const std::string &bytes, ULONG_PTR tag = handOverTag)
{
    COPYDATASTRUCT copy;
    copy.dwData = tag;
    copy.cbData = static_cast<DWORD>(bytes.size());
    copy.lpData = const_cast<char *>(bytes.data());
    Read read;
    read.result = readHandOver(
        &copy,
        [](const char *path, void *paths) {
            static_cast<std::vector<std::string> *>(paths)->push_back(path);
        },
        &read.paths);
    return read;
}

}  // namespace

TEST(HandOver, AListIsReadBackAsItWasMade)
{
    std::string list;
    EXPECT_EQ(addHandOverPath(list, "C:\\music\\[Band] Song.mp3"), 1);
    EXPECT_EQ(addHandOverPath(list, "C:\\曲\\表.mid"), 1);
    EXPECT_EQ(addHandOverPath(list, ""), 0);
    EXPECT_EQ(addHandOverPath(list, std::string(MAX_PATH, 'x').c_str()), 0);
    const Read both = read(finishHandOver(list));
    EXPECT_EQ(both.result, 2);
    EXPECT_EQ(both.paths, (std::vector<std::string>{"C:\\music\\[Band] Song.mp3", "C:\\曲\\表.mid"}));
    const Read none = read(finishHandOver(""));
    EXPECT_EQ(none.result, 0);
    EXPECT_TRUE(none.paths.empty());
}

TEST(HandOver, AnythingOffRefusesTheWholeList)
{
    const std::string good = std::string("C:\\a.mp3\0", 9);
    const std::string longest(MAX_PATH - 1, 'x');
    EXPECT_EQ(read(good + longest + std::string(2, '\0')).result, 2);
    struct Case {
        const char *what;
        std::string bytes;
        ULONG_PTR tag;
    };
    const Case cases[] = {
        {"another tag", good + '\0', handOverTag + 1},
        {"no bytes", "", handOverTag},
        {"no final zero", good, handOverTag},
        {"bytes after the end", good + '\0' + "C:\\b.mp3" + '\0' + '\0', handOverTag},
        {"a path too long", good + longest + "x" + std::string(2, '\0'), handOverTag},
        {"a control byte", good + "C:\\a\tb" + std::string(2, '\0'), handOverTag},
        {"a cut double-byte character", good + "C:\\\x95" + std::string(2, '\0'), handOverTag},
    };
    std::string tooMany;
    while (tooMany.size() < handOverMaximumBytes)
        tooMany += good;
    for (const Case &c : cases) {
        const Read refused = read(c.bytes, c.tag);
        EXPECT_EQ(refused.result, -1) << c.what;
        EXPECT_TRUE(refused.paths.empty()) << c.what;
    }
    EXPECT_EQ(read(tooMany + '\0').result, -1) << "more than a queue's worth";
    EXPECT_EQ(readHandOver(nullptr, [](const char *, void *) {}, nullptr), -1);
}
