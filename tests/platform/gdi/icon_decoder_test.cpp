// Icon and cursor files as the loader reads them: the entry nearest the
// wanted size, transparency from the AND mask or the alpha channel, the
// cursor's hot spot, and the next entry when the best one cannot be read.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "bmp_writer.h"
#include "platform/user32/ico_decoder.h"

namespace {

using gdi_test::BmpLayout;
using gdi_test::put16;
using gdi_test::put32;
using hp::user32::decodeIconFile;
using hp::user32::IconPicture;

// An entry's image: the DIB of the colour picture, its height doubled, and
// the AND mask (1 = transparent) below it.
std::vector<uint8_t> iconImage(const BmpLayout &layout, std::function<bool(int, int)> transparent)
{
    const std::vector<uint8_t> file = gdi_test::buildBmp(layout);
    std::vector<uint8_t> dib(file.begin() + 14, file.end());
    put32(dib, 8, uint32_t(2 * layout.height));
    const size_t stride = ((size_t(layout.width) + 31) / 32) * 4;
    std::vector<uint8_t> mask(stride * layout.height, 0);
    for (int y = 0; y < layout.height; ++y)
        for (int x = 0; x < layout.width; ++x)
            if (transparent(x, y))
                mask[(layout.height - 1 - y) * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
    dib.insert(dib.end(), mask.begin(), mask.end());
    return dib;
}

struct Entry {
    int size;  // width and height
    std::vector<uint8_t> image;
    uint16_t hotspotX = 0, hotspotY = 0;
};

// An .ico (type 1) or .cur (type 2) file.
std::vector<uint8_t> iconFile(uint16_t type, const std::vector<Entry> &entries)
{
    std::vector<uint8_t> file(6 + 16 * entries.size(), 0);
    put16(file, 2, type);
    put16(file, 4, uint16_t(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t at = 6 + 16 * i;
        file[at] = file[at + 1] = uint8_t(entries[i].size);
        put16(file, at + 4, type == 2 ? entries[i].hotspotX : 1);
        put16(file, at + 6, type == 2 ? entries[i].hotspotY : 32);
        put32(file, at + 8, uint32_t(entries[i].image.size()));
        put32(file, at + 12, uint32_t(file.size()));
        file.insert(file.end(), entries[i].image.begin(), entries[i].image.end());
    }
    return file;
}

TEST(IconFiles, NearestEntryTransparencyHotSpotAndFallback)
{
    BmpLayout small;  // 4 x 4, 32 bits: alpha in the pixels
    small.width = small.height = 4, small.bitsPerPixel = 32;
    small.value = [](int x, int) { return (x == 0 ? 0u : 0xFFu) << 24 | 0x123456; };
    BmpLayout large;  // 8 x 8, 4 bits: transparency from the mask
    large.width = large.height = 8, large.bitsPerPixel = 4;
    large.palette = {0x000000, 0xFF0000, 0x00FF00};
    large.value = [](int x, int) { return uint32_t(x % 3); };
    const std::vector<uint8_t> smallImage = iconImage(small, [](int, int) { return false; });
    const std::vector<uint8_t> largeImage = iconImage(large, [](int x, int y) { return x == y; });
    const std::vector<uint8_t> icons = iconFile(1, {{4, smallImage}, {8, largeImage}});

    IconPicture picture;
    ASSERT_TRUE(decodeIconFile(icons.data(), icons.size(), false, 8, 8, picture));
    ASSERT_EQ(picture.width, 8);
    ASSERT_EQ(picture.argb.size(), 64u);
    EXPECT_FALSE(picture.isCursor);
    EXPECT_EQ(picture.argb[1 * 8 + 1], 0x00FF0000u);  // masked: alpha 0
    EXPECT_EQ(picture.argb[2 * 8 + 1], 0xFFFF0000u);  // palette entry 1
    EXPECT_EQ(picture.argb[0 * 8 + 2], 0xFF00FF00u);  // palette entry 2

    ASSERT_TRUE(decodeIconFile(icons.data(), icons.size(), false, 5, 5, picture));
    ASSERT_EQ(picture.width, 4);
    EXPECT_EQ(picture.argb[0], 0x00123456u);  // alpha 0 from the pixel
    EXPECT_EQ(picture.argb[1], 0xFF123456u);

    // An icon file is no cursor file.
    EXPECT_FALSE(decodeIconFile(icons.data(), icons.size(), true, 8, 8, picture));

    const std::vector<uint8_t> cursor = iconFile(2, {{8, largeImage, 3, 5}});
    ASSERT_TRUE(decodeIconFile(cursor.data(), cursor.size(), true, 32, 32, picture));
    EXPECT_TRUE(picture.isCursor);
    EXPECT_EQ(picture.hotspot.x, 3);
    EXPECT_EQ(picture.hotspot.y, 5);

    // The nearest entry holds a PNG, which is not read: the other one is.
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0};
    const std::vector<uint8_t> withPng = iconFile(1, {{8, png}, {4, smallImage}});
    ASSERT_TRUE(decodeIconFile(withPng.data(), withPng.size(), false, 8, 8, picture));
    EXPECT_EQ(picture.width, 4);
}

}  // namespace
