// Drive lists from the scripted CD drives: C: is the host's root, the CD
// drives take D:, E:, ...
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "platform/testing/twins.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"
#include "tests/support/scratch_folder.h"

namespace {

std::vector<int> tracksOfSeconds(int count)
{
    return std::vector<int>(static_cast<size_t>(count), 180);
}

class DriveScan : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::test::rebuild(soundDevice);
        drives().reset();
        hp::testing::messageBoxRecorder().reset();
    }

    static hp::testing::ScriptedDrives &drives() { return hp::testing::scriptedDrives(); }

    // Fills the buffer with a marker first, so that unwritten bytes show.
    std::string listAudio(int capacity, DWORD flags, int &result)
    {
        memset(buffer_, '#', sizeof buffer_);
        result = soundDevice.listAudioCdDrives(buffer_, capacity, flags);
        return buffer_;
    }

    char buffer_[300];
};

TEST_F(DriveScan, AudioDiscsAreListedWithTheirTrackRanges)
{
    int d = drives().addDrive("/dev/sr0");
    int e = drives().addDrive("/dev/sr1");
    drives().insertAudioDisc(d, tracksOfSeconds(12));
    drives().insertAudioDisc(e, tracksOfSeconds(8));

    int result = 0;
    EXPECT_EQ(listAudio(260, driveListTrackRanges, result), "D:\\(1-12)E:\\(1-8)");
    EXPECT_EQ(result, 2);
    EXPECT_EQ(listAudio(260, 0, result), "D:\\E:\\");
    EXPECT_EQ(result, 2);
    // Only the bit of the range flag matters.
    EXPECT_EQ(listAudio(260, 0xFFFFFFFDu, result), "D:\\E:\\");
    EXPECT_EQ(listAudio(260, 0xFFFFFFFFu, result), "D:\\(1-12)E:\\(1-8)");
    EXPECT_TRUE(hp::testing::messageBoxRecorder().calls().empty());
}

TEST_F(DriveScan, OnlyRootsHoldingNothingButTracksAreAudioCds)
{
    hp::test::ScratchFolder mounted;
    mounted.write("Track01.cda", "not really a track");
    mounted.write("readme.txt", "data");
    int empty = drives().addDrive("/dev/sr0");
    int data = drives().addDrive("/dev/sr1");
    int audio = drives().addDrive("/dev/sr2");
    (void)empty;
    drives().insertDataDisc(data, mounted.path());
    drives().insertAudioDisc(audio, tracksOfSeconds(3));

    int result = 0;
    EXPECT_EQ(listAudio(260, driveListTrackRanges, result), "F:\\(1-3)");
    EXPECT_EQ(result, 1);
}

TEST_F(DriveScan, NoAudioDiscGivesAnEmptyList)
{
    drives().addDrive("/dev/sr0");
    int result = -5;
    EXPECT_EQ(listAudio(260, driveListTrackRanges, result), "");
    EXPECT_EQ(result, 0);
}

// The room test keeps a byte for the terminator; a piece that fills the
// room exactly is accepted.
TEST_F(DriveScan, AudioListStopsAtThePieceThatDoesNotFit)
{
    drives().insertAudioDisc(drives().addDrive("/dev/sr0"), tracksOfSeconds(12));
    struct Case {
        int capacity;
        int result;
        const char *text;
    };
    const Case cases[] = {
        {7, -1, "D:\\"},        // room 6: the root fits, "(1-12)" does not
        {9, -1, "D:\\"},
        {10, 1, "D:\\(1-12)"},  // exactly
        {3, -1, ""},
        {1, -1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.capacity);
        int result = 0;
        EXPECT_EQ(listAudio(c.capacity, driveListTrackRanges, result), c.text);
        EXPECT_EQ(result, c.result);
        // The whole buffer is cleared, and nothing beyond it is touched.
        for (int i = static_cast<int>(strlen(c.text)); i < c.capacity; ++i) {
            EXPECT_EQ(buffer_[i], '\0') << i;
        }
        EXPECT_EQ(buffer_[c.capacity], '#');
    }
}

TEST_F(DriveScan, DriveRootsListEveryDrive)
{
    drives().addDrive("/dev/sr0");
    drives().addDrive("/dev/sr1");
    char roots[260];
    EXPECT_EQ(soundDevice.listDriveRoots(roots, sizeof roots), 3);
    EXPECT_STREQ(roots, "C:\\D:\\E:\\");

    memset(roots, '#', sizeof roots);
    EXPECT_EQ(soundDevice.listDriveRoots(roots, 7), -1);  // room 6 holds two roots exactly
    EXPECT_STREQ(roots, "C:\\D:\\");
    EXPECT_EQ(soundDevice.listDriveRoots(roots, 0), -1);
}

}  // namespace
