#include "panel/scene_layout.h"

namespace {

constexpr SpriteSource rowSpriteIdle = {33, 33};
constexpr SpriteSource rowSpriteActive[rowSpriteCount] = {{0, 33}, {11, 33}, {22, 33}};
constexpr uint32_t rowCycleTicks = 210;

// Active range of each row sprite within the 210-tick cycle: the active one
// moves from the left sprite to the right one, then to the middle one.
struct TickRange {
    uint32_t first;
    uint32_t last;
};
constexpr TickRange rowSpriteActiveTicks[rowSpriteCount] = {{0, 70}, {141, 209}, {71, 140}};

constexpr uint32_t lightCycleTicks = 33;

}  // namespace

SpriteSource rowSpriteSource(int order, uint32_t frame)
{
    uint32_t tick = frame % rowCycleTicks;
    const TickRange &active = rowSpriteActiveTicks[order];
    return (tick >= active.first && tick <= active.last) ? rowSpriteActive[order] : rowSpriteIdle;
}

SpriteSource upperBlinkerSource(uint32_t frame)
{
    uint32_t tick = frame % 14;
    return tick >= 12 ? SpriteSource{12, 45} : SpriteSource{0, 45};
}

SpriteSource lowerBlinkerSource(uint32_t frame)
{
    uint32_t tick = frame % 19;
    return (tick == 1 || tick == 2) ? SpriteSource{12, 56} : SpriteSource{0, 56};
}

SpriteSource twinkleSource(int index, uint32_t frame)
{
    uint32_t phase = (frame + static_cast<uint32_t>(index)) % 8;
    return {static_cast<int>(9 * (phase / 2)), 95};
}

SpriteSource slowTwinkleSource(int index, uint32_t frame)
{
    uint32_t phase = (frame + static_cast<uint32_t>(index)) % 16;
    return {static_cast<int>(9 * (phase / 4)), 104};
}

const std::vector<RECT> &treeLights(LightGroup group)
{
    static const std::vector<RECT> red = {
        {378, 327, 381, 330}, {362, 342, 365, 345}, {384, 344, 387, 347},
        {378, 350, 381, 353}, {398, 356, 401, 359}, {362, 364, 365, 367},
        {381, 392, 384, 395}, {364, 409, 367, 412}, {384, 370, 387, 373}};
    static const std::vector<RECT> green = {
        {367, 337, 370, 340}, {382, 324, 385, 327}, {386, 333, 389, 336},
        {401, 339, 404, 342}, {347, 360, 350, 363}, {350, 409, 353, 412},
        {374, 383, 377, 386}, {382, 409, 385, 412}};
    static const std::vector<RECT> yellow = {
        {368, 330, 371, 333}, {381, 315, 384, 318}, {387, 363, 390, 366},
        {392, 374, 395, 377}, {379, 378, 382, 381}, {379, 408, 382, 411},
        {399, 401, 402, 404}};
    // The sixth blue light is one row taller. The last call is one pixel
    // wide, so with the null pen it fills nothing; it is kept as the tree's
    // lighting has always made it.
    static const std::vector<RECT> blue = {
        {374, 312, 377, 315}, {386, 327, 389, 330}, {387, 342, 390, 345},
        {378, 355, 381, 358}, {374, 366, 377, 369}, {381, 383, 384, 387},
        {386, 390, 389, 393}, {345, 394, 348, 397}, {366, 373, 369, 376},
        {366, 369, 369, 372}, {355, 351, 358, 354}, {363, 326, 366, 329},
        {404, 401, 407, 404}, {368, 410, 369, 413}};
    switch (group) {
    case LightGroup::Red:
        return red;
    case LightGroup::Green:
        return green;
    case LightGroup::Yellow:
        return yellow;
    case LightGroup::Blue:
        break;
    }
    return blue;
}

bool isLightGroupDark(LightGroup group, uint32_t frame)
{
    uint32_t tick = frame % lightCycleTicks;
    switch (group) {
    case LightGroup::Red:
        return tick >= 14;
    case LightGroup::Green:
        return tick <= 8 || tick >= 21;
    case LightGroup::Yellow:
        return tick >= 4 && tick <= 14;
    case LightGroup::Blue:
        return tick >= 14 && tick <= 29;
    }
    return false;
}
