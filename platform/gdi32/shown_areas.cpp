#include "platform/gdi32/shown_areas.h"

#include <algorithm>
#include <cstring>

namespace hp::gdi32 {

void ShownAreas::forget()
{
    shown_.clear();
    keptPixels_ = 0;
}

void ShownAreas::makeRoom(size_t pixels)
{
    while (!shown_.empty() && keptPixels_ + pixels > maxKeptPixels) {
        auto oldest = std::min_element(shown_.begin(), shown_.end(),
                                       [](const Shown &a, const Shown &b) {
                                           return a.lastUse < b.lastUse;
                                       });
        keptPixels_ -= oldest->pixels.size();
        shown_.erase(oldest);
    }
}

RECT ShownAreas::changedPart(const Surface &surface, const RECT &requested)
{
    if (surface.width() != width_ || surface.height() != height_) {
        forget();
        width_ = surface.width();
        height_ = surface.height();
    }
    const RECT area{std::max<LONG>(requested.left, 0), std::max<LONG>(requested.top, 0),
                    std::min<LONG>(requested.right, surface.width()),
                    std::min<LONG>(requested.bottom, surface.height())};
    if (area.right <= area.left || area.bottom <= area.top)
        return RECT{0, 0, 0, 0};
    const size_t width = static_cast<size_t>(area.right - area.left);
    const size_t height = static_cast<size_t>(area.bottom - area.top);
    const size_t rowBytes = width * sizeof(uint32_t);
    auto rowOf = [&](size_t y) { return surface.pixels() + (area.top + y) * surface.width() + area.left; };

    auto found = std::find_if(shown_.begin(), shown_.end(), [&](const Shown &shown) {
        return std::memcmp(&shown.area, &area, sizeof area) == 0;
    });
    if (found == shown_.end()) {
        if (width * height > maxKeptPixels)
            return area;
        makeRoom(width * height);
        Shown shown{area, std::vector<uint32_t>(width * height), ++useCount_};
        for (size_t y = 0; y < height; ++y)
            std::memcpy(shown.pixels.data() + y * width, rowOf(y), rowBytes);
        keptPixels_ += shown.pixels.size();
        shown_.push_back(std::move(shown));
        return area;
    }

    found->lastUse = ++useCount_;
    RECT changed{area.right, area.bottom, area.left, area.top};
    for (size_t y = 0; y < height; ++y) {
        const uint32_t *now = rowOf(y);
        uint32_t *before = found->pixels.data() + y * width;
        if (std::memcmp(now, before, rowBytes) == 0)
            continue;
        size_t first = 0;
        while (now[first] == before[first])
            ++first;
        size_t last = width - 1;
        while (now[last] == before[last])
            --last;
        changed.left = std::min<LONG>(changed.left, area.left + static_cast<LONG>(first));
        changed.right = std::max<LONG>(changed.right, area.left + static_cast<LONG>(last) + 1);
        changed.top = std::min<LONG>(changed.top, area.top + static_cast<LONG>(y));
        changed.bottom = area.top + static_cast<LONG>(y) + 1;
        std::memcpy(before, now, rowBytes);
    }
    if (changed.right <= changed.left)
        return RECT{0, 0, 0, 0};
    return changed;
}

}  // namespace hp::gdi32
