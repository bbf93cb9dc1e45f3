// The playlist file on the real platform's files: the bytes written, file
// names in code page 932, and a playlist that another program holds or
// that may not be written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "catalog/playlist.h"
#include "platform/win32.h"
#include "tests/support/fresh_object.h"
#include "tests/support/scratch_folder.h"
#include "tests/windows/support/platform_check.h"

namespace {

const std::string mp3Bytes = "ID3\x03" + std::string(60, '\0');
const std::string midiBytes = "MThd" + std::string(60, '\0');


class PlaylistFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetACP(), hp::wintest::japaneseCodePage) << hp::wintest::japaneseLocaleHint;
        freshCatalog();
    }

    static void freshCatalog()
    {
        hp::test::rebuild(mediaCatalog);
        registerMediaTypes(&mediaCatalog);
        mediaCatalog.setListName(0, "再生リスト");
    }

    static void queue(const std::string &path)
    {
        uint32_t before = mediaCatalog.entryCount;
        ASSERT_EQ(mediaCatalog.addFile(path.c_str()), 1) << path;
        ASSERT_GT(mediaCatalog.entryCount, before) << path;
        mediaCatalog.insertIntoList(0, appendPosition,
                                    mediaCatalog.entries[mediaCatalog.entryCount - 1].id,
                                    insertBefore);
    }

    // The queue's entries as path, artist and title.
    static std::vector<std::string> queued()
    {
        std::vector<std::string> result;
        for (int i = 0; i < mediaCatalog.listCount(0); ++i) {
            MediaEntry *entry = mediaCatalog.findEntry(mediaCatalog.listItem(0, i));
            result.push_back(entry ? std::string(entry->values[0]) + "|" + entry->values[1] +
                                         "|" + entry->values[2]
                                   : "<no entry>");
        }
        return result;
    }

    std::string playlist() const { return folder_.pathOf("default.m3u"); }

    hp::test::ScratchFolder folder_;
};

// Code page 932 names reach the file system and come back byte for byte,
// also those whose trail byte is the code of "\" (ソ, 表).
TEST_F(PlaylistFile, ShiftJisNamesRoundTripThroughTheFileWithCrLfLineEnds)
{
    const std::vector<std::string> files = {
        folder_.write("[ソ表] 予定表.mp3", mp3Bytes),
        folder_.write("[Artist] Title.mid", midiBytes),
        folder_.makeFolder("フォルダ") + "/曲.mp3",
    };
    folder_.write("フォルダ/曲.mp3", mp3Bytes);
    for (const std::string &file : files)
        queue(file);
    std::vector<std::string> before = queued();
    ASSERT_EQ(savePlaylist(playlist().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u"), files[0] + "\r\n" + files[1] + "\r\n" + files[2] + "\r\n");

    freshCatalog();
    ASSERT_EQ(loadPlaylist(playlist().c_str()), 1);
    EXPECT_EQ(queued(), before);
    EXPECT_EQ(before[0], files[0] + "|ソ表\n|予定表");
}

// The old playlist survives whole when the new one cannot take its place,
// and the temporary file does not stay behind.
TEST_F(PlaylistFile, PlaylistThatCannotBeReplacedKeepsItsBytes)
{
    queue(folder_.write("a.mp3", mp3Bytes));
    const std::string old = "old line\r\n";

    {
        SCOPED_TRACE("held open, without sharing, by another program");
        folder_.write("default.m3u", old);
        HANDLE held = CreateFileA(playlist().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(savePlaylist(playlist().c_str()), 0);
        CloseHandle(held);
        EXPECT_EQ(folder_.read("default.m3u"), old);
        EXPECT_EQ(folder_.names(), (std::vector<std::string>{"a.mp3", "default.m3u"}));
    }
    {
        // ReplaceFileA refuses to replace a read-only file (ERROR_ACCESS_DENIED).
        SCOPED_TRACE("read-only");
        folder_.write("default.m3u", old);
        ASSERT_TRUE(SetFileAttributesA(playlist().c_str(), FILE_ATTRIBUTE_READONLY));
        EXPECT_EQ(savePlaylist(playlist().c_str()), 0);
        EXPECT_EQ(folder_.read("default.m3u"), old);
        EXPECT_EQ(folder_.names(), (std::vector<std::string>{"a.mp3", "default.m3u"}));
        SetFileAttributesA(playlist().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    // Once free, the same call goes through.
    EXPECT_EQ(savePlaylist(playlist().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u"), folder_.pathOf("a.mp3") + "\r\n");
}

// A playlist from another player keeps what the queue cannot hold in a
// copy beside it.
TEST_F(PlaylistFile, LinesTheQueueLacksAreKeptInACopyFirst)
{
    std::string song = folder_.write("曲.mp3", mp3Bytes);
    const std::string original =
        "#EXTM3U\r\n#EXTINF:3,曲\r\n" + song + "\r\n" + folder_.pathOf("gone.mp3") + "\r\n";
    folder_.write("default.m3u", original);
    ASSERT_EQ(loadPlaylist(playlist().c_str()), 1);
    ASSERT_EQ(savePlaylist(playlist().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u.bak"), original);
    EXPECT_EQ(folder_.read("default.m3u"), song + "\r\n");
    EXPECT_EQ(folder_.names(),
              (std::vector<std::string>{"default.m3u", "default.m3u.bak", "曲.mp3"}));
}

// Another program may keep the playlist open for reading, as an editor
// does: loading shares it.
TEST_F(PlaylistFile, PlaylistOpenElsewhereForReadingStillLoads)
{
    std::string song = folder_.write("song.mp3", mp3Bytes);
    folder_.write("default.m3u", song + "\r\n");
    HANDLE held = CreateFileA(playlist().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(loadPlaylist(playlist().c_str()), 1);
    CloseHandle(held);
    EXPECT_EQ(mediaCatalog.listCount(0), 1);
}

}  // namespace
