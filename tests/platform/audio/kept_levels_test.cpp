// The output mixer's levels kept in the user's data folder: restored at
// start, written at each change, and a damaged file read as full levels.
#include <gtest/gtest.h>

#include <string>

#include "platform/winmm/kept_levels.h"
#include "platform/winmm/output_mixer.h"
#include "tests/support/scratch_folder.h"

namespace {

using hp::winmm::OutputLines;
using Line = OutputLines::Line;

constexpr const char *keptText = "Master=65535,65535,0,0\n"
                                 "Wave=32768,32768,0,0\n"
                                 "Synth=1000,2000,1,1\n"
                                 "CdAudio=0,65535,0,1\n";

class KeptLevelsTest : public ::testing::Test {
protected:
    void SetUp() override { OutputLines::instance().reset(); }
    void TearDown() override
    {
        OutputLines::instance().setKeeper(nullptr);
        OutputLines::instance().reset();
    }

    static void expectFull()
    {
        const OutputLines::Levels full;
        for (int line = 0; line < OutputLines::lineCount; ++line) {
            const OutputLines::Levels levels = OutputLines::instance().levels(Line(line));
            EXPECT_EQ(levels.volume, full.volume) << "line " << line;
            EXPECT_EQ(levels.mute, full.mute) << "line " << line;
        }
    }

    hp::test::ScratchFolder scratch;
};

TEST_F(KeptLevelsTest, AChangeIsWrittenAndRestoredAtTheNextStart)
{
    // The data folder does not exist yet: it is made at the first change.
    const std::string data = scratch.pathOf("share/hollyphone");
    hp::winmm::keepOutputLevels(data);
    expectFull();
    OutputLines::Levels half;
    half.volume = {32768, 32768};
    OutputLines::instance().setLevels(Line::Wave, half);
    OutputLines::Levels muted;
    muted.volume = {1000, 2000};
    muted.mute = {1, 1};
    OutputLines::instance().setLevels(Line::Synth, muted);
    OutputLines::Levels leftOnly;
    leftOnly.volume = {0, 65535};
    leftOnly.mute = {0, 1};
    OutputLines::instance().setLevels(Line::CdAudio, leftOnly);
    EXPECT_EQ(scratch.read("share/hollyphone/mixer-levels"), keptText);

    // A new start: the levels come back as they were left.
    OutputLines::instance().setKeeper(nullptr);
    OutputLines::instance().reset();
    hp::winmm::keepOutputLevels(data);
    EXPECT_EQ(OutputLines::instance().levels(Line::Wave).volume, half.volume);
    EXPECT_EQ(OutputLines::instance().levels(Line::Synth).volume, muted.volume);
    EXPECT_EQ(OutputLines::instance().levels(Line::Synth).mute, muted.mute);
    EXPECT_EQ(OutputLines::instance().levels(Line::CdAudio).mute, leftOnly.mute);
    EXPECT_EQ(scratch.read("share/hollyphone/mixer-levels"), keptText) << "reading writes nothing";
}

TEST_F(KeptLevelsTest, ADamagedFileGivesFullLevelsAndIsReplacedAtTheNextChange)
{
    const std::string longLine = "Master=65535,65535,0,0\n" + std::string(200, ' ') + "\n";
    const std::string damaged[] = {
        "",
        "Master=65535,65535,0,0\nWave=32768,32768,0,0\nSynth=1000,2000,1,1\n",  // a line missing
        "Master=65535,65535,0,0\nWave=32768,32768,0,0\nSynth=1000,2000,1,1\nCdAudio=0,65535,0,1",
        std::string(keptText) + "Wave=1,1,0,0\n",                                 // twice
        std::string(keptText) + "Bass=1,1,0,0\n",                                 // unknown
        "Master=65536,65535,0,0\nWave=32768,32768,0,0\nSynth=1000,2000,1,1\nCdAudio=0,65535,0,1\n",
        "Master=-1,65535,0,0\nWave=32768,32768,0,0\nSynth=1000,2000,1,1\nCdAudio=0,65535,0,1\n",
        "Master=65535,65535,0,2\nWave=32768,32768,0,0\nSynth=1000,2000,1,1\nCdAudio=0,65535,0,1\n",
        "Master=65535,65535,0\nWave=32768,32768,0,0\nSynth=1000,2000,1,1\nCdAudio=0,65535,0,1\n",
        "Master=65535,65535,0,0 \nWave=32768,32768,0,0\nSynth=1000,2000,1,1\nCdAudio=0,65535,0,1\n",
        "Master=99999999999999999999,0,0,0\nWave=1,1,0,0\nSynth=1,1,0,0\nCdAudio=1,1,0,0\n",
        std::string("Master=65535,65535,0,0\nWave=32768,\0\0,0,0\nSynth=1,1,0,0\nCdAudio=1,1,0,0\n",
                    72),
        longLine,
    };
    for (const std::string &text : damaged) {
        SCOPED_TRACE(text);
        OutputLines::instance().setKeeper(nullptr);
        OutputLines::instance().reset();
        scratch.write("mixer-levels", text);
        hp::winmm::keepOutputLevels(scratch.path());
        expectFull();
    }

    OutputLines::Levels quiet;
    quiet.volume = {100, 100};
    OutputLines::instance().setLevels(Line::Master, quiet);
    EXPECT_EQ(scratch.read("mixer-levels"), "Master=100,100,0,0\nWave=65535,65535,0,0\n"
                                            "Synth=65535,65535,0,0\nCdAudio=65535,65535,0,0\n");
}

TEST_F(KeptLevelsTest, WindowsLineEndsAndAnyLineOrderAreRead)
{
    scratch.write("mixer-levels", "CdAudio=0,65535,0,1\r\nSynth=1000,2000,1,1\r\n"
                                  "Wave=32768,32768,0,0\r\nMaster=65535,65535,0,0\r\n");
    hp::winmm::keepOutputLevels(scratch.path());
    EXPECT_EQ(OutputLines::instance().levels(Line::Wave).volume[1], 32768);
    EXPECT_EQ(OutputLines::instance().levels(Line::CdAudio).mute[1], 1);
}

TEST_F(KeptLevelsTest, AFolderThatCannotBeMadeKeepsNothingAndTheLevelsStillChange)
{
    scratch.write("file", "");
    hp::winmm::keepOutputLevels(scratch.pathOf("file/hollyphone"));
    OutputLines::Levels quiet;
    quiet.volume = {100, 100};
    OutputLines::instance().setLevels(Line::Wave, quiet);
    EXPECT_EQ(OutputLines::instance().levels(Line::Wave).volume, quiet.volume);
    EXPECT_EQ(scratch.names(), std::vector<std::string>{"file"});
}

}  // namespace
