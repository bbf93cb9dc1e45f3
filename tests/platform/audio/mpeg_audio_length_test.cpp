// Counting MPEG audio frames for an exact length.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/host/mpeg_audio_length.h"

namespace {

using Bytes = std::vector<unsigned char>;

// One MPEG-1 Layer III frame header at 44100 Hz (bit rate index given) and
// its body of zeros: 144 * bitrate / 44100 bytes in all.
void appendFrame(Bytes &bytes, int bitRateIndex, int kilobits)
{
    const size_t size = 144 * kilobits * 1000 / 44100;
    const size_t start = bytes.size();
    bytes.resize(start + size, 0);
    bytes[start] = 0xFF;
    bytes[start + 1] = 0xFB;
    bytes[start + 2] = static_cast<unsigned char>(bitRateIndex << 4);
    bytes[start + 3] = 0x44;
}

void appendId3(Bytes &bytes, size_t bodySize)
{
    const Bytes header = {'I', 'D', '3', 3, 0, 0,
                          static_cast<unsigned char>((bodySize >> 21) & 0x7F),
                          static_cast<unsigned char>((bodySize >> 14) & 0x7F),
                          static_cast<unsigned char>((bodySize >> 7) & 0x7F),
                          static_cast<unsigned char>(bodySize & 0x7F)};
    bytes.insert(bytes.end(), header.begin(), header.end());
    // A body that holds frame-like bytes, which must not be counted.
    for (size_t i = 0; i < bodySize; ++i)
        bytes.push_back(i % 2 ? 0xFB : 0xFF);
}

class MpegLength : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/hollyphone_mpeg_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::chrono::microseconds lengthOf(const Bytes &bytes)
    {
        const std::string path = folder_ + "/file.mp3";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return hp::host::mpegAudioLength(path);
    }

    std::string folder_;
};

TEST_F(MpegLength, VariableRateFramesAfterATagAreCountedOneByOne)
{
    Bytes bytes;
    appendId3(bytes, 300);
    bytes.insert(bytes.end(), 7, 0);  // padding some taggers leave
    // Few small frames first, then many large ones: an estimate from the
    // start would be far off.
    for (int i = 0; i < 10; ++i)
        appendFrame(bytes, 1, 32);
    for (int i = 0; i < 990; ++i)
        appendFrame(bytes, 14, 320);
    const Bytes tag(128, 'T');
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    EXPECT_EQ(lengthOf(bytes).count(), 1000 * 1152 * 1000000LL / 44100);
}

TEST_F(MpegLength, JunkBetweenFramesIsSkipped)
{
    Bytes bytes;
    for (int i = 0; i < 50; ++i)
        appendFrame(bytes, 9, 128);
    bytes.insert(bytes.end(), {0x00, 0x12, 0xFF, 0x00, 0x34});
    for (int i = 0; i < 50; ++i)
        appendFrame(bytes, 9, 128);
    EXPECT_EQ(lengthOf(bytes).count(), 100 * 1152 * 1000000LL / 44100);
}

TEST_F(MpegLength, FilesThatDoNotStartWithFramesHaveNoLength)
{
    Bytes riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_EQ(lengthOf(riff).count(), 0);
    Bytes oneFrame;
    appendFrame(oneFrame, 9, 128);
    EXPECT_EQ(lengthOf(oneFrame).count(), 0);
    Bytes tagOnly;
    appendId3(tagOnly, 64);
    EXPECT_EQ(lengthOf(tagOnly).count(), 0);
    EXPECT_EQ(lengthOf({}).count(), 0);
    EXPECT_EQ(hp::host::mpegAudioLength(folder_ + "/missing.mp3").count(), 0);
    EXPECT_EQ(hp::host::mpegAudioLength(folder_).count(), 0);
}

}  // namespace
