#include "bitmap_file.h"

#include <fstream>
#include <iterator>

namespace hp::skintest {

uint16_t little16(const Bytes& bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t little32(const Bytes& bytes, size_t offset)
{
    return little16(bytes, offset) | (static_cast<uint32_t>(little16(bytes, offset + 2)) << 16);
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool BitmapFile::parse(const Bytes& file, std::string& error)
{
    constexpr size_t kHeaders = 14 + 40;
    if (file.size() < kHeaders || file[0] != 'B' || file[1] != 'M') {
        error = "not a bitmap file";
        return false;
    }
    if (little32(file, 2) != file.size()) {
        error = "file size field disagrees with the file";
        return false;
    }
    if (little32(file, 10) != kHeaders || little32(file, 14) != 40) {
        error = "headers are not BITMAPFILEHEADER + BITMAPINFOHEADER";
        return false;
    }
    const int32_t width = static_cast<int32_t>(little32(file, 18));
    const int32_t height = static_cast<int32_t>(little32(file, 22));
    if (width <= 0 || height <= 0) {
        error = "not a bottom-up bitmap of positive size";
        return false;
    }
    if (little16(file, 26) != 1 || little16(file, 28) != 24 || little32(file, 30) != 0) {
        error = "not one plane, 24 bits, BI_RGB";
        return false;
    }
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    if (file.size() != kHeaders + stride * static_cast<size_t>(height)) {
        error = "pixel data does not fill the file exactly";
        return false;
    }
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * height, Pixel{});
    for (int row = 0; row < height; ++row) {
        const size_t start = kHeaders + stride * static_cast<size_t>(row);
        const int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const size_t at = start + static_cast<size_t>(x) * 3;
            pixels_[static_cast<size_t>(y) * width + x] = Pixel{file[at + 2], file[at + 1], file[at]};
        }
    }
    return true;
}

Pixel BitmapFile::at(int x, int y) const
{
    return pixels_.at(static_cast<size_t>(y) * width_ + x);
}

} // namespace hp::skintest
