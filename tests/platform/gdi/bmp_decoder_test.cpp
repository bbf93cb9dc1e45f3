// The BMP decoder over every format the platform's loader reads, and over
// broken files.
#include <gtest/gtest.h>

#include <string>

#include "bmp_writer.h"
#include "platform/gdi32/bmp_decoder.h"

namespace {

using gdi_test::BmpLayout;
using gdi_test::buildBmp;
using hp::gdi32::DecodedImage;
using hp::gdi32::decodeBmpFile;

// Colours whose every pixel differs, so a swapped row or column shows.
uint32_t rgbAt(int x, int y) { return (uint32_t(17 * x + 3) << 16) | (uint32_t(29 * y + 5) << 8) | uint32_t(x * y + 7); }

struct FormatCase {
    std::string name;
    BmpLayout layout;
    std::function<uint32_t(int, int)> expected;  // 0x00RRGGBB
};

std::vector<uint32_t> grayPalette(int entries)
{
    std::vector<uint32_t> palette;
    for (int i = 0; i < entries; ++i) {
        uint32_t g = uint32_t(i * 255 / (entries - 1));
        palette.push_back((g << 16) | (g << 8) | (255 - g));
    }
    return palette;
}

std::vector<FormatCase> formatCases()
{
    std::vector<FormatCase> cases;
    for (bool topDown : {false, true}) {
        const std::string order = topDown ? "TopDown" : "BottomUp";
        {
            BmpLayout s;
            s.width = 13, s.height = 5, s.topDown = topDown, s.bitsPerPixel = 24;
            s.value = [](int x, int y) { return rgbAt(x, y); };
            cases.push_back({"Rgb24" + order, s, [](int x, int y) { return rgbAt(x, y); }});
        }
        {
            BmpLayout s;
            s.width = 7, s.height = 4, s.topDown = topDown, s.bitsPerPixel = 32;
            s.value = [](int x, int y) { return rgbAt(x, y); };
            cases.push_back({"Rgb32" + order, s, [](int x, int y) { return rgbAt(x, y); }});
        }
        for (int bits : {1, 4, 8}) {
            BmpLayout s;
            s.width = 19, s.height = 3, s.topDown = topDown, s.bitsPerPixel = bits;
            s.palette = grayPalette(1 << bits);
            const int entries = 1 << bits;
            s.value = [entries](int x, int y) { return uint32_t((x + 3 * y) % entries); };
            auto palette = s.palette;
            cases.push_back({"Indexed" + std::to_string(bits) + order, s,
                             [palette, entries](int x, int y) {
                                 return palette[(x + 3 * y) % entries];
                             }});
        }
    }
    {
        BmpLayout s;  // 16 bits, 5-5-5 by default
        s.width = 5, s.height = 3, s.bitsPerPixel = 16;
        s.value = [](int x, int y) { return uint32_t((31 << 10) * (x == 0) | (y << 5) | x); };
        cases.push_back({"Rgb555", s, [](int x, int y) {
                             auto widen = [](uint32_t v) { return (v * 255 + 15) / 31; };
                             return (widen(x == 0 ? 31 : 0) << 16) | (widen(y) << 8) | widen(x);
                         }});
    }
    {
        BmpLayout s;  // 16 bits, 5-6-5 through bit fields
        s.width = 4, s.height = 2, s.bitsPerPixel = 16, s.compression = 3;
        s.masks[0] = 0xF800, s.masks[1] = 0x07E0, s.masks[2] = 0x001F;
        s.value = [](int x, int y) { return uint32_t((31 << 11) | ((20 * y + x) << 5) | 31); };
        cases.push_back({"Bitfields565", s, [](int x, int y) {
                             uint32_t g = ((20 * y + x) * 255 + 31) / 63;
                             return (255u << 16) | (g << 8) | 255u;
                         }});
    }
    {
        BmpLayout s;  // 32 bits with the channels in another order
        s.width = 3, s.height = 3, s.bitsPerPixel = 32, s.compression = 3;
        s.masks[0] = 0x000000FF, s.masks[1] = 0x0000FF00, s.masks[2] = 0x00FF0000;
        s.value = [](int x, int y) { return uint32_t(10 * x) | (uint32_t(20 * y) << 8) | (77u << 16); };
        cases.push_back({"Bitfields32Swapped", s, [](int x, int y) {
                             return (uint32_t(10 * x) << 16) | (uint32_t(20 * y) << 8) | 77u;
                         }});
    }
    return cases;
}

class BmpFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(BmpFormats, DecodeToTheSamePicture)
{
    const FormatCase &c = GetParam();
    const std::vector<uint8_t> file = buildBmp(c.layout);
    DecodedImage image;
    ASSERT_TRUE(decodeBmpFile(file.data(), file.size(), image));
    ASSERT_EQ(image.pixels->width(), c.layout.width);
    ASSERT_EQ(image.pixels->height(), c.layout.height);
    EXPECT_EQ(image.bitsPerPixel, c.layout.bitsPerPixel);
    EXPECT_EQ(image.topDown, c.layout.topDown);
    for (int y = 0; y < c.layout.height; ++y)
        for (int x = 0; x < c.layout.width; ++x)
            ASSERT_EQ(image.pixels->at(x, y), c.expected(x, y)) << x << "," << y;
    // The stored pixel array is kept as the file has it.
    const size_t stride = ((size_t(c.layout.width) * c.layout.bitsPerPixel + 31) / 32) * 4;
    EXPECT_EQ(image.dibBits.size(), stride * c.layout.height);
}

INSTANTIATE_TEST_SUITE_P(All, BmpFormats, ::testing::ValuesIn(formatCases()),
                         [](const auto &info) { return info.param.name; });

// An 8-bit RLE bitmap: runs, an absolute run, a delta and the end marks.
TEST(BmpRle, Rle8RunsAbsoluteRunsAndDeltas)
{
    BmpLayout s;
    s.width = 6, s.height = 3, s.bitsPerPixel = 8;
    s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    s.value = [](int, int) { return 0u; };
    std::vector<uint8_t> file = buildBmp(s);
    const std::vector<uint8_t> rle = {
        3, 1,           // bottom row: three of colour 1
        0, 3, 2, 3, 2, 0,  // absolute: 2 3 2 (padded to a word)
        0, 0,           // end of line
        0, 2, 1, 0,     // delta: one to the right, same row
        5, 3,           // five of colour 3 from x 1
        0, 1};          // end of bitmap (the top row stays colour 0)
    file.resize(14 + 40 + 16);
    file.insert(file.end(), rle.begin(), rle.end());
    gdi_test::put32(file, 30, 1);  // BI_RLE8
    gdi_test::put32(file, 2, uint32_t(file.size()));
    DecodedImage image;
    ASSERT_TRUE(decodeBmpFile(file.data(), file.size(), image));
    const uint32_t expected[3][6] = {{0, 0, 0, 0, 0, 0},
                                     {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                                     {0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(image.pixels->at(x, y), expected[y][x]) << x << "," << y;
    EXPECT_TRUE(image.dibBits.empty());
}

// A colour count beyond what the depth can index (100 for 4 bits): the
// table is that long, the pixels take the colours of its first 16 entries,
// and nothing is written past the 16 the picture can use.
TEST(BmpPalette, ColourCountBeyondTheDepth)
{
    BmpLayout s;
    s.width = 8, s.height = 2, s.bitsPerPixel = 4;
    s.palette = grayPalette(100);
    s.value = [](int x, int y) { return uint32_t(x + 8 * y); };
    const std::vector<uint8_t> file = buildBmp(s);
    ASSERT_EQ(file.size(), 462u);
    DecodedImage fromFile;
    DecodedImage fromDib;
    ASSERT_TRUE(decodeBmpFile(file.data(), file.size(), fromFile));
    ASSERT_TRUE(hp::gdi32::decodeDib(file.data() + 14, file.size() - 14, fromDib));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(fromFile.pixels->at(x, y), s.palette[x + 8 * y]) << x << "," << y;
            EXPECT_EQ(fromDib.pixels->at(x, y), s.palette[x + 8 * y]) << x << "," << y;
        }
}

TEST(BmpBroken, RejectedWithoutReadingOutside)
{
    BmpLayout s;
    s.width = 8, s.height = 8, s.bitsPerPixel = 24;
    s.value = [](int x, int y) { return rgbAt(x, y); };
    const std::vector<uint8_t> good = buildBmp(s);

    struct Broken {
        const char *what;
        std::function<void(std::vector<uint8_t> &)> damage;
    };
    const Broken cases[] = {
        {"not BM", [](auto &f) { f[0] = 'X'; }},
        {"truncated pixels", [](auto &f) { f.resize(f.size() - 10); }},
        {"truncated header", [](auto &f) { f.resize(30); }},
        {"zero width", [](auto &f) { gdi_test::put32(f, 18, 0); }},
        {"zero height", [](auto &f) { gdi_test::put32(f, 22, 0); }},
        {"huge", [](auto &f) { gdi_test::put32(f, 18, 1 << 20); gdi_test::put32(f, 22, 1 << 20); }},
        {"odd depth", [](auto &f) { gdi_test::put16(f, 28, 7); }},
        {"pixels before header end", [](auto &f) { gdi_test::put32(f, 10, 20); }},
        {"pixels past the end", [](auto &f) { gdi_test::put32(f, 10, 0x7FFFFFFF); }},
        {"compressed 24 bits", [](auto &f) { gdi_test::put32(f, 30, 1); }},
        {"header size past the end", [](auto &f) { gdi_test::put32(f, 14, 0x10000); }},
        {"a 32767 x 2047 picture in 200 bytes",
         [](auto &f) { gdi_test::put32(f, 18, 32767); gdi_test::put32(f, 22, 2047); }},
    };
    for (const Broken &b : cases) {
        std::vector<uint8_t> file = good;
        b.damage(file);
        // Refused before any decoding: the image keeps its preset values.
        DecodedImage image;
        image.bitsPerPixel = -1;
        EXPECT_FALSE(decodeBmpFile(file.data(), file.size(), image)) << b.what;
        EXPECT_EQ(image.bitsPerPixel, -1) << b.what;
        EXPECT_EQ(image.pixels, nullptr) << b.what;
    }
    DecodedImage image;
    EXPECT_FALSE(decodeBmpFile(nullptr, 0, image));
}

}  // namespace
