// Fonts as GDI uses them: matched on the host, measured in GDI's terms and
// rasterised glyph by glyph into coverage masks.
//
// Host boundary: the implementation (pango_font_face.cpp) is the only code
// that talks to fontconfig, pango and cairo. Both display backends, GTK and
// headless, draw text through it, so tests see the same pixels as the
// screen.
//
// Threading: GUI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hp::host {

// What CreateFontA asked for, with the face name already in UTF-8.
struct FontRequest {
    std::string faceUtf8;
    int height = 0;  // > 0: cell height; < 0: character (em) height; 0: default
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = 1;
    int pitchAndFamily = 0;
    int quality = 0;
};

// The realised font in GDI's terms (TEXTMETRIC), in pixels.
struct FontMetrics {
    int height = 0;  // cell height: ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;  // height - em
    int averageCharWidth = 0;
    int maxCharWidth = 0;
    // Fixed pitch: the advance of every single-byte character; a
    // double-byte character takes twice this.
    int halfWidthAdvance = 0;
    int weight = 400;
    bool fixedPitch = false;
    bool syntheticBold = false;
};

// One glyph's coverage (0-255), placed relative to the pen: the pen stands
// on the baseline at the left edge of the character's cell.
struct GlyphMask {
    int left = 0;  // mask's top-left minus the pen position
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width * height, rows top-down
    int advance = 0;  // proportional advance in pixels
};

class FontFace {
public:
    // Matches a host font for the request; never fails (an unknown face
    // falls back to a font of the same kind). Faces with equal requests are
    // shared.
    static std::shared_ptr<FontFace> open(const FontRequest &request);

    ~FontFace();
    FontFace(const FontFace &) = delete;
    FontFace &operator=(const FontFace &) = delete;

    const FontMetrics &metrics() const;

    // The host family that was chosen (e.g. "IPAMincho") and its file.
    const std::string &family() const;
    const std::string &file() const;

    // The glyph of a Unicode scalar value (cached).
    const GlyphMask &glyph(char32_t character);

    // Live faces in the process (leak checks).
    static int liveCount();

    struct Impl;

private:
    explicit FontFace(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace hp::host
