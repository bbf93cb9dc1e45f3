// The objects behind GDI handles. Pens, brushes and fonts are plain records;
// bitmaps and device contexts have classes of their own (bitmap.h,
// device_context.h). The object table (object_table.h) owns them all.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi32/surface.h"
#include "platform/win32.h"

namespace hp::host {
class FontFace;
}

namespace hp::gdi32 {

enum class ObjectKind { Pen, Brush, Font, Bitmap, Palette, DeviceContext };

class GdiObject {
public:
    explicit GdiObject(ObjectKind kind) : kind_(kind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;

    ObjectKind kind() const { return kind_; }

    // Stock objects live for the whole process; DeleteObject ignores them.
    bool isStock() const { return stock_; }
    void markStock() { stock_ = true; }

    // How many device contexts have this object selected. An object deleted
    // while selected is destroyed when the last context lets it go, as the
    // platform does.
    int selectionCount = 0;
    bool deletePending = false;

private:
    ObjectKind kind_;
    bool stock_ = false;
};

class Pen : public GdiObject {
public:
    Pen(int style, int width, COLORREF color)
        : GdiObject(ObjectKind::Pen), style(style), width(width), color(color)
    {
    }
    int style;
    int width;
    COLORREF color;

    bool draws() const { return style != PS_NULL; }
};

class Brush : public GdiObject {
public:
    Brush(int style, COLORREF color) : GdiObject(ObjectKind::Brush), style(style), color(color) {}
    int style;
    COLORREF color;
    // BS_PATTERN: a copy of the bitmap taken when the brush was made, so
    // the bitmap may be deleted (or drawn into) afterwards.
    std::shared_ptr<const Surface> pattern;
    bool patternIsMonochrome = false;
    HBITMAP patternBitmap = nullptr;  // as the program passed it (GetObject)
};

class Font : public GdiObject {
public:
    explicit Font(const LOGFONTA &logFont) : GdiObject(ObjectKind::Font), logFont(logFont) {}
    LOGFONTA logFont;
    // The host face, realised on first use.
    std::shared_ptr<host::FontFace> face;
};

class Palette : public GdiObject {
public:
    Palette() : GdiObject(ObjectKind::Palette) {}
};

}  // namespace hp::gdi32
