// Loading and saving the playlist file, byte for byte, and replacing it
// only with a complete file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "catalog/playlist.h"
#include "tests/support/fresh_object.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr char playQueueName[] = "再生リスト";
const std::string mp3Bytes = "ID3\x03" + std::string(60, '\0');
const std::string midiBytes = "MThd" + std::string(60, '\0');

class Playlist : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::test::rebuild(mediaCatalog);
        registerMediaTypes(&mediaCatalog);
        mediaCatalog.setListName(0, playQueueName);
    }

    // FullPath values of the queue, in order.
    static std::vector<std::string> queuedPaths()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < mediaCatalog.listCount(0); ++i) {
            MediaEntry *entry = mediaCatalog.findEntry(mediaCatalog.listItem(0, i));
            paths.push_back(entry ? entry->values[0] : "<no entry>");
        }
        return paths;
    }

    static void queueFile(const std::string &path)
    {
        uint32_t before = mediaCatalog.entryCount;
        ASSERT_EQ(mediaCatalog.addFile(path.c_str()), 1);
        ASSERT_GT(mediaCatalog.entryCount, before) << path;
        mediaCatalog.insertIntoList(0, appendPosition,
                                    mediaCatalog.entries[mediaCatalog.entryCount - 1].id,
                                    insertBefore);
    }

    static void queueCdTrack(int track)
    {
        ValueText values[5] = {"D:\\", "音楽CD [D:\\]", "トラック", "", "コメントなし"};
        snprintf(values[3], valueCapacity, "%d", track);
        ASSERT_EQ(mediaCatalog.addEntry(mediaCatalog.findTypeId("CDA"), values, 5), 1);
        mediaCatalog.insertIntoList(0, appendPosition,
                                    mediaCatalog.entries[mediaCatalog.entryCount - 1].id,
                                    insertBefore);
    }

    std::string playlistPath() const { return folder_.pathOf("default.m3u"); }

    int load(const std::string &bytes)
    {
        folder_.write("default.m3u", bytes);
        return loadPlaylist(playlistPath().c_str());
    }

    hp::test::ScratchFolder folder_;
};

TEST_F(Playlist, LoadingKeepsOnlyWhatTheCatalogueRecognises)
{
    std::string first = folder_.write("[A] one.mp3", mp3Bytes);
    std::string second = folder_.write("two.mp3", mp3Bytes);
    std::string text = folder_.write("notes.txt", "plain text");
    std::string missing = folder_.pathOf("missing.mp3");
    EXPECT_EQ(load(missing + "\r\n" + first + "\r\n\r\n" + missing + "\r\n" + text + "\r\n"
                   + second),  // the last line has no line end
              1);
    EXPECT_EQ(queuedPaths(), (std::vector<std::string>{first, second}));
    EXPECT_STREQ(mediaCatalog.entries[0].values[1], "A\n");
}

TEST_F(Playlist, LineEndsAreCrLfOrLoneLf)
{
    std::string a = folder_.write("a.mid", midiBytes);
    std::string b = folder_.write("b.mp3", mp3Bytes);
    std::string c = folder_.write("c.mp3", mp3Bytes);
    EXPECT_EQ(load(a + "\n" + b + "\r\n" + c + "\n"), 1);
    EXPECT_EQ(queuedPaths(), (std::vector<std::string>{a, b, c}));
}

// A CR that does not start a CR LF pair belongs to the path; CR CR LF ends
// a line like CR LF.
TEST_F(Playlist, LoneCarriageReturnDoesNotEndALine)
{
    std::string plain = folder_.write("a.mp3", mp3Bytes);
    EXPECT_EQ(load(plain + "\rjunk\r\n" + plain + "\r\r\n"), 1);
    EXPECT_EQ(queuedPaths(), (std::vector<std::string>{plain}));
}

TEST_F(Playlist, LongLinesAreReadInPiecesOf259Bytes)
{
    hp::test::CurrentDirectory inFolder(folder_.path());
    // Relative paths: the first 259 bytes name one file, the last 41 another.
    std::string head = "sub/" + std::string(251, 'h') + ".mp3";
    std::string tail = std::string(37, 't') + ".mid";
    ASSERT_EQ(head.size(), 259u);
    ASSERT_EQ(tail.size(), 41u);
    folder_.makeFolder("sub");
    folder_.write(head, mp3Bytes);
    folder_.write(tail, midiBytes);
    EXPECT_EQ(load(head + tail + "\r\n"), 1);
    EXPECT_EQ(queuedPaths(), (std::vector<std::string>{head, tail}));

    // A CR LF right at the limit: after 258 bytes it still ends the line;
    // after 259 it is read as an empty line of its own.
    std::string shorter = "sub/" + std::string(250, 's') + ".mp3";
    folder_.write(shorter, mp3Bytes);
    SetUp();
    EXPECT_EQ(load(shorter + "\r\n" + head + "\r\n" + tail), 1);
    EXPECT_EQ(queuedPaths(), (std::vector<std::string>{shorter, head, tail}));
}

TEST_F(Playlist, OnlyTheNewestEntryOfADoubleJoinsTheQueue)
{
    std::string both = folder_.write("both.mid", "MThd" + std::string(124, '\0') + "TAG"
                                                     + std::string(125, '\0'));
    EXPECT_EQ(load(both + "\r\n"), 1);
    ASSERT_EQ(mediaCatalog.entryCount, 2u);
    ASSERT_EQ(mediaCatalog.listCount(0), 1);
    EXPECT_EQ(mediaCatalog.listItem(0, 0), mediaCatalog.entries[1].id);
    EXPECT_EQ(mediaCatalog.entries[1].typeId, mediaCatalog.findTypeId("MIDI"));
}

TEST_F(Playlist, MissingPlaylistLoadsNothing)
{
    EXPECT_EQ(loadPlaylist(playlistPath().c_str()), 0);
    EXPECT_EQ(mediaCatalog.listCount(0), 0);
    EXPECT_EQ(loadPlaylist(nullptr), 0);
}

TEST_F(Playlist, SavingWritesFilePathsWithCrLfAndSkipsCdTracks)
{
    std::string a = folder_.write("a.mp3", mp3Bytes);
    std::string b = folder_.write("b.mid", midiBytes);
    queueFile(a);
    queueCdTrack(3);
    queueFile(b);
    mediaCatalog.insertIntoList(0, appendPosition, mediaCatalog.entries[0].id, insertBefore);
    EXPECT_EQ(savePlaylist(playlistPath().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u"), a + "\r\n" + b + "\r\n" + a + "\r\n");
}

TEST_F(Playlist, QueuesWithoutFilesSaveAnEmptyFile)
{
    folder_.write("default.m3u", "old contents\r\n");
    EXPECT_EQ(savePlaylist(playlistPath().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u"), "");

    queueCdTrack(1);
    queueCdTrack(2);
    EXPECT_EQ(savePlaylist(playlistPath().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u"), "");

    // The queue is found by its name: without it nothing is written.
    queueFile(folder_.write("a.mp3", mp3Bytes));
    mediaCatalog.setListName(0, "other");
    EXPECT_EQ(savePlaylist(playlistPath().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u"), "");
}

TEST_F(Playlist, SavedQueueLoadsBackFileForFile)
{
    std::vector<std::string> files = {folder_.write("[X] 1.mp3", mp3Bytes),
                                      folder_.write("2.mid", midiBytes),
                                      folder_.write("3.mp3", mp3Bytes)};
    for (const std::string &file : {files[0], files[1], files[2], files[1]}) {
        queueFile(file);
    }
    std::vector<std::string> before = queuedPaths();
    ASSERT_EQ(savePlaylist(playlistPath().c_str()), 1);

    SetUp();
    ASSERT_EQ(loadPlaylist(playlistPath().c_str()), 1);
    EXPECT_EQ(queuedPaths(), before);
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"2.mid", "3.mp3", "[X] 1.mp3",
                                                        "default.m3u"}));
}

TEST_F(Playlist, IdsThatNameNoEntryAreSkipped)
{
    queueFile(folder_.write("a.mp3", mp3Bytes));
    mediaCatalog.insertIntoList(0, appendPosition, 0x00ABCDEFu, insertBefore);
    EXPECT_EQ(savePlaylist(playlistPath().c_str()), 1);
    EXPECT_EQ(folder_.read("default.m3u"), folder_.pathOf("a.mp3") + "\r\n");
}

// Files that look like temporary ones are someone else's: they are
// neither overwritten nor removed, and however many there are, the save
// goes through. The path is the program's own, relative to the working
// directory.
TEST_F(Playlist, SavingLeavesOtherFilesAlone)
{
    hp::test::CurrentDirectory inFolder(folder_.path());
    queueFile(folder_.write("a.mp3", mp3Bytes));
    std::vector<std::string> before = {"a.mp3"};
    for (int i = 0; i < 200; ++i) {
        before.push_back("default.m3u.~" + std::to_string(i));
        folder_.write(before.back(), "user data");
    }
    EXPECT_EQ(savePlaylist("./default.m3u"), 1);
    EXPECT_EQ(folder_.read("default.m3u"), folder_.pathOf("a.mp3") + "\r\n");
    EXPECT_EQ(folder_.read("default.m3u.~0"), "user data");
    before.push_back("default.m3u");
    std::sort(before.begin(), before.end());
    EXPECT_EQ(folder_.names(), before);
}

// What the queue cannot hold (comments, missing files, lines in another
// encoding, overlong lines) is kept: the file as loaded goes to
// "default.m3u.bak" before the queue replaces it.
TEST_F(Playlist, LinesTheQueueLacksAreKeptInACopyFirst)
{
    hp::test::CurrentDirectory inFolder(folder_.path());
    std::string song = folder_.write("song.mp3", mp3Bytes);
    std::string tune = folder_.write("tune.mid", midiBytes);
    const std::string original = "#EXTM3U\n#EXTINF:12,Song\n" + song + "\n" +
                                 folder_.pathOf("gone.mp3") + "\r\n\r\n" + tune + "\n" +
                                 std::string(300, 'x');
    folder_.write("default.m3u", original);
    ASSERT_EQ(loadPlaylist("./default.m3u"), 1);
    ASSERT_EQ(savePlaylist("./default.m3u"), 1);
    EXPECT_EQ(folder_.read("default.m3u.bak"), original);
    EXPECT_EQ(folder_.read("default.m3u"), song + "\r\n" + tune + "\r\n");

    // A queue that holds every line of its file leaves the copy alone, even
    // with lines added and blank lines gone.
    SetUp();
    folder_.write("default.m3u", song + "\r\n\r\n" + tune + "\r\n");
    ASSERT_EQ(loadPlaylist("./default.m3u"), 1);
    queueFile(song);
    ASSERT_EQ(savePlaylist("./default.m3u"), 1);
    EXPECT_EQ(folder_.read("default.m3u"), song + "\r\n" + tune + "\r\n" + song + "\r\n");
    EXPECT_EQ(folder_.read("default.m3u.bak"), original);
}

// When the copy cannot be kept, or the file could not be read at all, the
// save does not destroy lines it never held.
TEST_F(Playlist, LinesThatCannotBeKeptAreNotReplaced)
{
    hp::test::CurrentDirectory inFolder(folder_.path());
    std::string song = folder_.write("song.mp3", mp3Bytes);
    const std::string original = "# a comment\r\n" + song + "\r\n";
    folder_.write("default.m3u", original);
    folder_.makeFolder("default.m3u.bak");
    ASSERT_EQ(loadPlaylist("./default.m3u"), 1);
    EXPECT_EQ(savePlaylist("./default.m3u"), 0);
    EXPECT_EQ(folder_.read("default.m3u"), original);
    EXPECT_EQ(folder_.names(),
              (std::vector<std::string>{"default.m3u", "default.m3u.bak", "song.mp3"}));

    // Refused at loading (a folder stands in the playlist's place here).
    SetUp();
    hp::test::ScratchFolder other;
    hp::test::CurrentDirectory inOther(other.path());
    other.makeFolder("default.m3u");
    other.write("default.m3u/inside", "kept");
    EXPECT_EQ(loadPlaylist("./default.m3u"), 0);
    queueFile(song);
    EXPECT_EQ(savePlaylist("./default.m3u"), 0);
    EXPECT_EQ(other.read("default.m3u/inside"), "kept");
}

// The file size limit makes every write beyond 64 bytes fail, as a full
// disk would: the old playlist must survive whole.
TEST_F(Playlist, FailedWriteKeepsTheOldPlaylist)
{
    for (int i = 0; i < 20; ++i) {
        queueFile(folder_.write("file" + std::to_string(i) + ".mp3", mp3Bytes));
    }
    const std::string old = "old line 1\r\nold line 2\r\n";
    folder_.write("default.m3u", old);

    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previousAction = {};
    sigaction(SIGXFSZ, &ignore, &previousAction);
    struct rlimit previousLimit = {};
    getrlimit(RLIMIT_FSIZE, &previousLimit);
    struct rlimit small = previousLimit;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = savePlaylist(playlistPath().c_str());
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    sigaction(SIGXFSZ, &previousAction, nullptr);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(folder_.read("default.m3u"), old);
    std::vector<std::string> names = folder_.names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "default.m3u"), 1);
    EXPECT_EQ(names.size(), 21u) << "a temporary file was left behind";
}

TEST_F(Playlist, UnwritableTargetsKeepWhatIsThere)
{
    queueFile(folder_.write("a.mp3", mp3Bytes));
    // The target is a folder: the new file cannot take its place.
    folder_.makeFolder("default.m3u");
    folder_.write("default.m3u/inside", "kept");
    EXPECT_EQ(savePlaylist(playlistPath().c_str()), 0);
    EXPECT_EQ(folder_.read("default.m3u/inside"), "kept");
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"a.mp3", "default.m3u"}));

    // A folder that does not exist.
    std::string nowhere = folder_.pathOf("missing/default.m3u");
    EXPECT_EQ(savePlaylist(nowhere.c_str()), 0);
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"a.mp3", "default.m3u"}));
    EXPECT_EQ(savePlaylist(""), 0);
}

}  // namespace
