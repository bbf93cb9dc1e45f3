// The libcdio drive table against the machine's own drives, when it has
// any.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/host/cdio_drive_table.h"

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
