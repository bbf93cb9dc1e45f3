// LoadImageA's decoded-image cache: an unchanged file is decoded once, a
// changed or replaced one again.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bmp_writer.h"
#include "platform/gdi32/image_cache.h"
#include "platform/win32.h"

namespace {

using hp::gdi32::ImageCache;

void writeFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> solidBmp(uint32_t rgb, int width = 8, int height = 8)
{
    gdi_test::BmpLayout s;
    s.width = width, s.height = height, s.bitsPerPixel = 24;
    s.value = [rgb](int, int) { return rgb; };
    return gdi_test::buildBmp(s);
}

void setModifiedTime(const std::string &path, time_t seconds)
{
    struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Loads the file, reads pixel (0, 0) through a memory context, frees all.
COLORREF loadAndRead(const std::string &path)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap)
        return CLR_INVALID;
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    COLORREF color = GetPixel(dc, 0, 0);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return color;
}

class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override { ImageCache::instance().clear(); }
    void TearDown() override { std::remove(path.c_str()); }
    // Cases run as parallel processes in one folder: each has its own file.
    std::string path = std::string("image_cache_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp";
};

TEST_F(ImageCacheTest, UnchangedFileIsDecodedOnce)
{
    writeFile(path, solidBmp(0x102030));
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(loadAndRead(path), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(ImageCache::instance().decodeCount(), 1u);
}

TEST_F(ImageCacheTest, RewrittenFileIsReadAgain)
{
    writeFile(path, solidBmp(0x102030));
    setModifiedTime(path, 1000000);
    ASSERT_EQ(loadAndRead(path), RGB(0x10, 0x20, 0x30));
    // Same size, new content, new time.
    writeFile(path, solidBmp(0x405060));
    setModifiedTime(path, 1000001);
    EXPECT_EQ(loadAndRead(path), RGB(0x40, 0x50, 0x60));
    EXPECT_EQ(ImageCache::instance().decodeCount(), 2u);
}

TEST_F(ImageCacheTest, ReplacedFileWithTheSameTimeIsReadAgain)
{
    // A file renamed over the old one (as editors save) with an equal time
    // and size is still another file.
    writeFile(path, solidBmp(0x102030));
    setModifiedTime(path, 2000000);
    ASSERT_EQ(loadAndRead(path), RGB(0x10, 0x20, 0x30));
    const std::string replacement = path + ".new";
    writeFile(replacement, solidBmp(0x708090));
    setModifiedTime(replacement, 2000000);
    ASSERT_EQ(std::rename(replacement.c_str(), path.c_str()), 0);
    EXPECT_EQ(loadAndRead(path), RGB(0x70, 0x80, 0x90));
}

TEST_F(ImageCacheTest, GrownFileIsReadAgain)
{
    writeFile(path, solidBmp(0x102030, 8, 8));
    setModifiedTime(path, 3000000);
    ASSERT_EQ(loadAndRead(path), RGB(0x10, 0x20, 0x30));
    writeFile(path, solidBmp(0x112233, 16, 8));
    setModifiedTime(path, 3000000);
    EXPECT_EQ(loadAndRead(path), RGB(0x11, 0x22, 0x33));
}

TEST_F(ImageCacheTest, DrawingIntoALoadedBitmapDoesNotChangeTheCache)
{
    writeFile(path, solidBmp(0x102030));
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    SetPixel(dc, 0, 0, RGB(1, 1, 1));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(1, 1, 1));
    DeleteDC(dc);
    DeleteObject(bitmap);
    EXPECT_EQ(loadAndRead(path), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(ImageCache::instance().decodeCount(), 1u);
}

TEST_F(ImageCacheTest, MissingFileIsNotRemembered)
{
    EXPECT_EQ(loadAndRead(path), CLR_INVALID);
    writeFile(path, solidBmp(0x0A0B0C));
    EXPECT_EQ(loadAndRead(path), RGB(0x0A, 0x0B, 0x0C));
}

}  // namespace
