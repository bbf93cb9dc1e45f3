// A small proportional bitmap font (capitals 7 pixels high, descenders one
// row lower) so that labels need no font installed on the building machine.
#pragma once

#include <string>

#include "tools/skin/raster.h"

namespace hp::skin {

class PixelFont {
public:
    static constexpr int kCapHeight = 7;
    static constexpr int kRows = 8;

    // Width in font pixels of the text, one pixel of spacing between glyphs.
    static int textWidth(const std::string& text);

    // Draws the text with its top-left corner at (left, top); each font pixel
    // becomes a scaleX x scaleY block. Characters without a glyph are skipped
    // with the width of a space.
    static void draw(Raster& target, int left, int top, const std::string& text, Rgba color,
                     int scaleX = 1, int scaleY = 1);

    // Calls visit(x, y) for every set font pixel, in font pixels from the origin.
    template <typename Visit>
    static void forEachPixel(const std::string& text, Visit visit);

private:
    // Rows of the glyph separated by '|', '#' for a set pixel; null if none.
    static const char* glyph(char character);
};

template <typename Visit>
void PixelFont::forEachPixel(const std::string& text, Visit visit)
{
    int penX = 0;
    for (char character : text) {
        const char* rows = glyph(character);
        if (!rows) {
            penX += 4;
            continue;
        }
        int row = 0, column = 0, width = 0;
        for (const char* cursor = rows; *cursor; ++cursor) {
            if (*cursor == '|') {
                ++row;
                column = 0;
                continue;
            }
            if (*cursor == '#')
                visit(penX + column, row);
            ++column;
            if (column > width)
                width = column;
        }
        penX += width + 1;
    }
}

} // namespace hp::skin
