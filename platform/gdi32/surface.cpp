#include "platform/gdi32/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/gdi32/rectangles.h"

namespace hp::gdi32 {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, 0)
{
}

Surface::Surface(const Surface &other)
    : width_(other.width_),
      height_(other.height_),
      pixels_(other.pixels_),
      damage_(other.damage_),
      device_(other.device_ ? std::make_unique<Surface>(*other.device_) : nullptr),
      scale_(other.scale_)
{
}

Surface &Surface::operator=(const Surface &other)
{
    if (this != &other) {
        Surface copy(other);
        width_ = copy.width_;
        height_ = copy.height_;
        pixels_.swap(copy.pixels_);
        damage_.swap(copy.damage_);
        device_.swap(copy.device_);
        scale_ = copy.scale_;
    }
    return *this;
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
    damage_.clear();
    if (device_) {
        device_ = std::make_unique<Surface>(width_ * scale_, height_ * scale_);
        copyToDevice(RECT{0, 0, width_, height_});
    }
}

void Surface::setDeviceScale(int scale)
{
    scale = std::max(scale, 1);
    if (scale == scale_)
        return;
    scale_ = scale;
    device_.reset();
    if (scale_ == 1)
        return;
    device_ = std::make_unique<Surface>(width_ * scale_, height_ * scale_);
    copyToDevice(RECT{0, 0, width_, height_});
}

void Surface::copyToDevice(const RECT &area)
{
    for (LONG y = area.top; y < area.bottom; ++y) {
        const uint32_t *from = row(y) + area.left;
        for (int k = 0; k < scale_; ++k) {
            uint32_t *to = device_->row(y * scale_ + k) + area.left * scale_;
            for (LONG x = area.left; x < area.right; ++x, to += scale_)
                std::fill_n(to, scale_, from[x - area.left]);
        }
    }
}

namespace {

int64_t areaOf(const RECT &r)
{
    return static_cast<int64_t>(r.right - r.left) * (r.bottom - r.top);
}

RECT unionOf(const RECT &a, const RECT &b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// Pixels that the union of two rectangles covers beyond the two.
int64_t wasteOf(const RECT &a, const RECT &b)
{
    return areaOf(unionOf(a, b)) - areaOf(a) - areaOf(b);
}

// Merging costs little when the union adds no more than a small sprite's
// worth of pixels that were not drawn.
constexpr int64_t acceptableWaste = 64;

}  // namespace

void Surface::addDamage(const RECT &area)
{
    RECT added{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
               std::min<LONG>(area.right, width_), std::min<LONG>(area.bottom, height_)};
    if (isEmptyRect(added))
        return;
    if (device_)
        copyToDevice(added);
    for (const RECT &known : damage_) {
        if (added.left >= known.left && added.top >= known.top && added.right <= known.right &&
            added.bottom <= known.bottom)
            return;
    }
    // Absorb every rectangle that merges cheaply, until none does.
    for (size_t i = 0; i < damage_.size();) {
        if (wasteOf(damage_[i], added) <= acceptableWaste) {
            added = unionOf(damage_[i], added);
            damage_.erase(damage_.begin() + static_cast<std::ptrdiff_t>(i));
            i = 0;
        } else {
            ++i;
        }
    }
    damage_.push_back(added);
    if (damage_.size() <= maxDamageRectangles)
        return;
    // Too many: merge the pair that wastes least.
    size_t bestA = 0;
    size_t bestB = 1;
    int64_t bestWaste = wasteOf(damage_[0], damage_[1]);
    for (size_t a = 0; a < damage_.size(); ++a)
        for (size_t b = a + 1; b < damage_.size(); ++b) {
            int64_t waste = wasteOf(damage_[a], damage_[b]);
            if (waste < bestWaste) {
                bestWaste = waste;
                bestA = a;
                bestB = b;
            }
        }
    damage_[bestA] = unionOf(damage_[bestA], damage_[bestB]);
    damage_.erase(damage_.begin() + static_cast<std::ptrdiff_t>(bestB));
}

std::vector<RECT> Surface::takeDamage()
{
    std::vector<RECT> damage;
    damage.swap(damage_);
    return damage;
}

}  // namespace hp::gdi32
