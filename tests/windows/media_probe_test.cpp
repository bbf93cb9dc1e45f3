// Recognising media files by their content through the real platform's
// file calls: the marks at the start, the mark 128 bytes before the end
// (and what the platform does when a file is shorter than that), files
// that cannot be read, and names in code page 932.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "platform/win32.h"
#include "tests/support/fresh_object.h"
#include "tests/support/scratch_folder.h"
#include "tests/windows/support/platform_check.h"

namespace {

std::string bytesOf(std::initializer_list<int> values)
{
    std::string result;
    for (int value : values)
        result.push_back(static_cast<char>(value));
    return result;
}

// `size` bytes of filler with `mark` at `offset`.
std::string withMark(size_t size, size_t offset, const std::string &mark)
{
    std::string bytes(size, 'x');
    bytes.replace(offset, mark.size(), mark);
    return bytes;
}

class MediaProbe : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetACP(), hp::wintest::japaneseCodePage) << hp::wintest::japaneseLocaleHint;
        hp::test::rebuild(mediaCatalog);
        registerMediaTypes(&mediaCatalog);
    }

    // The type names of the entries that adding the file made, in order.
    static std::vector<std::string> typesAddedFor(const std::string &path)
    {
        uint32_t before = mediaCatalog.entryCount;
        mediaCatalog.addFile(path.c_str());
        std::vector<std::string> types;
        for (uint32_t i = before; i < mediaCatalog.entryCount; ++i)
            types.push_back(mediaCatalog.types[mediaCatalog.entries[i].typeId].name);
        return types;
    }

    hp::test::ScratchFolder folder_;
};

using Types = std::vector<std::string>;

TEST_F(MediaProbe, MarksDecideTheType)
{
    struct Case {
        const char *name;
        std::string bytes;
        Types types;
    };
    const Case cases[] = {
        {"id3.mp3", "ID3" + std::string(300, '\0'), {"MP3"}},
        {"frame.mp3", bytesOf({0xFF, 0xFB, 0x92}) + std::string(300, 'x'), {"MP3"}},
        {"other-frame.mp3", bytesOf({0xFF, 0xFB, 0x90}) + std::string(300, 'x'), {}},
        {"tag.mp3", withMark(300, 300 - 128, "TAG"), {"MP3"}},
        {"tag-one-off.mp3", withMark(300, 300 - 127, "TAG"), {}},
        // Shorter than 128 bytes: the platform refuses the position before
        // the start and leaves the file where the first read ended.
        {"short-tag.mp3", withMark(100, 3, "TAG"), {"MP3"}},
        {"short-tag-elsewhere.mp3", withMark(100, 4, "TAG"), {}},
        {"two.mp3", "ID", {}},
        {"empty.mp3", "", {}},
        {"song.mid", "MThd" + std::string(60, '\0'), {"MIDI"}},
        {"short.mid", "MTh", {}},
        {"both.mid", withMark(300, 300 - 128, "TAG").replace(0, 4, "MThd"), {"MP3", "MIDI"}},
        {"wave.wav", "RIFF" + std::string(60, '\0'), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(typesAddedFor(folder_.write(c.name, c.bytes)), c.types);
    }
}

TEST_F(MediaProbe, WhatCannotBeReadAddsNothing)
{
    EXPECT_EQ(typesAddedFor(folder_.pathOf("missing.mp3")), Types{});
    EXPECT_EQ(typesAddedFor(folder_.makeFolder("folder.mp3")), Types{});

    // Another program holds the file without sharing it.
    std::string locked = folder_.write("locked.mp3", "ID3" + std::string(60, '\0'));
    HANDLE held = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(typesAddedFor(locked), Types{});
    CloseHandle(held);
    EXPECT_EQ(typesAddedFor(locked), Types{"MP3"});
}

// Every probe closes what it opened: the file can be removed at once.
TEST_F(MediaProbe, ProbedFilesAreNotLeftOpen)
{
    for (const char *name : {"a.mp3", "b.mid", "c.txt"}) {
        SCOPED_TRACE(name);
        std::string path = folder_.write(name, "MThd" + withMark(300, 300 - 128, "TAG"));
        typesAddedFor(path);
        EXPECT_TRUE(DeleteFileA(path.c_str())) << "error " << GetLastError();
    }
}

// Artist and title come from the name as the file system gives it back.
TEST_F(MediaProbe, NamesInCodePage932GiveArtistAndTitle)
{
    struct Case {
        const char *name;
        const char *artist;
        const char *title;
    };
    const Case cases[] = {
        {"[アーティスト] 曲名.mp3", "アーティスト\n", "曲名"},
        {"[ゾ] T.mp3", "ゾ\n", "T"},  // ゾ ends in 0x5D, the code of "]"
        {"ゼロ.mp3", "アーティスト情報なし", "タイトル情報なし"},  // ゼ ends in 0x5B, "["
        {"[表示]曲.mp3", "表示\n", "タイトル情報なし"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder_.write(c.name, "ID3" + std::string(60, '\0'));
        ASSERT_EQ(typesAddedFor(path), Types{"MP3"});
        const MediaEntry &entry = mediaCatalog.entries[mediaCatalog.entryCount - 1];
        EXPECT_STREQ(entry.values[0], path.c_str());
        EXPECT_STREQ(entry.values[1], c.artist);
        EXPECT_STREQ(entry.values[2], c.title);
        EXPECT_STREQ(entry.values[3], "コメントなし");
    }
}

}  // namespace
