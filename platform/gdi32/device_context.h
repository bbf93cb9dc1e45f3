// A device context: the drawing state (selected objects, colours, modes)
// and the pixels it draws into, a window's surface or the bitmap selected
// into a memory context.
#pragma once

#include <memory>

#include "platform/gdi32/bitmap.h"
#include "platform/gdi32/gdi_object.h"

namespace hp::gdi32 {

class DeviceContext : public GdiObject {
public:
    enum class Type { Window, Memory };

    DeviceContext(Type type, HWND window, std::shared_ptr<Surface> windowSurface);

    Type type;
    HWND window = nullptr;
    std::shared_ptr<Surface> windowSurface;

    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;  // memory contexts only

    COLORREF backgroundColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    int backgroundMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    POINT brushOrigin{0, 0};
};

// The pixels one drawing call works on. Window contexts draw into the
// window's surface (the drawn area becomes damage to present); memory
// contexts into their bitmap (copied first if shared, the program's DIB
// bits brought in step afterwards).
class DrawTarget {
public:
    explicit DrawTarget(DeviceContext &dc);
    ~DrawTarget();
    DrawTarget(const DrawTarget &) = delete;
    DrawTarget &operator=(const DrawTarget &) = delete;

    Surface &surface() { return *surface_; }
    bool isMonochrome() const { return monochrome_; }
    // Marks an area as drawn (clipped to the surface).
    void touched(const RECT &area);

private:
    Surface *surface_ = nullptr;
    Bitmap *bitmap_ = nullptr;
    bool monochrome_ = false;
    bool touched_ = false;
};

// The pixels a context reads from (the source of a blit, GetPixel).
const Surface &readablePixels(DeviceContext &dc, bool *monochrome = nullptr);

}  // namespace hp::gdi32
