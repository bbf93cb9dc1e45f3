#include "platform/gdi32/bmp_decoder.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel32/little_endian.h"

namespace hp::gdi32 {

namespace {

constexpr uint32_t coreHeaderSize = 12;
constexpr uint32_t infoHeaderSize = 40;
constexpr uint32_t compressionRgb = 0;
constexpr uint32_t compressionRle8 = 1;
constexpr uint32_t compressionRle4 = 2;
constexpr uint32_t compressionBitfields = 3;
constexpr int64_t maxSidePixels = 32767;

using kernel32::readLe16;
using kernel32::readLe32;

struct ChannelMask {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit ChannelMask(uint32_t value = 0) : mask(value)
    {
        if (!mask)
            return;
        while (!((mask >> shift) & 1))
            ++shift;
        while (shift + bits < 32 && ((mask >> (shift + bits)) & 1))
            ++bits;
    }
};

struct Header {
    int64_t width = 0;
    int64_t height = 0;  // signed as stored: negative means top-down
    int bitsPerPixel = 0;
    uint32_t compression = compressionRgb;
    uint32_t colorsUsed = 0;
    uint32_t headerSize = 0;
    bool core = false;
    uint32_t masks[4] = {0, 0, 0, 0};
    bool hasMasks = false;
    size_t colorTableOffset = 0;  // from the header's start
};

bool readHeader(const uint8_t *p, size_t size, Header &h)
{
    if (size < 4)
        return false;
    h.headerSize = readLe32(p);
    if (h.headerSize == coreHeaderSize) {
        if (size < coreHeaderSize)
            return false;
        h.core = true;
        h.width = readLe16(p + 4);
        h.height = static_cast<int16_t>(readLe16(p + 6));
        h.bitsPerPixel = readLe16(p + 10);
        h.colorTableOffset = coreHeaderSize;
        return true;
    }
    if (h.headerSize < infoHeaderSize || h.headerSize > size)
        return false;
    h.width = static_cast<int32_t>(readLe32(p + 4));
    h.height = static_cast<int32_t>(readLe32(p + 8));
    h.bitsPerPixel = readLe16(p + 14);
    h.compression = readLe32(p + 16);
    h.colorsUsed = readLe32(p + 32);
    h.colorTableOffset = h.headerSize;
    if (h.compression == compressionBitfields) {
        if (h.headerSize >= infoHeaderSize + 12) {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = readLe32(p + 40 + 4 * i);
            if (h.headerSize >= infoHeaderSize + 16)
                h.masks[3] = readLe32(p + 52);
        } else {
            // Masks follow a plain BITMAPINFOHEADER.
            if (size < infoHeaderSize + 12)
                return false;
            for (int i = 0; i < 3; ++i)
                h.masks[i] = readLe32(p + 40 + 4 * i);
            h.colorTableOffset = infoHeaderSize + 12;
        }
        h.hasMasks = true;
    }
    return true;
}

bool plausible(const Header &h, int64_t maxPixels)
{
    if (h.width <= 0 || h.height == 0 || h.width > maxSidePixels)
        return false;
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (rows > maxSidePixels || h.width * rows > maxPixels)
        return false;
    switch (h.bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 24:
        return h.compression == compressionRgb ||
               (h.compression == compressionRle8 && h.bitsPerPixel == 8 && h.height > 0) ||
               (h.compression == compressionRle4 && h.bitsPerPixel == 4 && h.height > 0);
    case 16:
    case 32:
        return h.compression == compressionRgb || h.compression == compressionBitfields;
    default:
        return false;
    }
}

uint32_t channelToByte(const ChannelMask &m, uint32_t pixel)
{
    if (!m.bits)
        return 0;
    uint32_t value = (pixel & m.mask) >> m.shift;
    if (m.bits >= 8)
        return (value >> (m.bits - 8)) & 0xFF;
    const uint32_t maximum = (1u << m.bits) - 1;
    return (value * 255 + maximum / 2) / maximum;
}

void decodeRle(const uint8_t *data, size_t size, const Header &h, int rows,
               std::vector<uint8_t> &indices)
{
    const int width = static_cast<int>(h.width);
    indices.assign(static_cast<size_t>(width) * rows, 0);
    int x = 0;
    int y = rows - 1;  // RLE bitmaps are bottom-up
    size_t i = 0;
    const bool four = h.compression == compressionRle4;
    auto put = [&](uint8_t index) {
        if (x < width && y >= 0 && y < rows)
            indices[static_cast<size_t>(y) * width + x] = index;
        ++x;
    };
    while (i + 1 < size && y >= 0) {
        const uint8_t count = data[i];
        const uint8_t value = data[i + 1];
        i += 2;
        if (count) {
            for (int n = 0; n < count; ++n)
                put(four ? ((n & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            --y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (i + 1 >= size)
                break;
            x += data[i];
            y -= data[i + 1];
            i += 2;
        } else {  // absolute run of `value` pixels, padded to a word
            const size_t bytes = four ? (value + 1u) / 2u : value;
            if (i + bytes > size)
                break;
            for (int n = 0; n < value; ++n)
                put(four ? ((n & 1) ? (data[i + n / 2] & 0x0F) : (data[i + n / 2] >> 4))
                         : data[i + n]);
            i += (bytes + 1) & ~static_cast<size_t>(1);
        }
    }
}

bool decode(const uint8_t *headerBytes, size_t headerAvailable, const uint8_t *pixelBytes,
            size_t pixelAvailable, const Header &h, int imageRows, DecodedImage &image)
{
    const int width = static_cast<int>(h.width);
    const bool topDown = h.height < 0;
    const bool runLength = h.compression == compressionRle8 || h.compression == compressionRle4;
    const size_t stride = ((static_cast<size_t>(width) * h.bitsPerPixel + 31) / 32) * 4;
    // A header may claim any size: the rows it claims must be in the file
    // before a picture of that size is made.
    if (!runLength && stride * static_cast<size_t>(imageRows) > pixelAvailable)
        return false;

    // Colour table: the header's colour count sizes the stored table (at
    // most 256 entries); pixels can only index the first 2^depth of them,
    // and the rest are skipped.
    std::vector<uint32_t> palette;
    if (h.bitsPerPixel <= 8) {
        const size_t depthEntries = size_t(1) << h.bitsPerPixel;
        size_t entries = h.colorsUsed ? h.colorsUsed : depthEntries;
        if (entries > 256)
            entries = 256;
        const size_t entrySize = h.core ? 3 : 4;
        if (h.colorTableOffset + entries * entrySize > headerAvailable)
            return false;
        palette.resize(depthEntries, 0);
        for (size_t i = 0; i < std::min(entries, depthEntries); ++i) {
            const uint8_t *e = headerBytes + h.colorTableOffset + i * entrySize;
            palette[i] = (static_cast<uint32_t>(e[2]) << 16) | (e[1] << 8) | e[0];
        }
    }

    auto surface = std::make_shared<Surface>(width, imageRows);
    image.bitsPerPixel = h.bitsPerPixel;
    image.topDown = topDown;
    image.alpha.clear();

    if (runLength) {
        std::vector<uint8_t> indices;
        decodeRle(pixelBytes, pixelAvailable, h, imageRows, indices);
        for (int y = 0; y < imageRows; ++y)
            for (int x = 0; x < width; ++x)
                surface->row(y)[x] = palette[indices[static_cast<size_t>(y) * width + x]];
        image.pixels = std::move(surface);
        image.dibBits.clear();
        return true;
    }

    const int storedRows = static_cast<int>(topDown ? -h.height : h.height);

    ChannelMask red, green, blue, alphaMask;
    if (h.bitsPerPixel == 16) {
        red = ChannelMask(h.hasMasks ? h.masks[0] : 0x7C00);
        green = ChannelMask(h.hasMasks ? h.masks[1] : 0x03E0);
        blue = ChannelMask(h.hasMasks ? h.masks[2] : 0x001F);
        alphaMask = ChannelMask(h.hasMasks ? h.masks[3] : 0);
    } else if (h.bitsPerPixel == 32) {
        red = ChannelMask(h.hasMasks ? h.masks[0] : 0x00FF0000);
        green = ChannelMask(h.hasMasks ? h.masks[1] : 0x0000FF00);
        blue = ChannelMask(h.hasMasks ? h.masks[2] : 0x000000FF);
        alphaMask = ChannelMask(h.hasMasks ? h.masks[3] : 0xFF000000);
    }

    std::vector<uint8_t> alpha;
    bool anyAlpha = false;
    if (h.bitsPerPixel == 32 || (h.bitsPerPixel == 16 && alphaMask.bits))
        alpha.resize(static_cast<size_t>(width) * imageRows, 0);

    for (int y = 0; y < imageRows; ++y) {
        // Row y of the picture (top-down) is stored at this row of the array.
        const int storedRow = topDown ? y : (storedRows - 1 - y) - (storedRows - imageRows);
        const uint8_t *src = pixelBytes + stride * static_cast<size_t>(storedRow);
        uint32_t *dst = surface->row(y);
        for (int x = 0; x < width; ++x) {
            switch (h.bitsPerPixel) {
            case 1:
                dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                dst[x] = palette[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
                break;
            case 8:
                dst[x] = palette[src[x]];
                break;
            case 24: {
                const uint8_t *p = src + 3 * x;
                dst[x] = (static_cast<uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
                break;
            }
            case 16:
            case 32: {
                const uint32_t value =
                    h.bitsPerPixel == 16 ? readLe16(src + 2 * x) : readLe32(src + 4 * x);
                dst[x] = (channelToByte(red, value) << 16) | (channelToByte(green, value) << 8) |
                         channelToByte(blue, value);
                if (!alpha.empty()) {
                    uint8_t a = static_cast<uint8_t>(channelToByte(alphaMask, value));
                    alpha[static_cast<size_t>(y) * width + x] = a;
                    anyAlpha = anyAlpha || a != 0;
                }
                break;
            }
            }
        }
    }
    if (anyAlpha)
        image.alpha = std::move(alpha);
    image.dibBits.assign(pixelBytes, pixelBytes + stride * static_cast<size_t>(imageRows));
    image.pixels = std::move(surface);
    return true;
}

}  // namespace

bool decodeBmpFile(const uint8_t *bytes, size_t size, DecodedImage &image, int64_t maxPixels)
{
    constexpr size_t fileHeaderSize = 14;
    if (!bytes || size < fileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const uint32_t pixelOffset = readLe32(bytes + 10);
    Header h;
    if (!readHeader(bytes + fileHeaderSize, size - fileHeaderSize, h) || !plausible(h, maxPixels))
        return false;
    if (pixelOffset >= size || pixelOffset < fileHeaderSize + h.headerSize)
        return false;
    const int rows = static_cast<int>(h.height < 0 ? -h.height : h.height);
    return decode(bytes + fileHeaderSize, pixelOffset - fileHeaderSize, bytes + pixelOffset,
                  size - pixelOffset, h, rows, image);
}

bool decodeDib(const uint8_t *bytes, size_t size, DecodedImage &image, int iconHeight,
               std::vector<uint8_t> *mask, int64_t maxPixels)
{
    Header h;
    if (!bytes || !readHeader(bytes, size, h))
        return false;
    if (iconHeight > 0) {
        // The stored height covers the XOR image and the AND mask.
        if (h.height <= 0 ||
            (h.compression != compressionRgb && h.compression != compressionBitfields))
            return false;
    }
    if (!plausible(h, maxPixels))
        return false;
    size_t tableEntries = 0;
    if (h.bitsPerPixel <= 8)
        tableEntries = h.colorsUsed ? std::min<uint32_t>(h.colorsUsed, 256) : (1u << h.bitsPerPixel);
    const size_t pixelOffset = h.colorTableOffset + tableEntries * (h.core ? 3 : 4);
    if (pixelOffset > size)
        return false;
    const int rows = iconHeight > 0 ? std::min<int>(iconHeight, static_cast<int>(h.height) / 2)
                                    : static_cast<int>(h.height < 0 ? -h.height : h.height);
    if (rows <= 0)
        return false;

    Header imageHeader = h;
    if (iconHeight > 0)
        imageHeader.height = rows;  // bottom-up, XOR image first
    if (!decode(bytes, size, bytes + pixelOffset, size - pixelOffset, imageHeader, rows, image))
        return false;
    if (iconHeight > 0 && mask) {
        const int width = static_cast<int>(h.width);
        const size_t xorStride = ((static_cast<size_t>(width) * h.bitsPerPixel + 31) / 32) * 4;
        const size_t andStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
        const size_t andOffset = pixelOffset + xorStride * rows;
        mask->assign(static_cast<size_t>(width) * rows, 0);
        if (andOffset + andStride * rows <= size) {
            for (int y = 0; y < rows; ++y) {
                const uint8_t *src = bytes + andOffset + andStride * static_cast<size_t>(rows - 1 - y);
                for (int x = 0; x < width; ++x)
                    (*mask)[static_cast<size_t>(y) * width + x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            }
        }
    }
    return true;
}

}  // namespace hp::gdi32
