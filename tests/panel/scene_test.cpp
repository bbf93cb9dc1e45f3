// The animated scene and the tree lights, drawn into a black canvas the size
// of the window. Where they land is read from the canvas and held against
// the skin: the background shows every sprite's resting picture, and every
// light unlit, at its place. What they show at a tick is compared with the
// sprite sheet's pictures and the lights' colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/front_panel.h"
#include "tests/app/support/paint_canvas.h"
#include "tests/app/support/program_harness.h"

namespace {

using hp::apptest::BitmapPicture;
using hp::apptest::PaintCanvas;
using hp::apptest::panelHeight;
using hp::apptest::panelWidth;
using hp::apptest::ProgramHarness;
using hp::apptest::skinBackground;
using hp::apptest::spriteSheet;

struct At {
    int x;
    int y;
    bool operator==(const At &other) const { return x == other.x && y == other.y; }
};

struct Box {
    int left;
    int top;
    int width;
    int height;
};

// The bounding boxes of the drawn (not black) regions that touch one
// another, top to bottom. No picture of the sheet holds black.
std::vector<Box> drawnBoxes(const PaintCanvas &canvas)
{
    std::vector<char> seen(static_cast<size_t>(panelWidth) * panelHeight, 0);
    std::vector<Box> boxes;
    for (int y = 0; y < panelHeight; ++y) {
        for (int x = 0; x < panelWidth; ++x) {
            if (seen[static_cast<size_t>(y) * panelWidth + x] || canvas.pixel(x, y) == 0)
                continue;
            int left = x, right = x, top = y, bottom = y;
            std::vector<At> pending{{x, y}};
            seen[static_cast<size_t>(y) * panelWidth + x] = 1;
            while (!pending.empty()) {
                const At p = pending.back();
                pending.pop_back();
                left = std::min(left, p.x);
                right = std::max(right, p.x);
                top = std::min(top, p.y);
                bottom = std::max(bottom, p.y);
                for (At n : {At{p.x + 1, p.y}, At{p.x - 1, p.y}, At{p.x, p.y + 1},
                             At{p.x, p.y - 1}}) {
                    if (n.x < 0 || n.y < 0 || n.x >= panelWidth || n.y >= panelHeight)
                        continue;
                    char &mark = seen[static_cast<size_t>(n.y) * panelWidth + n.x];
                    if (!mark && canvas.pixel(n.x, n.y) != 0) {
                        mark = 1;
                        pending.push_back(n);
                    }
                }
            }
            boxes.push_back({left, top, right - left + 1, bottom - top + 1});
        }
    }
    return boxes;
}

std::vector<Box> boxesOfSize(const std::vector<Box> &boxes, int width, int height)
{
    std::vector<Box> found;
    for (const Box &box : boxes) {
        if (box.width == width && box.height == height)
            found.push_back(box);
    }
    return found;
}

// True when the box of the picture (a canvas or a bitmap) shows the
// sheet's picture at source.
template <typename Picture>
bool showsSheetPicture(const Picture &picture, const Box &box, At source)
{
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            if (picture.pixel(box.left + x, box.top + y) !=
                spriteSheet().pixel(source.x + x, source.y + y))
                return false;
        }
    }
    return true;
}

constexpr At noPicture{-1, -1};

// The one picture among the candidates that the box shows; noPicture when
// none or more than one of them matches.
At shownPicture(const PaintCanvas &canvas, const Box &box, const std::vector<At> &candidates)
{
    At shown = noPicture;
    int matches = 0;
    for (At source : candidates) {
        if (showsSheetPicture(canvas, box, source)) {
            shown = source;
            ++matches;
        }
    }
    return matches == 1 ? shown : noPicture;
}

constexpr At rowIdle{33, 33};
const std::vector<At> rowPictures = {{0, 33}, {11, 33}, {22, 33}, rowIdle};
const std::vector<At> blinkerPictures = {{0, 45}, {12, 45}, {0, 56}, {12, 56}};
const std::vector<At> twinklePictures = {{0, 95}, {9, 95}, {18, 95}, {27, 95}};
const std::vector<At> slowTwinklePictures = {{0, 104}, {9, 104}, {18, 104}, {27, 104}};

class Scene : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GT(spriteSheet().width(), 0) << "image/parts.bmp is readable";
        ASSERT_GT(skinBackground().width(), 0) << "image/swbase1.bmp is readable";
        program_.writeSettings("[CONFIG]\r\nGraphicEffect=1\r\n");
        program_.startPanel();
    }
    ProgramHarness program_;
};

TEST_F(Scene, EverySpriteLandsWhereTheSkinShowsIt)
{
    PaintCanvas canvas;
    frontPanel.frameCount = 0;
    frontPanel.drawScene(canvas.dc());
    const std::vector<Box> boxes = drawnBoxes(canvas);
    const std::vector<Box> rows = boxesOfSize(boxes, 10, 11);
    const std::vector<Box> blinkers = boxesOfSize(boxes, 11, 10);
    const std::vector<Box> twinkles = boxesOfSize(boxes, 8, 8);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(blinkers.size(), 2u);
    ASSERT_EQ(twinkles.size(), 26u);
    EXPECT_EQ(boxes.size(), 31u) << "nothing else is drawn";

    const BitmapPicture &background = skinBackground();
    for (const Box &row : rows)
        EXPECT_TRUE(showsSheetPicture(background, row, rowIdle)) << row.left << "," << row.top;
    // Boxes run top to bottom: the upper blinker first.
    EXPECT_TRUE(showsSheetPicture(background, blinkers[0], {0, 45}));
    EXPECT_TRUE(showsSheetPicture(background, blinkers[1], {0, 56}));
    // Twinkles come and go on the open sky: the ring of their pictures is
    // the background's.
    for (const Box &twinkle : twinkles) {
        int ringMismatches = 0;
        for (int i = 0; i < 8; ++i) {
            for (At p : {At{i, 0}, At{i, 7}, At{0, i}, At{7, i}}) {
                const At at{twinkle.left + p.x, twinkle.top + p.y};
                ringMismatches += canvas.pixel(at.x, at.y) != background.pixel(at.x, at.y);
            }
        }
        EXPECT_EQ(ringMismatches, 0) << "twinkle at " << twinkle.left << "," << twinkle.top;
    }
}

TEST_F(Scene, RowSpritesAndBlinkersShowTheirPictureOfTheTick)
{
    // The row sprites from left to right, the blinkers from top to bottom.
    struct Case {
        uint32_t frame;
        At rows[3];
        At upperBlinker;
        At lowerBlinker;
    };
    const Case cases[] = {
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
    for (const Case &c : cases) {
        SCOPED_TRACE("frame " + std::to_string(c.frame));
        PaintCanvas canvas;
        frontPanel.frameCount = c.frame;
        frontPanel.drawScene(canvas.dc());
        const std::vector<Box> boxes = drawnBoxes(canvas);
        std::vector<Box> rows = boxesOfSize(boxes, 10, 11);
        const std::vector<Box> blinkers = boxesOfSize(boxes, 11, 10);
        ASSERT_EQ(rows.size(), 3u);
        ASSERT_EQ(blinkers.size(), 2u);
        std::sort(rows.begin(), rows.end(),
                  [](const Box &a, const Box &b) { return a.left < b.left; });
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(shownPicture(canvas, rows[i], rowPictures), c.rows[i])
                << "row sprite " << i + 1;
        }
        EXPECT_EQ(shownPicture(canvas, blinkers[0], blinkerPictures), c.upperBlinker);
        EXPECT_EQ(shownPicture(canvas, blinkers[1], blinkerPictures), c.lowerBlinker);
    }
}

TEST_F(Scene, TwinklesCycleTheirFourPicturesEachOneTickAfterAnother)
{
    // Over sixteen ticks across the wrap of frameCount, each twinkle shows
    // picture ((frame + i) mod 8) / 2, each slow one ((frame + i) mod 16) / 4,
    // for an offset i of its own: 0 to 22 and 0 to 2.
    PaintCanvas first;
    frontPanel.frameCount = 0;
    frontPanel.drawScene(first.dc());
    const std::vector<Box> twinkles = boxesOfSize(drawnBoxes(first), 8, 8);
    ASSERT_EQ(twinkles.size(), 26u);

    constexpr uint32_t firstFrame = 4294967288u;
    std::vector<std::vector<int>> shown(twinkles.size());
    std::vector<bool> slow(twinkles.size(), false);
    for (uint32_t tick = 0; tick < 16; ++tick) {
        PaintCanvas canvas;
        frontPanel.frameCount = firstFrame + tick;
        frontPanel.drawScene(canvas.dc());
        for (size_t i = 0; i < twinkles.size(); ++i) {
            const At fast = shownPicture(canvas, twinkles[i], twinklePictures);
            const At slowPicture = shownPicture(canvas, twinkles[i], slowTwinklePictures);
            slow[i] = fast == noPicture;
            ASSERT_TRUE(slow[i] != (slowPicture == noPicture)) << "twinkle " << i;
            shown[i].push_back((slow[i] ? slowPicture.x : fast.x) / 9);
        }
    }
    std::multiset<int> offsets;
    std::multiset<int> slowOffsets;
    for (size_t i = 0; i < twinkles.size(); ++i) {
        const int cycle = slow[i] ? 16 : 8;
        const int hold = slow[i] ? 4 : 2;
        int offset = -1;
        for (int candidate = 0; candidate < cycle && offset < 0; ++candidate) {
            bool fits = true;
            for (uint32_t tick = 0; tick < 16; ++tick) {
                const uint32_t phase = (firstFrame + tick + candidate) % cycle;
                fits = fits && shown[i][tick] == static_cast<int>(phase / hold);
            }
            if (fits)
                offset = candidate;
        }
        ASSERT_GE(offset, 0) << "twinkle at " << twinkles[i].left << "," << twinkles[i].top;
        (slow[i] ? slowOffsets : offsets).insert(offset);
    }
    std::multiset<int> wanted;
    for (int i = 0; i < 23; ++i)
        wanted.insert(i % 8);
    EXPECT_EQ(offsets, wanted);
    EXPECT_EQ(slowOffsets, (std::multiset<int>{0, 1, 2}));
}

TEST_F(Scene, TheSceneIgnoresTheEffectSwitch)
{
    PaintCanvas on;
    PaintCanvas off;
    frontPanel.frameCount = 5;
    frontPanel.drawScene(on.dc());
    frontPanel.graphicEffect = 0;
    frontPanel.drawScene(off.dc());
    EXPECT_TRUE(on.sameArea(off, 0, 0, panelWidth, panelHeight));
}

// ------------------------------------------------------------- lights ----

enum Group { red, green, yellow, blue };
const uint32_t litColours[4] = {0xB90000, 0x00B900, 0xB9B900, 0x2478B9};
constexpr uint32_t unlitColour = 0x005400;

TEST_F(Scene, TreeLightsFillTheSkinsDotsAndFollowTheirBlinkSchedule)
{
    // With the effect off every group is lit: the colour tells each pixel's
    // group, and the lit pixels are exactly the dots the background shows
    // unlit (with the null pen a 3 x 3 call fills 2 x 2).
    PaintCanvas allLit;
    frontPanel.frameCount = 14;
    frontPanel.drawTreeLights(allLit.dc(), 0);
    std::map<std::pair<int, int>, Group> groupAt;
    int wrong = 0;
    for (int y = 0; y < panelHeight; ++y) {
        for (int x = 0; x < panelWidth; ++x) {
            const uint32_t drawn = allLit.pixel(x, y);
            const bool dot = skinBackground().pixel(x, y) == unlitColour;
            const uint32_t *lit = std::find(litColours, litColours + 4, drawn);
            if (dot && lit != litColours + 4)
                groupAt[{x, y}] = static_cast<Group>(lit - litColours);
            else if (dot || drawn != 0)
                ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    ASSERT_FALSE(groupAt.empty());
    // Red 9 lights, green 8, yellow 7, blue 13 that fill something: 2 x 2
    // dots, and one blue 2 x 3.
    int pixels[4] = {0, 0, 0, 0};
    for (const auto &entry : groupAt)
        ++pixels[entry.second];
    EXPECT_EQ(pixels[red], 9 * 4);
    EXPECT_EQ(pixels[green], 8 * 4);
    EXPECT_EQ(pixels[yellow], 7 * 4);
    EXPECT_EQ(pixels[blue], 12 * 4 + 6);

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
        int mismatches = 0;
        for (const auto &[place, group] : groupAt) {
            const uint32_t wanted = c.lit[group] ? litColours[group] : unlitColour;
            mismatches += canvas.pixel(place.first, place.second) != wanted;
        }
        EXPECT_EQ(mismatches, 0);
    }
}

}  // namespace
