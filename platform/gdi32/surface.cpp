#include "platform/gdi32/surface.h"

#include <algorithm>

namespace hp::gdi32 {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, 0)
{
}

void Surface::resize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
    const int keepWidth = std::min(width, width_);
    const int keepHeight = std::min(height, height_);
    for (int y = 0; y < keepHeight; ++y)
        std::copy_n(pixels_.data() + static_cast<size_t>(y) * width_, keepWidth,
                    pixels.data() + static_cast<size_t>(y) * width);
    pixels_.swap(pixels);
    width_ = width;
    height_ = height;
    damage_ = RECT{0, 0, 0, 0};
}

void Surface::addDamage(const RECT &area)
{
    RECT clipped{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
                 std::min<LONG>(area.right, width_), std::min<LONG>(area.bottom, height_)};
    if (clipped.right <= clipped.left || clipped.bottom <= clipped.top)
        return;
    if (!hasDamage()) {
        damage_ = clipped;
        return;
    }
    damage_.left = std::min(damage_.left, clipped.left);
    damage_.top = std::min(damage_.top, clipped.top);
    damage_.right = std::max(damage_.right, clipped.right);
    damage_.bottom = std::max(damage_.bottom, clipped.bottom);
}

RECT Surface::takeDamage()
{
    RECT damage = hasDamage() ? damage_ : RECT{0, 0, 0, 0};
    damage_ = RECT{0, 0, 0, 0};
    return damage;
}

}  // namespace hp::gdi32
