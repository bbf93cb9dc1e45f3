// A strict reader for the skin's bitmaps, written apart from the generator
// so that the tests check the files rather than the writer's own idea of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hp::skintest {

using Bytes = std::vector<uint8_t>;

struct Pixel {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Pixel& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const Pixel& other) const { return !(*this == other); }
};

class BitmapFile {
public:
    // Accepts only BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits, BI_RGB,
    // bottom-up rows padded to four bytes, and a file exactly that long.
    // On failure returns false and says why.
    bool parse(const Bytes& file, std::string& error);

    int width() const { return width_; }
    int height() const { return height_; }
    // (x, y) counted from the top-left corner, as on the screen.
    Pixel at(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

Bytes readFile(const std::string& path);
uint32_t little32(const Bytes& bytes, size_t offset);
uint16_t little16(const Bytes& bytes, size_t offset);

} // namespace hp::skintest
