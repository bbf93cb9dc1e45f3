#include "platform/host/mpeg_audio_length.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace hp::host {
namespace {

constexpr size_t headerBytes = 4;
constexpr size_t id3HeaderBytes = 10;
constexpr std::streamoff largestFileBytes = 512 * 1024 * 1024;

struct FrameHeader {
    int version = 0;  // 1: MPEG-1, 2: MPEG-2, 25: MPEG-2.5
    int layer = 0;    // 1, 2, 3
    int sampleRate = 0;
    size_t bytes = 0;
    int samples = 0;

    bool sameStream(const FrameHeader &other) const
    {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate;
    }
};

// Kilobits per second by [MPEG-1?][layer - 1][index].
constexpr int bitRates[2][3][16] = {
    {// MPEG-2 and MPEG-2.5
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {// MPEG-1
     {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}}};

constexpr int mpeg1SampleRates[3] = {44100, 48000, 32000};

// Reads the frame header at the offset; false when it is not one (free
// format frames, whose length the header does not give, count as none).
bool readHeader(const std::vector<unsigned char> &bytes, size_t offset, FrameHeader &header)
{
    if (offset + headerBytes > bytes.size())
        return false;
    const unsigned char *h = bytes.data() + offset;
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
        return false;
    const int versionBits = (h[1] >> 3) & 3;
    const int layerBits = (h[1] >> 1) & 3;
    const int bitRateIndex = h[2] >> 4;
    const int sampleRateIndex = (h[2] >> 2) & 3;
    const int padding = (h[2] >> 1) & 1;
    if (versionBits == 1 || layerBits == 0 || sampleRateIndex == 3 || bitRateIndex == 0 ||
        bitRateIndex == 15)
        return false;

    header.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    header.layer = 4 - layerBits;
    const int divisor = header.version == 1 ? 1 : header.version == 2 ? 2 : 4;
    header.sampleRate = mpeg1SampleRates[sampleRateIndex] / divisor;
    const long bitRate =
        1000L * bitRates[header.version == 1 ? 1 : 0][header.layer - 1][bitRateIndex];
    switch (header.layer) {
    case 1:
        header.samples = 384;
        header.bytes = static_cast<size_t>((12 * bitRate / header.sampleRate + padding) * 4);
        break;
    case 2:
        header.samples = 1152;
        header.bytes = static_cast<size_t>(144 * bitRate / header.sampleRate + padding);
        break;
    default:
        header.samples = header.version == 1 ? 1152 : 576;
        header.bytes = static_cast<size_t>((header.version == 1 ? 144 : 72) * bitRate /
                                               header.sampleRate +
                                           padding);
        break;
    }
    return header.bytes > headerBytes;
}

// A frame that is followed by another of the same stream (or by the end of
// the file): what a decoder would lock on to.
bool frameChainAt(const std::vector<unsigned char> &bytes, size_t offset, FrameHeader &header)
{
    if (!readHeader(bytes, offset, header))
        return false;
    const size_t next = offset + header.bytes;
    if (next > bytes.size())
        return false;
    FrameHeader following;
    if (next + headerBytes > bytes.size())
        return true;
    return readHeader(bytes, next, following) && following.sameStream(header);
}

size_t afterId3Tag(const std::vector<unsigned char> &bytes)
{
    if (bytes.size() < id3HeaderBytes || bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3')
        return 0;
    size_t size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (bytes[i] & 0x7F);
    const bool footer = (bytes[5] & 0x10) != 0;
    return id3HeaderBytes + size + (footer ? id3HeaderBytes : 0);
}

}  // namespace

std::chrono::microseconds mpegAudioLength(const std::string &hostPath)
{
    std::ifstream file(hostPath, std::ios::binary | std::ios::ate);
    if (!file)
        return {};
    const std::streamoff size = file.tellg();
    if (size <= 0 || size > largestFileBytes)
        return {};
    file.seekg(0);
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    if (!file.read(reinterpret_cast<char *>(bytes.data()), size))
        return {};

    // Some taggers leave zero bytes between the tag and the first frame.
    size_t offset = afterId3Tag(bytes);
    while (offset < bytes.size() && bytes[offset] == 0)
        ++offset;
    FrameHeader first;
    if (!frameChainAt(bytes, offset, first))
        return {};

    // Count the frames of the stream; skip junk between frames by looking
    // for the next chain of the same stream.
    uint64_t samples = 0;
    int frames = 0;
    while (offset + headerBytes <= bytes.size()) {
        FrameHeader header;
        if (readHeader(bytes, offset, header) && header.sameStream(first) &&
            offset + header.bytes <= bytes.size()) {
            samples += static_cast<uint64_t>(header.samples);
            ++frames;
            offset += header.bytes;
            continue;
        }
        ++offset;
        while (offset + headerBytes <= bytes.size() &&
               !(frameChainAt(bytes, offset, header) && header.sameStream(first)))
            ++offset;
    }
    if (frames < 2)
        return {};
    return std::chrono::microseconds(static_cast<int64_t>(samples * 1000000 / first.sampleRate));
}

}  // namespace hp::host
