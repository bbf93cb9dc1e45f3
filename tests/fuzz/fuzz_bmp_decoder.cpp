// The BMP decoder on arbitrary bytes, read as a BMP file, as a DIB and as
// the image of an icon (colour image and AND mask): a decoded picture has
// a sane size, and every plane handed out with it covers exactly its
// pixels.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gdi32/bmp_decoder.h"

namespace {

using hp::gdi32::DecodedImage;

// Larger pictures (run-length data reaches any size from a few bytes) run
// the same code, only for longer: the search stays with small ones.
constexpr int64_t searchedPixels = 1 << 14;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkImage(const DecodedImage &image)
{
    require(image.pixels != nullptr);
    const int width = image.pixels->width();
    const int height = image.pixels->height();
    require(width > 0 && height > 0 && width <= 32767 && height <= 32767);
    const size_t pixels = static_cast<size_t>(width) * height;
    require(image.alpha.empty() || image.alpha.size() == pixels);
    const size_t stride = ((static_cast<size_t>(width) * image.bitsPerPixel + 31) / 32) * 4;
    require(image.dibBits.empty() || image.dibBits.size() == stride * height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DecodedImage file;
    if (hp::gdi32::decodeBmpFile(data, size, file, searchedPixels))
        checkImage(file);

    DecodedImage dib;
    if (hp::gdi32::decodeDib(data, size, dib, 0, nullptr, searchedPixels))
        checkImage(dib);

    DecodedImage icon;
    std::vector<uint8_t> mask;
    if (hp::gdi32::decodeDib(data, size, icon, INT_MAX / 2, &mask, searchedPixels)) {
        checkImage(icon);
        require(mask.size() ==
                static_cast<size_t>(icon.pixels->width()) * icon.pixels->height());
        for (uint8_t bit : mask)
            require(bit <= 1);
    }
    return 0;
}
