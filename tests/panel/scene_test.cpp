// The animated scene and the tree lights, drawn into a canvas the size of
// the window and compared pixel by pixel with the sprite sheet's pictures
// and the lights' colours at chosen animation ticks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/front_panel.h"
#include "tests/app/support/paint_canvas.h"
#include "tests/app/support/program_harness.h"

namespace {

using hp::apptest::compareWithSheet;
using hp::apptest::PaintCanvas;
using hp::apptest::ProgramHarness;
using hp::apptest::spriteSheet;

struct At {
    int x;
    int y;
};

const At rowDestinations[3] = {{52, 193}, {64, 193}, {76, 193}};
const At twinkleDestinations[23] = {
    {583, 46}, {594, 87}, {491, 135}, {431, 34}, {381, 40}, {257, 83}, {246, 29}, {274, 36},
    {108, 20}, {90, 41},  {80, 35},   {40, 59},  {65, 110}, {155, 39}, {153, 48}, {221, 59},
    {220, 76}, {342, 55}, {480, 39},  {604, 140}, {380, 77}, {440, 76}, {459, 51}};
const At slowTwinkleDestinations[3] = {{119, 46}, {411, 22}, {490, 88}};

constexpr At rowIdle{33, 33};

// Which pictures the row sprites and blinkers show at a tick.
struct SceneCase {
    uint32_t frame;
    At rows[3];
    At upperBlinker;
    At lowerBlinker;
};

const SceneCase sceneCases[] = {
    {0, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {0, 56}},
    {70, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {0, 56}},
    {71, {rowIdle, rowIdle, {22, 33}}, {0, 45}, {0, 56}},
    {140, {rowIdle, rowIdle, {22, 33}}, {0, 45}, {0, 56}},
    {141, {rowIdle, {11, 33}, rowIdle}, {0, 45}, {0, 56}},
    {209, {rowIdle, {11, 33}, rowIdle}, {12, 45}, {0, 56}},
    {210, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {12, 56}},
    {12, {{0, 33}, rowIdle, rowIdle}, {12, 45}, {0, 56}},
    {13, {{0, 33}, rowIdle, rowIdle}, {12, 45}, {0, 56}},
    {14, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {0, 56}},
    {19, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {0, 56}},
    {20, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {12, 56}},
    {21, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {12, 56}},
    {22, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {0, 56}},
    // 4294967295 mod 210 = 15, mod 14 = 3, mod 19 = 15.
    {4294967295u, {{0, 33}, rowIdle, rowIdle}, {0, 45}, {0, 56}},
};

class Scene : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GT(spriteSheet().width(), 0) << "image/parts.bmp is readable";
        program_.writeSettings("[CONFIG]\r\nGraphicEffect=1\r\n");
        program_.startPanel();
    }
    ProgramHarness program_;
};

// The picture at a source differs from the one at another source, so that
// comparing a drawn area with the sheet tells which was drawn.
bool picturesDiffer(At a, At b, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (spriteSheet().pixel(a.x + x, a.y + y) != spriteSheet().pixel(b.x + x, b.y + y))
                return true;
        }
    }
    return false;
}

TEST_F(Scene, TheSheetTellsEveryAnimatedPictureFromItsNeighbours)
{
    EXPECT_TRUE(picturesDiffer({0, 33}, rowIdle, 10, 11));
    EXPECT_TRUE(picturesDiffer({11, 33}, rowIdle, 10, 11));
    EXPECT_TRUE(picturesDiffer({22, 33}, rowIdle, 10, 11));
    EXPECT_TRUE(picturesDiffer({0, 45}, {12, 45}, 11, 10));
    EXPECT_TRUE(picturesDiffer({0, 56}, {12, 56}, 11, 10));
    for (int row : {95, 104}) {
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b)
                EXPECT_TRUE(picturesDiffer({9 * a, row}, {9 * b, row}, 8, 8)) << row << a << b;
        }
    }
}

TEST_F(Scene, EverySpriteShowsItsPictureOfTheTick)
{
    for (const SceneCase &c : sceneCases) {
        SCOPED_TRACE("frame " + std::to_string(c.frame));
        PaintCanvas canvas;
        frontPanel.frameCount = c.frame;
        frontPanel.drawScene(canvas.dc());
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(compareWithSheet(canvas, rowDestinations[i].x, rowDestinations[i].y,
                                       c.rows[i].x, c.rows[i].y, 10, 11),
                      "")
                << "row sprite " << i + 1;
        }
        EXPECT_EQ(compareWithSheet(canvas, 374, 330, c.upperBlinker.x, c.upperBlinker.y, 11, 10),
                  "");
        EXPECT_EQ(compareWithSheet(canvas, 364, 396, c.lowerBlinker.x, c.lowerBlinker.y, 11, 10),
                  "");
        // Neighbouring twinkles are one tick apart in their cycles.
        for (uint32_t i = 0; i < 23; ++i) {
            const int picture = static_cast<int>(((c.frame + i) % 8) / 2);
            EXPECT_EQ(compareWithSheet(canvas, twinkleDestinations[i].x, twinkleDestinations[i].y,
                                       9 * picture, 95, 8, 8),
                      "")
                << "twinkle " << i;
        }
        for (uint32_t i = 0; i < 3; ++i) {
            const int picture = static_cast<int>(((c.frame + i) % 16) / 4);
            EXPECT_EQ(compareWithSheet(canvas, slowTwinkleDestinations[i].x,
                                       slowTwinkleDestinations[i].y, 9 * picture, 104, 8, 8),
                      "")
                << "slow twinkle " << i;
        }
    }
}

TEST_F(Scene, TheSceneIgnoresTheEffectSwitchAndDrawsNothingElse)
{
    PaintCanvas on;
    PaintCanvas off;
    frontPanel.frameCount = 5;
    frontPanel.drawScene(on.dc());
    frontPanel.graphicEffect = 0;
    frontPanel.drawScene(off.dc());
    EXPECT_TRUE(on.sameArea(off, 0, 0, hp::apptest::panelWidth, hp::apptest::panelHeight));
    // Between the sprites the canvas keeps its own colour.
    for (At p : {At{0, 0}, At{300, 300}, At{631, 499}, At{62, 193}, At{100, 100}})
        EXPECT_EQ(on.pixel(p.x, p.y), 0u) << p.x << "," << p.y;
}

// ------------------------------------------------------------- lights ----

enum Group { red, green, yellow, blue };

const std::vector<RECT> lights[4] = {
    {{378, 327, 381, 330}, {362, 342, 365, 345}, {384, 344, 387, 347}, {378, 350, 381, 353},
     {398, 356, 401, 359}, {362, 364, 365, 367}, {381, 392, 384, 395}, {364, 409, 367, 412},
     {384, 370, 387, 373}},
    {{367, 337, 370, 340}, {382, 324, 385, 327}, {386, 333, 389, 336}, {401, 339, 404, 342},
     {347, 360, 350, 363}, {350, 409, 353, 412}, {374, 383, 377, 386}, {382, 409, 385, 412}},
    {{368, 330, 371, 333}, {381, 315, 384, 318}, {387, 363, 390, 366}, {392, 374, 395, 377},
     {379, 378, 382, 381}, {379, 408, 382, 411}, {399, 401, 402, 404}},
    {{374, 312, 377, 315}, {386, 327, 389, 330}, {387, 342, 390, 345}, {378, 355, 381, 358},
     {374, 366, 377, 369}, {381, 383, 384, 387}, {386, 390, 389, 393}, {345, 394, 348, 397},
     {366, 373, 369, 376}, {366, 369, 369, 372}, {355, 351, 358, 354}, {363, 326, 366, 329},
     {404, 401, 407, 404}},
};
const uint32_t litColours[4] = {0xB90000, 0x00B900, 0xB9B900, 0x2478B9};
constexpr uint32_t unlitColour = 0x005400;

// The colour each light of a group shows; "" when all agree, else the first
// light that differs. With the null pen a call fills all but its right
// column and bottom row.
std::string checkGroup(const PaintCanvas &canvas, Group group, uint32_t colour)
{
    for (const RECT &light : lights[group]) {
        for (int y = light.top; y < light.bottom; ++y) {
            for (int x = light.left; x < light.right; ++x) {
                const bool filled = x < light.right - 1 && y < light.bottom - 1;
                const uint32_t wanted = filled ? colour : 0;
                if (canvas.pixel(x, y) != wanted) {
                    return "light at " + std::to_string(light.left) + "," +
                           std::to_string(light.top) + " pixel " + std::to_string(x) + "," +
                           std::to_string(y);
                }
            }
        }
    }
    return {};
}

TEST_F(Scene, TreeLightsFollowTheirBlinkScheduleWhileTheEffectIsOn)
{
    struct Case {
        uint32_t frame;
        int effect;
        bool lit[4];  // red, green, yellow, blue
    };
    const Case cases[] = {
        {0, 1, {true, false, true, true}},
        {13, 1, {true, true, false, true}},
        {14, 1, {false, true, false, false}},
        {30, 1, {false, false, true, true}},
        {33 + 9, 1, {true, true, false, true}},  // r = 9
        {4294967295u, 1, {true, false, true, true}},  // r = 3
        {14, 0, {true, true, true, true}},
        {30, 0, {true, true, true, true}},
        {14, 2, {true, true, true, true}},  // only 1 counts as on
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("frame " + std::to_string(c.frame) + " switch " + std::to_string(c.effect));
        PaintCanvas canvas;
        frontPanel.frameCount = c.frame;
        frontPanel.drawTreeLights(canvas.dc(), c.effect);
        for (Group group : {red, green, yellow, blue})
            EXPECT_EQ(checkGroup(canvas, group, c.lit[group] ? litColours[group] : unlitColour),
                      "")
                << "group " << group;
        // The one-pixel-wide blue call fills nothing.
        EXPECT_EQ(canvas.pixel(368, 410), 0u);
    }
}

}  // namespace
