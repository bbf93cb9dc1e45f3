#include "platform/gdi32/device_context.h"

#include "platform/gdi32/object_table.h"
#include "platform/gdi32/rectangles.h"

namespace hp::gdi32 {

namespace {

Bitmap *selectedBitmap(DeviceContext &dc)
{
    return ObjectTable::instance().findAs<Bitmap>(dc.bitmap, ObjectKind::Bitmap);
}

// Memory contexts whose bitmap has gone (cannot happen through the API, the
// table defers deletion of selected objects) draw into nothing.
Surface &emptySurface()
{
    static Surface surface(0, 0);
    return surface;
}

}  // namespace

DeviceContext::DeviceContext(Type type, HWND window, std::shared_ptr<Surface> windowSurface)
    : GdiObject(ObjectKind::DeviceContext),
      type(type),
      window(window),
      windowSurface(std::move(windowSurface))
{
}

DrawTarget::DrawTarget(DeviceContext &dc)
{
    if (dc.type == DeviceContext::Type::Window) {
        surface_ = dc.windowSurface ? dc.windowSurface.get() : &emptySurface();
        return;
    }
    bitmap_ = selectedBitmap(dc);
    if (!bitmap_) {
        surface_ = &emptySurface();
        return;
    }
    surface_ = &bitmap_->pixelsForWrite();
    monochrome_ = bitmap_->isMonochrome();
}

DrawTarget::~DrawTarget()
{
    if (bitmap_ && touched_)
        bitmap_->endWrite();
}

void DrawTarget::touched(const RECT &area)
{
    if (isEmptyRect(area))
        return;
    touched_ = true;
    if (!bitmap_)
        surface_->addDamage(area);
}

const Surface &readablePixels(DeviceContext &dc, bool *monochrome)
{
    if (monochrome)
        *monochrome = false;
    if (dc.type == DeviceContext::Type::Window)
        return dc.windowSurface ? *dc.windowSurface : emptySurface();
    Bitmap *bitmap = selectedBitmap(dc);
    if (!bitmap)
        return emptySurface();
    if (monochrome)
        *monochrome = bitmap->isMonochrome();
    return bitmap->pixels();
}

}  // namespace hp::gdi32
