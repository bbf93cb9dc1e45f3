#include "tools/skin/image_encoders.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace hp::skin {

namespace {

void putLittle16(Bytes& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void putLittle32(Bytes& out, uint32_t value)
{
    putLittle16(out, value & 0xFFFF);
    putLittle16(out, value >> 16);
}

void putBig32(Bytes& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void putInfoHeader(Bytes& out, int width, int height, int bitsPerPixel, uint32_t imageBytes)
{
    putLittle32(out, 40);
    putLittle32(out, static_cast<uint32_t>(width));
    putLittle32(out, static_cast<uint32_t>(height));
    putLittle16(out, 1);
    putLittle16(out, static_cast<uint32_t>(bitsPerPixel));
    putLittle32(out, 0); // BI_RGB
    putLittle32(out, imageBytes);
    putLittle32(out, 2835); // 72 dpi
    putLittle32(out, 2835);
    putLittle32(out, 0);
    putLittle32(out, 0);
}

uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    crc = ~crc;
    for (size_t i = 0; i < length; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putChunk(Bytes& out, const char* type, const Bytes& body)
{
    putBig32(out, static_cast<uint32_t>(body.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    putBig32(out, crc32(typed.data(), typed.size()));
}

Bytes storedZlib(const Bytes& raw)
{
    constexpr size_t kMaxStoredBlock = 65535;
    Bytes out{0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = std::min(kMaxStoredBlock, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        putLittle16(out, static_cast<uint32_t>(length));
        putLittle16(out, static_cast<uint32_t>(~length & 0xFFFF));
        out.insert(out.end(), raw.begin() + static_cast<long>(offset),
                   raw.begin() + static_cast<long>(offset + length));
        offset += length;
    } while (offset < raw.size());
    uint32_t sumA = 1, sumB = 0;
    for (uint8_t byte : raw) {
        sumA = (sumA + byte) % 65521;
        sumB = (sumB + sumA) % 65521;
    }
    putBig32(out, (sumB << 16) | sumA);
    return out;
}

} // namespace

Bytes encodeBmp24(const Raster& picture)
{
    const int width = picture.width();
    const int height = picture.height();
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = stride * static_cast<uint32_t>(height);
    constexpr uint32_t kHeaderBytes = 14 + 40;

    Bytes out;
    out.reserve(kHeaderBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    putLittle32(out, kHeaderBytes + imageBytes);
    putLittle32(out, 0);
    putLittle32(out, kHeaderBytes);
    putInfoHeader(out, width, height, 24, imageBytes);
    for (int y = height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < width; ++x) {
            const Rgba pixel = picture.at(x, y);
            out.push_back(pixel.blue);
            out.push_back(pixel.green);
            out.push_back(pixel.red);
        }
        while (out.size() - rowStart < stride)
            out.push_back(0);
    }
    return out;
}

Bytes encodePng(const Raster& picture)
{
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    putBig32(header, static_cast<uint32_t>(picture.width()));
    putBig32(header, static_cast<uint32_t>(picture.height()));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, no interlace
    putChunk(out, "IHDR", header);

    Bytes raw;
    raw.reserve(static_cast<size_t>(picture.height()) * (picture.width() * 4 + 1));
    for (int y = 0; y < picture.height(); ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < picture.width(); ++x) {
            const Rgba pixel = picture.at(x, y);
            raw.insert(raw.end(), {pixel.red, pixel.green, pixel.blue, pixel.alpha});
        }
    }
    putChunk(out, "IDAT", storedZlib(raw));
    putChunk(out, "IEND", Bytes{});
    return out;
}

Bytes encodeIco(const std::vector<Raster>& sizes)
{
    std::vector<Bytes> images;
    for (const Raster& picture : sizes) {
        const int side = picture.width();
        const uint32_t maskStride = ((static_cast<uint32_t>(side) + 31) / 32) * 4;
        const uint32_t colorBytes = static_cast<uint32_t>(side * side * 4);
        const uint32_t maskBytes = maskStride * static_cast<uint32_t>(side);
        Bytes image;
        // The height counts the colour rows and the mask rows.
        putInfoHeader(image, side, side * 2, 32, colorBytes + maskBytes);
        for (int y = side - 1; y >= 0; --y) {
            for (int x = 0; x < side; ++x) {
                Rgba pixel = picture.at(x, y);
                if (pixel.alpha == 0)
                    pixel = Rgba{0, 0, 0, 0};
                image.insert(image.end(), {pixel.blue, pixel.green, pixel.red, pixel.alpha});
            }
        }
        for (int y = side - 1; y >= 0; --y) {
            Bytes row(maskStride, 0);
            for (int x = 0; x < side; ++x)
                if (picture.at(x, y).alpha == 0)
                    row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            image.insert(image.end(), row.begin(), row.end());
        }
        images.push_back(std::move(image));
    }

    Bytes out;
    putLittle16(out, 0);
    putLittle16(out, 1); // icon
    putLittle16(out, static_cast<uint32_t>(sizes.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        const int side = sizes[i].width();
        out.push_back(static_cast<uint8_t>(side >= 256 ? 0 : side));
        out.push_back(static_cast<uint8_t>(side >= 256 ? 0 : side));
        out.push_back(0); // no palette
        out.push_back(0);
        putLittle16(out, 1);  // planes
        putLittle16(out, 32); // bits per pixel
        putLittle32(out, static_cast<uint32_t>(images[i].size()));
        putLittle32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const Bytes& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace hp::skin
