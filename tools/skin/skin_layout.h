// Where the program puts things on the 632 x 500 window and what it cuts
// from the parts sheet. Every picture the generator paints is laid out
// around these fixed places.
#pragma once

#include <array>

#include "tools/skin/raster.h"

namespace hp::skin::layout {

constexpr int kWindowWidth = 632;
constexpr int kWindowHeight = 500;
constexpr int kPartsWidth = 208;
constexpr int kPartsHeight = 300;

struct Spot {
    int x;
    int y;
};

// Inclusive pixel bounds.
struct Area {
    int left;
    int top;
    int right;
    int bottom;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Row sprites: three places that take turns showing their own active picture.
constexpr int kRowSpriteWidth = 10;
constexpr int kRowSpriteHeight = 11;
constexpr std::array<Spot, 3> kRowSpriteActiveSources{{{0, 33}, {11, 33}, {22, 33}}};
constexpr Spot kRowSpriteIdleSource{33, 33};
constexpr std::array<Spot, 3> kRowSpritePlaces{{{52, 193}, {64, 193}, {76, 193}}};

// Blinkers on the tree: an everyday picture and a short flash.
constexpr int kBlinkerWidth = 11;
constexpr int kBlinkerHeight = 10;
struct Blinker {
    Spot restSource;
    Spot flashSource;
    Spot place;
};
constexpr std::array<Blinker, 2> kBlinkers{{
    {{0, 45}, {12, 45}, {374, 330}},
    {{0, 56}, {12, 56}, {364, 396}},
}};

// Twinkles: four pictures 9 pixels apart, drawn at many places in the sky.
constexpr int kTwinkleSide = 8;
constexpr int kTwinklePhases = 4;
constexpr int kTwinkleSourceStep = 9;
constexpr int kFastTwinkleSourceY = 95;
constexpr int kSlowTwinkleSourceY = 104;
constexpr std::array<Spot, 23> kFastTwinklePlaces{{
    {583, 46}, {594, 87}, {491, 135}, {431, 34}, {381, 40}, {257, 83}, {246, 29}, {274, 36},
    {108, 20}, {90, 41},  {80, 35},   {40, 59},  {65, 110}, {155, 39}, {153, 48}, {221, 59},
    {220, 76}, {342, 55}, {480, 39},  {604, 140}, {380, 77}, {440, 76}, {459, 51},
}};
constexpr std::array<Spot, 3> kSlowTwinklePlaces{{{119, 46}, {411, 22}, {490, 88}}};

// Tree lights: Rectangle bounds drawn with a null pen, so each fills
// (right - left - 1) x (bottom - top - 1) pixels from (left, top).
struct LightCall {
    int left;
    int top;
    int right;
    int bottom;
};
constexpr std::array<LightCall, 37> kTreeLights{{
    // red
    {378, 327, 381, 330}, {362, 342, 365, 345}, {384, 344, 387, 347}, {378, 350, 381, 353},
    {398, 356, 401, 359}, {362, 364, 365, 367}, {381, 392, 384, 395}, {364, 409, 367, 412},
    {384, 370, 387, 373},
    // green
    {367, 337, 370, 340}, {382, 324, 385, 327}, {386, 333, 389, 336}, {401, 339, 404, 342},
    {347, 360, 350, 363}, {350, 409, 353, 412}, {374, 383, 377, 386}, {382, 409, 385, 412},
    // yellow
    {368, 330, 371, 333}, {381, 315, 384, 318}, {387, 363, 390, 366}, {392, 374, 395, 377},
    {379, 378, 382, 381}, {379, 408, 382, 411}, {399, 401, 402, 404},
    // blue
    {374, 312, 377, 315}, {386, 327, 389, 330}, {387, 342, 390, 345}, {378, 355, 381, 358},
    {374, 366, 377, 369}, {381, 383, 384, 387}, {386, 390, 389, 393}, {345, 394, 348, 397},
    {366, 373, 369, 376}, {366, 369, 369, 372}, {355, 351, 358, 354}, {363, 326, 366, 329},
    {404, 401, 407, 404},
}};
constexpr Area litArea(const LightCall& call)
{
    return Area{call.left, call.top, call.right - 2, call.bottom - 2};
}
constexpr Rgba kUnlitLight = rgb(0, 84, 0);
constexpr std::array<Rgba, 4> kLitLights{rgb(185, 0, 0), rgb(0, 185, 0), rgb(185, 185, 0),
                                         rgb(36, 120, 185)};
// Index into kLitLights for each entry of kTreeLights.
constexpr int lightGroup(int index)
{
    return index < 9 ? 0 : index < 17 ? 1 : index < 24 ? 2 : 3;
}

// Buttons: pressable areas, bounds included.
enum class ButtonKind { Stop, Play, Next, Previous, Quit };
struct Button {
    ButtonKind kind;
    Area area;
};
constexpr std::array<Button, 5> kButtons{{
    {ButtonKind::Stop, {450, 338, 474, 353}},
    {ButtonKind::Play, {509, 411, 572, 452}},
    {ButtonKind::Next, {486, 305, 510, 321}},
    {ButtonKind::Previous, {436, 377, 460, 393}},
    {ButtonKind::Quit, {586, 320, 601, 331}},
}};

// Gauges: an empty column on top, a full column below; row r of the gauge
// always comes from row r of one of the two columns.
struct Gauge {
    const char* label;
    int left;
    int top;
    int width;
    int scale;  // rows of the empty piece at volume 0
    int height; // rows of the gauge
    Spot emptySource;
    int fullSourceX;
};
constexpr std::array<Gauge, 3> kGauges{{
    {"CD", 557, 67, 14, 220, 219, {164, 74}, 186},
    {"MIDI", 533, 26, 14, 220, 219, {164, 74}, 186},
    {"Wave", 504, 66, 18, 222, 221, {102, 72}, 131},
}};

// Text lines: a 17-pixel fixed-pitch font, 27 cells of about 9 pixels.
constexpr Rgba kTextBackground = rgb(255, 204, 204);
constexpr Rgba kTextColor = rgb(0, 128, 0);
constexpr int kTextCells = 27;
constexpr int kTextCellWidth = 9;
constexpr int kTextHeight = 17;
constexpr Spot kTitleOrigin{193, 140};
constexpr Spot kStatusOrigin{193, 185};
constexpr Spot kEndMarkOrigin{440, 140};
constexpr int kEndMarkCells = 2;

// Progress bar as the program draws it: a white outline around a filled inside.
constexpr Area kProgressBar{236, 207, 387, 213};
constexpr Rgba kProgressFill = rgb(255, 201, 134);

} // namespace hp::skin::layout
