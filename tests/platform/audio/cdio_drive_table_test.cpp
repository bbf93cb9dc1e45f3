// The libcdio drive table against the machine's own drives, when it has
// any, and against BIN/CUE images made here.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/host/cdio_drive_table.h"
#include "platform/kernel32/drive_table.h"
#include "platform/win32.h"
#include "tests/support/scratch_folder.h"

namespace {

using namespace std::chrono_literals;

TEST(CdioDriveTable, ReadsEveryDriveWithoutWaitingLong)
{
    auto table = hp::host::makeCdioDriveTable();
    if (table->driveCount() == 0)
        GTEST_SKIP() << "this machine has no CD drive";
    for (int drive = 0; drive < table->driveCount(); ++drive) {
        SCOPED_TRACE(drive);
        EXPECT_FALSE(table->deviceName(drive).empty());
        hp::kernel32::CdDisc disc;
        const auto start = std::chrono::steady_clock::now();
        const bool present = table->readDisc(drive, disc);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        if (!present)
            continue;
        ASSERT_FALSE(disc.tracks.empty());
        for (const auto &track : disc.tracks) {
            EXPECT_GE(track.startFrame, 150u);  // after the two-second pre-gap
            EXPECT_GT(track.lengthFrames, 0u);
            EXPECT_EQ(track.startFrame + track.lengthFrames,
                      &track == &disc.tracks.back() ? disc.leadOutFrame
                                                    : (&track + 1)->startFrame);
        }
    }
}

TEST(CdioDriveTable, DrivesOutsideTheTableAnswerNothing)
{
    auto table = hp::host::makeCdioDriveTable();
    const int outside = table->driveCount();
    hp::kernel32::CdDisc disc;
    EXPECT_FALSE(table->readDisc(outside, disc));
    EXPECT_FALSE(table->readDisc(-1, disc));
    EXPECT_TRUE(table->deviceName(outside).empty());
    EXPECT_TRUE(table->mountPoint(outside).empty());
    EXPECT_FALSE(table->setTray(outside, true));
}

}  // namespace

namespace {

// A BIN/CUE image in a scratch folder: silent tracks of whole seconds.
std::string writeImage(const hp::test::ScratchFolder &folder, const std::string &name,
                       const std::vector<int> &trackSeconds)
{
    constexpr size_t bytesPerSecond = 44100 * 4;
    std::string sheet = "FILE \"" + name + ".bin\" BINARY\r\n";
    size_t seconds = 0;
    for (size_t i = 0; i < trackSeconds.size(); ++i) {
        char lines[80];
        std::snprintf(lines, sizeof lines, "  TRACK %02zu AUDIO\r\n    INDEX 01 %02zu:%02zu:00\r\n",
                      i + 1, seconds / 60, seconds % 60);
        sheet += lines;
        seconds += static_cast<size_t>(trackSeconds[i]);
    }
    folder.write(name + ".bin", std::string(seconds * bytesPerSecond, '\0'));
    return folder.write(name + ".cue", sheet);
}

std::vector<std::string> rootListing(const char *pattern, DWORD &error)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    SetLastError(0);
    HANDLE search = FindFirstFileA(pattern, &found);
    error = search == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Disc images as drives: the good one holds its disc, laid out to the frame,
// and shows its tracks; the bad ones are empty drives, answered at once.
TEST(CdioDiscImages, AnImageIsADriveWithItsDiscAndABadOneIsEmpty)
{
    hp::test::ScratchFolder folder;
    const std::string good = writeImage(folder, "disc", {3, 5, 2});
    // The sheet names a BIN of another name: libcdio would read nothing, or
    // the wrong file.
    writeImage(folder, "other", {4});
    const std::string misnamed = folder.write(
        "misnamed.cue", "FILE \"other.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n");
    folder.write("misnamed.bin", std::string(2352 * 75, '\0'));
    const std::string missingBin = folder.write(
        "gone.cue", "FILE \"gone.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n");
    const std::string noTrack = folder.write("notrack.cue", "FILE \"disc.bin\" BINARY\n");
    folder.write("notrack.bin", std::string(2352 * 75, '\0'));
    const std::string empty = folder.write("empty.cue", "");
    const std::string backwards = folder.write(
        "backwards.cue", "FILE \"backwards.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:03:00\n"
                         " TRACK 02 AUDIO\n  INDEX 01 00:01:00\n");
    folder.write("backwards.bin", std::string(2352 * 75 * 5, '\0'));
    const std::string fifo = folder.pathOf("fifo.cue");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::string> bad = {folder.pathOf("nothere.cue"), missingBin, empty,
                                          noTrack, misnamed, backwards, fifo};
    std::vector<std::string> images = {good};
    images.insert(images.end(), bad.begin(), bad.end());

    auto table = hp::host::makeCdioDriveTable(images);
    const int first = table->driveCount() - static_cast<int>(images.size());
    ASSERT_GE(first, 0) << "the images follow the real drives";
    EXPECT_EQ(table->deviceName(first), good);
    hp::kernel32::CdDisc disc;
    ASSERT_TRUE(table->readDisc(first, disc));
    ASSERT_EQ(disc.tracks.size(), 3u);
    const DWORD starts[] = {150, 150 + 3 * 75, 150 + 8 * 75};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(disc.tracks[i].number, static_cast<int>(i) + 1);
        EXPECT_TRUE(disc.tracks[i].audio);
        EXPECT_EQ(disc.tracks[i].startFrame, starts[i]);
    }
    EXPECT_EQ(disc.leadOutFrame, 150u + 10 * 75);
    EXPECT_TRUE(table->mountPoint(first).empty());
    EXPECT_TRUE(table->setTray(first, true));
    EXPECT_TRUE(table->readDisc(first, disc)) << "the tray does not take the disc out";

    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(bad[i]);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(table->readDisc(first + 1 + static_cast<int>(i), disc));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    }

    // Through kernel32, with no real drive in the way.
    if (first > 0)
        GTEST_SKIP() << "this machine has CD drives: the letters are theirs";
    hp::kernel32::installDriveTable(hp::host::makeCdioDriveTable({good, missingBin}));
    EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_CDROM));
    DWORD error = 0;
    EXPECT_EQ(rootListing("D:\\*", error),
              (std::vector<std::string>{"Track01.cda", "Track02.cda", "Track03.cda"}));
    EXPECT_TRUE(rootListing("E:\\*", error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_READY));
    hp::kernel32::installDriveTable(nullptr);
}

}  // namespace
