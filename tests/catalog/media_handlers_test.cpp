// The MP3, MIDI and CD handlers: artist and title from file names,
// recognition of real small files, CD enumeration from the scripted drives
// and playback through the recording MCI driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "platform/testing/twins.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr char noArtist[] = "アーティスト情報なし";
constexpr char noTitle[] = "タイトル情報なし";

struct ArtistTitle {
    std::string artist;
    std::string title;
};

ArtistTitle parse(const std::string &path)
{
    char artist[valueCapacity];
    char title[valueCapacity];
    parseArtistTitle(path.c_str(), artist, title);
    return {artist, title};
}

// "ゼ" is 0x83 0x5B and "ゾ" 0x83 0x5D: their trail bytes are the codes of
// "[" and "]". "ソ" is 0x83 0x5C.
TEST(ArtistTitle, FromTheFileName)
{
    struct Case {
        const char *path;
        const char *artist;
        const char *title;
    };
    const Case cases[] = {
        {"C:\\Music\\[Artist] Title.mp3", "Artist\n", "Title"},
        {"C:\\Music\\Title.mp3", noArtist, noTitle},
        {"C:\\Music\\[Artist]Title.mp3", "Artist\n", noTitle},
        {"C:\\Music\\[Artist Title.mp3", "Artist Title.mp3", noTitle},
        {"C:\\Music\\[Artist] Title", "Artist\n", "Title"},
        {"C:\\My.Music\\[Artist] Title", "Artist\n", ""},
        {"C:\\[Folder]\\Song.mp3", "Folder\n", noTitle},
        {"C:\\Music\\ゼロ.mp3", noArtist, noTitle},
        {"C:\\Music\\[ゾ] T.mp3", "ゾ\n", "T"},
        {"C:\\Music\\[] T.mp3", "\n", "T"},
        // further cases
        {"C:\\[Folder]\\[Artist] Title.mp3", "Artist\n", "Title"},
        {"C:\\Music\\[Artist] Title.tar.gz", "Artist\n", "Title.tar"},
        {"C:\\Music\\[[Artist] Title.mp3", "Artist\n", "Title"},
        {"C:\\Music\\[Artist]] Title.mp3", "Artist\n", noTitle},
        {"C:\\Music\\[A] .mp3", "A\n", ""},
        {"C:\\Music\\[A] ", "A\n", noTitle},  // fewer than three bytes from "]"
        {"[A] B", "A\n", "B"},
        {"C:\\Music\\[ソ[x] 曲名.mid", "x\n", "曲名"},
        {"C:\\Music\\[藤原] 冬の歌.mid", "藤原\n", "冬の歌"},
        {"C:\\Music\\ゼ[Band] ゾンビ.mp3", "Band\n", "ゾンビ"},
        {"", noArtist, noTitle},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        ArtistTitle parsed = parse(c.path);
        EXPECT_EQ(parsed.artist, c.artist);
        EXPECT_EQ(parsed.title, c.title);
    }
}

TEST(ArtistTitle, LongNamesStayWithinTheValues)
{
    std::string longArtist = "[" + std::string(400, 'a') + "] " + std::string(400, 't') + ".mp3";
    ArtistTitle parsed = parse(longArtist);
    EXPECT_EQ(parsed.artist, std::string(259, 'a'));
    EXPECT_EQ(parsed.title, std::string(259, 't'));
}

class Handlers : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::test::rebuild(mediaCatalog);
        mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0);
        hp::test::rebuild(soundDevice);
        hp::testing::recordingMci().reset();
        hp::testing::scriptedDrives().reset();
        registerMediaTypes(&mediaCatalog);
    }

    // Type names of the entries added by offering the file to the catalogue.
    std::vector<std::string> typesAddedFor(const std::string &name, const std::string &bytes)
    {
        std::string path = folder_.write(name, bytes);
        uint32_t before = mediaCatalog.entryCount;
        EXPECT_EQ(mediaCatalog.addFile(path.c_str()), 1);
        std::vector<std::string> types;
        for (uint32_t i = before; i < mediaCatalog.entryCount; ++i) {
            types.push_back(mediaCatalog.findType(mediaCatalog.entries[i].typeId, nullptr)->name);
        }
        return types;
    }

    static std::string withTagAt(size_t size, size_t offset)
    {
        std::string bytes(size, '\x01');
        bytes.replace(offset, 3, "TAG");
        return bytes;
    }

    hp::test::ScratchFolder folder_;
};

TEST_F(Handlers, RecognitionByContent)
{
    struct Case {
        const char *label;
        std::string bytes;
        std::vector<std::string> types;
    };
    const std::string frame("\xFF\xFB\x92", 3);
    const std::vector<Case> cases = {
        {"id3", "ID3\x04" + std::string(200, '\0'), {"MP3"}},
        {"id3 only", "ID3", {"MP3"}},
        {"frame", frame + std::string(997, '\x55'), {"MP3"}},
        {"other frame", std::string("\xFF\xFB\x90", 3) + std::string(997, '\x55'), {}},
        {"tag at -128", withTagAt(500, 372), {"MP3"}},
        {"tag at -128 of 128 bytes", withTagAt(128, 0), {"MP3"}},
        {"tag at -127", withTagAt(500, 373), {}},
        {"short file, tag at 3", withTagAt(100, 3), {"MP3"}},
        {"short file, tag at 4", withTagAt(100, 4), {}},
        {"two bytes", "ID", {}},
        {"empty", "", {}},
        {"text", "just some text\r\n", {}},
        {"midi", "MThd\0\0\0\x06" + std::string(20, '\0'), {"MIDI"}},
        {"midi header only", "MThd", {"MIDI"}},
        {"three bytes of a midi mark", "MTh", {}},
        {"midi with a tag", "MThd" + withTagAt(300, 172).substr(4), {"MP3", "MIDI"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(typesAddedFor("file.bin", c.bytes), c.types);
    }
}

TEST_F(Handlers, FileEntriesCarryPathArtistTitleAndComment)
{
    folder_.makeFolder("Midi");
    std::string path = folder_.write("Midi/[Composer] Piece.mid", "MThd....");
    ASSERT_EQ(mediaCatalog.addFile(path.c_str()), 1);
    ASSERT_EQ(mediaCatalog.entryCount, 1u);
    const MediaEntry &entry = mediaCatalog.entries[0];
    EXPECT_EQ(entry.typeId, mediaCatalog.findTypeId("MIDI"));
    EXPECT_EQ(std::string(entry.values[0]), path);
    EXPECT_STREQ(entry.values[1], "Composer\n");
    EXPECT_STREQ(entry.values[2], "Piece");
    EXPECT_STREQ(entry.values[3], "コメントなし");
}

TEST_F(Handlers, ProbesRefuseWhatTheyCannotOpen)
{
    std::string missing = folder_.pathOf("missing.mp3");
    EXPECT_EQ(probeMp3(&mediaCatalog, missing.c_str()), 0);
    EXPECT_EQ(probeMidi(&mediaCatalog, missing.c_str()), 0);
    EXPECT_EQ(probeMp3(&mediaCatalog, folder_.path().c_str()), 0);  // a folder
    EXPECT_EQ(mediaCatalog.entryCount, 0u);
}

TEST_F(Handlers, AudioCdTracksAreCataloguedDriveByDrive)
{
    hp::testing::ScriptedDrives &drives = hp::testing::scriptedDrives();
    drives.insertAudioDisc(drives.addDrive("/dev/sr0"), std::vector<int>(12, 200));
    drives.insertAudioDisc(drives.addDrive("/dev/sr1"), std::vector<int>(8, 200));
    addCdTracks();
    ASSERT_EQ(mediaCatalog.entryCount, 20u);
    for (uint32_t i = 0; i < 20; ++i) {
        const MediaEntry &entry = mediaCatalog.entries[i];
        bool onD = i < 12;
        int track = onD ? static_cast<int>(i) + 1 : static_cast<int>(i) - 11;
        SCOPED_TRACE(i);
        EXPECT_EQ(entry.typeId, 2);
        EXPECT_EQ(entry.id, (2u << 24) | i);
        EXPECT_STREQ(entry.values[0], onD ? "D:\\" : "E:\\");
        EXPECT_STREQ(entry.values[1], onD ? "音楽CD [D:\\]" : "音楽CD [E:\\]");
        EXPECT_EQ(std::string(entry.values[2]), "トラック" + std::to_string(track));
        EXPECT_EQ(std::string(entry.values[3]), std::to_string(track));
        EXPECT_STREQ(entry.values[4], "コメントなし");
    }
}

TEST_F(Handlers, NoAudioCdAddsNothing)
{
    hp::testing::scriptedDrives().addDrive("/dev/sr0");
    addCdTracks();
    EXPECT_EQ(mediaCatalog.entryCount, 0u);
}

TEST_F(Handlers, FileEntriesPlayTheirPath)
{
    std::string path = folder_.write("[A] B.mp3", "ID3");
    mediaCatalog.addFile(path.c_str());
    hp::testing::RecordingMci &mci = hp::testing::recordingMci();
    mci.reset();
    EXPECT_EQ(mediaCatalog.playAsCurrent(mediaCatalog.entries[0].id), 1);
    EXPECT_EQ(playFileEntry(&mediaCatalog, mediaCatalog.entries[0].id), 1);
    ASSERT_GE(mci.calls().size(), 3u);
    const hp::testing::MciCall &open = mci.calls()[mci.calls().size() - 3];
    EXPECT_EQ(open.command, static_cast<UINT>(MCI_OPEN));
    EXPECT_EQ(open.openElement, path);
    EXPECT_EQ(mci.calls().back().command, static_cast<UINT>(MCI_PLAY));

    mci.setOpenResult("", MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(playFileEntry(&mediaCatalog, mediaCatalog.entries[0].id), 0);
    EXPECT_EQ(playFileEntry(&mediaCatalog, 4242), 0);
}

// The track value is read as a decimal number; a track below 1 plays track
// 1. The drive path is not used: tracks play on the default CD device.
TEST_F(Handlers, CdEntriesPlayTheirTrackOnTheDefaultDevice)
{
    struct Case {
        const char *track;
        DWORD playedTrack;
    };
    const Case cases[] = {{"7", 7}, {" 12", 12}, {"0", 1}, {"abc", 1}, {"-3", 1}, {"5x", 5}};
    hp::testing::RecordingMci &mci = hp::testing::recordingMci();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.track);
        ValueText values[5] = {"E:\\", "音楽CD [E:\\]", "トラック", "", "コメントなし"};
        snprintf(values[3], valueCapacity, "%s", c.track);
        ASSERT_EQ(mediaCatalog.addEntry(2, values, 5), 1);
        uint32_t id = mediaCatalog.entries[mediaCatalog.entryCount - 1].id;
        mci.reset();
        EXPECT_EQ(mediaCatalog.playEntry(id), 1);
        EXPECT_EQ(playCdTrackEntry(&mediaCatalog, id), 1);
        ASSERT_GE(mci.calls().size(), 3u);
        const hp::testing::MciCall &open = mci.calls()[mci.calls().size() - 3];
        EXPECT_EQ(open.openType, "cdaudio");
        EXPECT_EQ(open.flags, static_cast<DWORD>(MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE));
        EXPECT_EQ(open.openElement, "");
        EXPECT_EQ(mci.calls().back().from, c.playedTrack);
    }
    mci.setOpenResult("cdaudio", MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(playCdTrackEntry(&mediaCatalog, mediaCatalog.entries[0].id), 0);
}

}  // namespace
