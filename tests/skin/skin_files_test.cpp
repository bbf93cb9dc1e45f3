// The committed skin files are exactly what the generator paints today, and
// each is a well-formed file of the kind the program and the desktop load.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "bitmap_file.h"
#include "tools/skin/skin_files.h"

namespace hp::skintest {
namespace {

const std::map<std::string, std::string> kCommittedPaths{
    {"swbase1.bmp", "image/swbase1.bmp"},
    {"parts.bmp", "image/parts.bmp"},
    {"hollyphone.ico", "resources/hollyphone.ico"},
    {"hollyphone.png", "resources/hollyphone.png"},
};

Bytes committed(const std::string& name)
{
    return readFile(std::string(HP_SKIN_REPOSITORY_ROOT) + "/" + kCommittedPaths.at(name));
}

uint32_t big32(const Bytes& bytes, size_t offset)
{
    return (static_cast<uint32_t>(bytes[offset]) << 24) | (bytes[offset + 1] << 16) |
           (bytes[offset + 2] << 8) | bytes[offset + 3];
}

uint32_t crc32(const uint8_t* data, size_t length)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

TEST(SkinFiles, CommittedFilesAreWhatTheGeneratorPaints)
{
    const auto generated = skin::makeSkinFiles();
    ASSERT_EQ(generated.size(), kCommittedPaths.size());
    for (const skin::SkinFile& file : generated) {
        SCOPED_TRACE(file.name);
        ASSERT_EQ(kCommittedPaths.count(file.name), 1u) << "unexpected output file";
        const Bytes onDisk = committed(file.name);
        ASSERT_EQ(onDisk.size(), file.contents.size())
            << "regenerate with scripts/make-skin.sh and commit the result";
        size_t firstDifference = 0;
        while (firstDifference < onDisk.size() &&
               onDisk[firstDifference] == file.contents[firstDifference])
            ++firstDifference;
        EXPECT_EQ(firstDifference, onDisk.size())
            << "first difference at byte " << firstDifference
            << "; regenerate with scripts/make-skin.sh and commit the result";
    }
}

TEST(SkinFiles, GeneratorGivesTheSameBytesEveryRun)
{
    const auto first = skin::makeSkinFiles();
    const auto second = skin::makeSkinFiles();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_TRUE(first[i].contents == second[i].contents) << first[i].name;
}

TEST(SkinFiles, BitmapsAre24BitUncompressedBottomUpAtTheirSizes)
{
    struct Expectation {
        const char* name;
        int width;
        int minimumHeight;
        int exactHeight;
    };
    // The parts sheet must reach the lowest row cut from it: the Wave
    // gauge's empty column starts at row 72 and is asked for up to 223 rows.
    const Expectation expectations[] = {
        {"swbase1.bmp", 632, 500, 500},
        {"parts.bmp", 200, 72 + 223, 0},
    };
    for (const Expectation& expectation : expectations) {
        SCOPED_TRACE(expectation.name);
        BitmapFile bitmap;
        std::string error;
        ASSERT_TRUE(bitmap.parse(committed(expectation.name), error)) << error;
        if (expectation.exactHeight) {
            EXPECT_EQ(bitmap.width(), expectation.width);
            EXPECT_EQ(bitmap.height(), expectation.exactHeight);
        } else {
            EXPECT_GE(bitmap.width(), expectation.width);
            EXPECT_GE(bitmap.height(), expectation.minimumHeight);
        }
    }
}

TEST(SkinFiles, BitmapReaderRefusesWhatTheLoaderWouldNotTake)
{
    const Bytes good = committed("parts.bmp");
    struct Damage {
        const char* what;
        size_t offset;
        uint8_t value;
    };
    const Damage damages[] = {
        {"signature", 0, 'X'},
        {"file size", 2, 0},
        {"bits per pixel", 28, 32},
        {"compression", 30, 1},
        {"top-down height", 25, 0xFF},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        Bytes broken = good;
        broken[damage.offset] = damage.value;
        BitmapFile bitmap;
        std::string error;
        EXPECT_FALSE(bitmap.parse(broken, error));
    }
    Bytes truncated(good.begin(), good.end() - 1);
    BitmapFile bitmap;
    std::string error;
    EXPECT_FALSE(bitmap.parse(truncated, error));
}

TEST(SkinFiles, IconHolds16_32_48PixelImagesWithAlphaAndMasks)
{
    const Bytes icon = committed("hollyphone.ico");
    ASSERT_GE(icon.size(), 6u + 3 * 16);
    EXPECT_EQ(little16(icon, 0), 0);
    EXPECT_EQ(little16(icon, 2), 1);
    ASSERT_EQ(little16(icon, 4), 3);
    const int sides[] = {16, 32, 48};
    for (int entry = 0; entry < 3; ++entry) {
        const int side = sides[entry];
        SCOPED_TRACE(side);
        const size_t directory = 6 + 16 * static_cast<size_t>(entry);
        EXPECT_EQ(icon[directory], side);
        EXPECT_EQ(icon[directory + 1], side);
        EXPECT_EQ(little16(icon, directory + 6), 32);
        const uint32_t length = little32(icon, directory + 8);
        const uint32_t offset = little32(icon, directory + 12);
        const size_t maskStride = (static_cast<size_t>(side) + 31) / 32 * 4;
        const size_t colorBytes = static_cast<size_t>(side) * side * 4;
        ASSERT_EQ(length, 40 + colorBytes + maskStride * side);
        ASSERT_LE(static_cast<size_t>(offset) + length, icon.size());
        EXPECT_EQ(little32(icon, offset), 40u);
        EXPECT_EQ(little32(icon, offset + 4), static_cast<uint32_t>(side));
        EXPECT_EQ(little32(icon, offset + 8), static_cast<uint32_t>(side * 2));
        EXPECT_EQ(little16(icon, offset + 14), 32);
        EXPECT_EQ(little32(icon, offset + 16), 0u);

        int opaque = 0, clear = 0;
        for (int row = 0; row < side; ++row) {
            for (int x = 0; x < side; ++x) {
                const size_t pixel = offset + 40 + (static_cast<size_t>(row) * side + x) * 4;
                const uint8_t alpha = icon[pixel + 3];
                const size_t maskByte = offset + 40 + colorBytes + row * maskStride + x / 8;
                const bool masked = icon[maskByte] & (0x80 >> (x % 8));
                EXPECT_EQ(masked, alpha == 0) << "mask disagrees with alpha at " << x << "," << row;
                opaque += alpha == 255;
                clear += alpha == 0;
            }
        }
        // A tile with rounded corners: mostly solid, transparent outside.
        EXPECT_GT(opaque, side * side / 2);
        EXPECT_GT(clear, 0);
    }
}

TEST(SkinFiles, PngIsA64PixelRgbaPictureWithSoundChunks)
{
    const Bytes png = committed("hollyphone.png");
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(png.size(), 8u + 25);
    EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
    size_t offset = 8;
    std::vector<std::string> chunks;
    while (offset + 12 <= png.size()) {
        const uint32_t length = big32(png, offset);
        ASSERT_LE(offset + 12 + length, png.size());
        const std::string type(png.begin() + static_cast<long>(offset) + 4,
                               png.begin() + static_cast<long>(offset) + 8);
        EXPECT_EQ(big32(png, offset + 8 + length), crc32(png.data() + offset + 4, length + 4))
            << type;
        if (type == "IHDR") {
            EXPECT_EQ(big32(png, offset + 8), 64u);
            EXPECT_EQ(big32(png, offset + 12), 64u);
            EXPECT_EQ(png[offset + 16], 8);  // bits per channel
            EXPECT_EQ(png[offset + 17], 6);  // RGBA
        }
        chunks.push_back(type);
        offset += 12 + length;
    }
    EXPECT_EQ(offset, png.size());
    ASSERT_GE(chunks.size(), 3u);
    EXPECT_EQ(chunks.front(), "IHDR");
    EXPECT_EQ(chunks.back(), "IEND");
}

} // namespace
} // namespace hp::skintest
