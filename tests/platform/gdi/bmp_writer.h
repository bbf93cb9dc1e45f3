// Builds BMP files in memory for the decoder and cache tests.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace gdi_test {

struct BmpLayout {
    int width = 1;
    int height = 1;       // rows of the picture
    bool topDown = false;
    int bitsPerPixel = 24;
    uint32_t compression = 0;  // BI_RGB, BI_BITFIELDS (masks below)
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    uint32_t masks[3] = {0, 0, 0};
    // The stored value of pixel (x, y): a palette index, or the packed pixel.
    std::function<uint32_t(int, int)> value;
};

inline void put16(std::vector<uint8_t> &v, size_t at, uint32_t x)
{
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}
inline void put32(std::vector<uint8_t> &v, size_t at, uint32_t x)
{
    put16(v, at, x & 0xFFFF);
    put16(v, at + 2, x >> 16);
}

inline std::vector<uint8_t> buildBmp(const BmpLayout &s)
{
    const size_t stride = ((size_t(s.width) * s.bitsPerPixel + 31) / 32) * 4;
    const size_t masksBytes = s.compression == 3 ? 12 : 0;
    const size_t paletteBytes = s.palette.size() * 4;
    const size_t offset = 14 + 40 + masksBytes + paletteBytes;
    std::vector<uint8_t> f(offset + stride * s.height, 0);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, uint32_t(f.size()));
    put32(f, 10, uint32_t(offset));
    put32(f, 14, 40);
    put32(f, 18, uint32_t(s.width));
    put32(f, 22, uint32_t(s.topDown ? -s.height : s.height));
    put16(f, 26, 1);
    put16(f, 28, uint32_t(s.bitsPerPixel));
    put32(f, 30, s.compression);
    put32(f, 46, uint32_t(s.palette.size()));
    size_t at = 54;
    if (masksBytes) {
        for (uint32_t m : s.masks) {
            put32(f, at, m);
            at += 4;
        }
    }
    for (uint32_t c : s.palette) {
        f[at] = uint8_t(c);
        f[at + 1] = uint8_t(c >> 8);
        f[at + 2] = uint8_t(c >> 16);
        at += 4;
    }
    for (int y = 0; y < s.height; ++y) {
        const int stored = s.topDown ? y : s.height - 1 - y;
        uint8_t *row = f.data() + offset + stride * stored;
        for (int x = 0; x < s.width; ++x) {
            const uint32_t v = s.value(x, y);
            switch (s.bitsPerPixel) {
            case 1:
                row[x / 8] |= uint8_t((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= uint8_t((v & 15) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = uint8_t(v);
                break;
            case 16:
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
                break;
            case 24:
                row[3 * x] = uint8_t(v);
                row[3 * x + 1] = uint8_t(v >> 8);
                row[3 * x + 2] = uint8_t(v >> 16);
                break;
            case 32:
                for (int b = 0; b < 4; ++b)
                    row[4 * x + b] = uint8_t(v >> (8 * b));
                break;
            }
        }
    }
    return f;
}

}  // namespace gdi_test
