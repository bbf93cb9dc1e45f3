// What a display has already put on the screen of a window's surface, area
// by area, so that an area drawn again with the same pixels is not sent
// again and one drawn partly anew is sent only where it changed. The
// animation redraws the same few areas at every tick, most of their pixels
// as they were.
//
// Only so many pixels are kept in all (the areas used longest ago go
// first); an area not kept is sent whole. Threading: GUI thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi32/surface.h"

namespace hp::gdi32 {

class ShownAreas {
public:
    // The part of `area` whose pixels differ from what was last shown of
    // the same area, as the box around them (empty when nothing differs;
    // the whole area when it was not kept); the surface's pixels there are
    // noted as shown.
    RECT changedPart(const Surface &surface, const RECT &area);

    // The screen was painted by other means: nothing is known to be shown.
    void forget();

private:
    struct Shown {
        RECT area;
        std::vector<uint32_t> pixels;  // rows of the area, top-down
        uint64_t lastUse;
    };
    static constexpr size_t maxKeptPixels = 128 * 1024;

    void makeRoom(size_t pixels);

    std::vector<Shown> shown_;
    size_t keptPixels_ = 0;
    uint64_t useCount_ = 0;
    int width_ = 0;  // the surface's size the areas were kept for
    int height_ = 0;
};

}  // namespace hp::gdi32
