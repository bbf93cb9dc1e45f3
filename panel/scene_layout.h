// Where the decorations of the scene sit and which picture each shows at a
// given animation tick. Pure data and arithmetic, so it can be checked
// without drawing.
#pragma once

#include <stdint.h>

#include <vector>

#include "platform/win32.h"

struct Point {
    int x;
    int y;
};

struct SpriteSource {
    int x;
    int y;
};

// Three row sprites that take turns over a 21 s cycle.
constexpr int rowSpriteCount = 3;
constexpr int rowSpriteWidth = 10;
constexpr int rowSpriteHeight = 11;
constexpr Point rowSpriteDestinations[rowSpriteCount] = {{52, 193}, {64, 193}, {76, 193}};
SpriteSource rowSpriteSource(int order, uint32_t frame);

// Two blinkers on the tree.
constexpr int blinkerWidth = 11;
constexpr int blinkerHeight = 10;
constexpr Point upperBlinkerDestination = {374, 330};
constexpr Point lowerBlinkerDestination = {364, 396};
SpriteSource upperBlinkerSource(uint32_t frame);
SpriteSource lowerBlinkerSource(uint32_t frame);

// Twinkles (four pictures, two ticks each) and slow twinkles (four
// pictures, four ticks each), each one tick out of step with the previous.
constexpr int twinkleSize = 8;
constexpr int twinkleCount = 23;
constexpr int slowTwinkleCount = 3;
constexpr Point twinkleDestinations[twinkleCount] = {
    {583, 46}, {594, 87}, {491, 135}, {431, 34}, {381, 40},  {257, 83},  {246, 29}, {274, 36},
    {108, 20}, {90, 41},  {80, 35},   {40, 59},  {65, 110},  {155, 39},  {153, 48}, {221, 59},
    {220, 76}, {342, 55}, {480, 39},  {604, 140}, {380, 77}, {440, 76},  {459, 51}};
constexpr Point slowTwinkleDestinations[slowTwinkleCount] = {{119, 46}, {411, 22}, {490, 88}};
SpriteSource twinkleSource(int index, uint32_t frame);
SpriteSource slowTwinkleSource(int index, uint32_t frame);

// The tree lights: four groups drawn in this order, each a list of
// Rectangle bounds (with the null pen a 3 x 3 call shows a 2 x 2 dot).
enum class LightGroup : int { Red = 0, Green = 1, Yellow = 2, Blue = 3 };
constexpr int lightGroupCount = 4;
const std::vector<RECT> &treeLights(LightGroup group);

// True while the group is dark in its blink schedule (33-tick cycle); the
// caller lights every group when the effect is off.
bool isLightGroupDark(LightGroup group, uint32_t frame);
