// The pictures fit the places the program draws into. The sprites are
// copied without transparency, the lights are plain dots, the text lines
// fill their cells with one colour: the tables here are the program's own
// geometry, kept apart from the generator's so that a slip on either side
// shows up.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "bitmap_file.h"

namespace hp::skintest {
namespace {

struct Spot {
    int x;
    int y;
};

struct Sprite {
    const char* what;
    Spot source;
    int width;
    int height;
    std::vector<Spot> places;
};

const std::vector<Spot> kTwinklePlaces{
    {583, 46}, {594, 87}, {491, 135}, {431, 34}, {381, 40}, {257, 83}, {246, 29}, {274, 36},
    {108, 20}, {90, 41},  {80, 35},   {40, 59},  {65, 110}, {155, 39}, {153, 48}, {221, 59},
    {220, 76}, {342, 55}, {480, 39},  {604, 140}, {380, 77}, {440, 76}, {459, 51}};
const std::vector<Spot> kSlowTwinklePlaces{{119, 46}, {411, 22}, {490, 88}};
const std::vector<Spot> kRowPlaces{{52, 193}, {64, 193}, {76, 193}};

// Pictures that stand still most of the time.
const std::vector<Sprite> kRestingSprites{
    {"idle row sprite", {33, 33}, 10, 11, kRowPlaces},
    {"upper blinker at rest", {0, 45}, 11, 10, {{374, 330}}},
    {"lower blinker at rest", {0, 56}, 11, 10, {{364, 396}}},
};

// Pictures that come and go over the background.
const std::vector<Sprite> kMovingSprites{
    {"row sprite 1 active", {0, 33}, 10, 11, {{52, 193}}},
    {"row sprite 2 active", {11, 33}, 10, 11, {{64, 193}}},
    {"row sprite 3 active", {22, 33}, 10, 11, {{76, 193}}},
    {"upper blinker flash", {12, 45}, 11, 10, {{374, 330}}},
    {"lower blinker flash", {12, 56}, 11, 10, {{364, 396}}},
    {"twinkle 0", {0, 95}, 8, 8, kTwinklePlaces},
    {"twinkle 1", {9, 95}, 8, 8, kTwinklePlaces},
    {"twinkle 2", {18, 95}, 8, 8, kTwinklePlaces},
    {"twinkle 3", {27, 95}, 8, 8, kTwinklePlaces},
    {"slow twinkle 0", {0, 104}, 8, 8, kSlowTwinklePlaces},
    {"slow twinkle 1", {9, 104}, 8, 8, kSlowTwinklePlaces},
    {"slow twinkle 2", {18, 104}, 8, 8, kSlowTwinklePlaces},
    {"slow twinkle 3", {27, 104}, 8, 8, kSlowTwinklePlaces},
};

struct Gauge {
    const char* what;
    int left;
    int top;
    int width;
    int scale;
    int height;
    Spot empty;
    int fullX;
};
const Gauge kGauges[] = {
    {"CD", 557, 67, 14, 220, 219, {164, 74}, 186},
    {"MIDI", 533, 26, 14, 220, 219, {164, 74}, 186},
    {"Wave", 504, 66, 18, 222, 221, {102, 72}, 131},
};

struct Light {
    int left;
    int top;
    int right;
    int bottom;
};
const Light kLights[] = {
    {378, 327, 381, 330}, {362, 342, 365, 345}, {384, 344, 387, 347}, {378, 350, 381, 353},
    {398, 356, 401, 359}, {362, 364, 365, 367}, {381, 392, 384, 395}, {364, 409, 367, 412},
    {384, 370, 387, 373}, {367, 337, 370, 340}, {382, 324, 385, 327}, {386, 333, 389, 336},
    {401, 339, 404, 342}, {347, 360, 350, 363}, {350, 409, 353, 412}, {374, 383, 377, 386},
    {382, 409, 385, 412}, {368, 330, 371, 333}, {381, 315, 384, 318}, {387, 363, 390, 366},
    {392, 374, 395, 377}, {379, 378, 382, 381}, {379, 408, 382, 411}, {399, 401, 402, 404},
    {374, 312, 377, 315}, {386, 327, 389, 330}, {387, 342, 390, 345}, {378, 355, 381, 358},
    {374, 366, 377, 369}, {381, 383, 384, 387}, {386, 390, 389, 393}, {345, 394, 348, 397},
    {366, 373, 369, 376}, {366, 369, 369, 372}, {355, 351, 358, 354}, {363, 326, 366, 329},
    {404, 401, 407, 404}};

struct Button {
    const char* what;
    int left;
    int top;
    int right;
    int bottom;
};
const Button kButtons[] = {
    {"stop", 450, 338, 474, 353},     {"play", 509, 411, 572, 452},
    {"next", 486, 305, 510, 321},     {"previous", 436, 377, 460, 393},
    {"quit", 586, 320, 601, 331},
};

const Pixel kTextBackground{255, 204, 204};

class SkinArt : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        const std::string root = HP_SKIN_REPOSITORY_ROOT;
        ASSERT_TRUE(background_.parse(readFile(root + "/image/swbase1.bmp"), error)) << error;
        ASSERT_TRUE(parts_.parse(readFile(root + "/image/parts.bmp"), error)) << error;
    }

    // Pixels of the sprite's outermost ring that differ from the background
    // where it lands.
    int ringMismatches(const Sprite& sprite, Spot place) const
    {
        int mismatches = 0;
        for (int y = 0; y < sprite.height; ++y) {
            for (int x = 0; x < sprite.width; ++x) {
                const bool onRing =
                    x == 0 || y == 0 || x == sprite.width - 1 || y == sprite.height - 1;
                if (onRing && parts_.at(sprite.source.x + x, sprite.source.y + y) !=
                                  background_.at(place.x + x, place.y + y))
                    ++mismatches;
            }
        }
        return mismatches;
    }

    int differingPixels(Spot first, Spot second, int width, int height) const
    {
        int count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += parts_.at(first.x + x, first.y + y) != parts_.at(second.x + x, second.y + y);
        return count;
    }

    BitmapFile background_;
    BitmapFile parts_;
};

double luminance(const Pixel& pixel)
{
    return 0.299 * pixel.red + 0.587 * pixel.green + 0.114 * pixel.blue;
}

bool isFoliage(const Pixel& pixel)
{
    return pixel.green > pixel.red && pixel.green > pixel.blue;
}

TEST_F(SkinArt, EverySourceRectangleLiesInsideThePartsSheet)
{
    struct Rectangle {
        std::string what;
        int x, y, width, height;
    };
    std::vector<Rectangle> rectangles;
    for (const auto* list : {&kRestingSprites, &kMovingSprites})
        for (const Sprite& sprite : *list)
            rectangles.push_back({sprite.what, sprite.source.x, sprite.source.y, sprite.width,
                                  sprite.height});
    for (const Gauge& gauge : kGauges) {
        // At volume 0 the empty piece is one row taller than the gauge, and
        // the full piece is asked for from the row after it with height -1.
        rectangles.push_back({std::string(gauge.what) + " empty column", gauge.empty.x,
                              gauge.empty.y, gauge.width, gauge.scale});
        rectangles.push_back({std::string(gauge.what) + " full column", gauge.fullX,
                              gauge.empty.y, gauge.width, gauge.scale + 1});
    }
    for (const Rectangle& r : rectangles) {
        SCOPED_TRACE(r.what);
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.width, parts_.width());
        EXPECT_LE(r.y + r.height, parts_.height());
    }
    // The source rectangles of the sprites do not overlap one another.
    for (size_t i = 0; i < rectangles.size(); ++i) {
        for (size_t j = i + 1; j < rectangles.size(); ++j) {
            const Rectangle& a = rectangles[i];
            const Rectangle& b = rectangles[j];
            if (a.x == b.x && a.y == b.y)
                continue; // CD and MIDI share their columns
            const bool overlap = a.x < b.x + b.width && b.x < a.x + a.width &&
                                 a.y < b.y + b.height && b.y < a.y + a.height;
            EXPECT_FALSE(overlap) << a.what << " overlaps " << b.what;
        }
    }
}

TEST_F(SkinArt, RestingPicturesAreTheBackgroundItself)
{
    // So the window looks the same before and after the first animation tick.
    for (const Sprite& sprite : kRestingSprites) {
        for (const Spot& place : sprite.places) {
            SCOPED_TRACE(std::string(sprite.what) + " at " + std::to_string(place.x) + "," +
                         std::to_string(place.y));
            int mismatches = 0;
            for (int y = 0; y < sprite.height; ++y)
                for (int x = 0; x < sprite.width; ++x)
                    mismatches += parts_.at(sprite.source.x + x, sprite.source.y + y) !=
                                  background_.at(place.x + x, place.y + y);
            EXPECT_EQ(mismatches, 0);
        }
    }
}

TEST_F(SkinArt, MovingPicturesLeaveNoBoxAroundThemWhereverTheyLand)
{
    for (const Sprite& sprite : kMovingSprites) {
        for (const Spot& place : sprite.places) {
            SCOPED_TRACE(std::string(sprite.what) + " at " + std::to_string(place.x) + "," +
                         std::to_string(place.y));
            EXPECT_EQ(ringMismatches(sprite, place), 0);
        }
    }
}

TEST_F(SkinArt, AnimatedPicturesVisiblyChange)
{
    const struct {
        const char* what;
        Spot first;
        Spot second;
        int width;
        int height;
    } pairs[] = {
        {"row sprite 1", {0, 33}, {33, 33}, 10, 11},
        {"row sprite 2", {11, 33}, {33, 33}, 10, 11},
        {"row sprite 3", {22, 33}, {33, 33}, 10, 11},
        {"upper blinker", {0, 45}, {12, 45}, 11, 10},
        {"lower blinker", {0, 56}, {12, 56}, 11, 10},
        {"twinkle 0-1", {0, 95}, {9, 95}, 8, 8},
        {"twinkle 1-2", {9, 95}, {18, 95}, 8, 8},
        {"twinkle 2-3", {18, 95}, {27, 95}, 8, 8},
        {"twinkle 3-0", {27, 95}, {0, 95}, 8, 8},
        {"slow twinkle 0-1", {0, 104}, {9, 104}, 8, 8},
        {"slow twinkle 1-2", {9, 104}, {18, 104}, 8, 8},
        {"slow twinkle 2-3", {18, 104}, {27, 104}, 8, 8},
        {"slow twinkle 3-0", {27, 104}, {0, 104}, 8, 8},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.what);
        EXPECT_GE(differingPixels(pair.first, pair.second, pair.width, pair.height), 3);
    }
    // The three active row pictures are not all the same picture.
    EXPECT_GT(differingPixels({0, 33}, {11, 33}, 10, 11) + differingPixels({11, 33}, {22, 33}, 10, 11),
              0);
}

TEST_F(SkinArt, EveryTreeLightSitsAmongTheBranches)
{
    // The program fills (right - left - 1) x (bottom - top - 1) pixels from
    // (left, top); the ring of pixels around each dot must be foliage, so a
    // dot never hangs in the air, on snow or on a bauble, lit or dark.
    for (const Light& light : kLights) {
        const int right = light.right - 2;
        const int bottom = light.bottom - 2;
        SCOPED_TRACE(std::to_string(light.left) + "," + std::to_string(light.top));
        for (int y = light.top - 1; y <= bottom + 1; ++y) {
            for (int x = light.left - 1; x <= right + 1; ++x) {
                const bool inDot = x >= light.left && x <= right && y >= light.top && y <= bottom;
                if (inDot)
                    continue;
                const Pixel pixel = background_.at(x, y);
                EXPECT_TRUE(isFoliage(pixel)) << "at " << x << "," << y << " rgb(" << pixel.red
                                              << "," << pixel.green << "," << pixel.blue << ")";
            }
        }
    }
}

TEST_F(SkinArt, LightsDoNotFallOnTheBlinkers)
{
    // The lights are drawn after the blinkers and would cut into them.
    const struct {
        int left, top, width, height;
    } blinkers[] = {{374, 330, 11, 10}, {364, 396, 11, 10}};
    for (const Light& light : kLights) {
        for (const auto& blinker : blinkers) {
            const bool overlap = light.left < blinker.left + blinker.width &&
                                 blinker.left < light.right - 1 &&
                                 light.top < blinker.top + blinker.height &&
                                 blinker.top < light.bottom - 1;
            EXPECT_FALSE(overlap) << "light at " << light.left << "," << light.top;
        }
    }
}

TEST_F(SkinArt, ButtonsStandOutFromTheirSurroundings)
{
    for (const Button& button : kButtons) {
        SCOPED_TRACE(button.what);
        double inside[3] = {0, 0, 0}, around[3] = {0, 0, 0};
        int insideCount = 0, aroundCount = 0;
        double darkest = 255.0, brightest = 0.0;
        for (int y = button.top - 6; y <= button.bottom + 6; ++y) {
            for (int x = button.left - 6; x <= button.right + 6; ++x) {
                const Pixel pixel = background_.at(x, y);
                const bool in = x >= button.left && x <= button.right && y >= button.top &&
                                y <= button.bottom;
                const bool well = x >= button.left + 2 && x <= button.right - 2 &&
                                  y >= button.top + 3 && y <= button.bottom - 2;
                double* sum = in ? inside : around;
                sum[0] += pixel.red;
                sum[1] += pixel.green;
                sum[2] += pixel.blue;
                (in ? insideCount : aroundCount)++;
                if (well) {
                    darkest = std::min(darkest, luminance(pixel));
                    brightest = std::max(brightest, luminance(pixel));
                }
            }
        }
        double distance = 0.0;
        for (int channel = 0; channel < 3; ++channel) {
            const double d = inside[channel] / insideCount - around[channel] / aroundCount;
            distance += d * d;
        }
        EXPECT_GT(std::sqrt(distance), 60.0) << "the button blends into the scene";
        // A light symbol on a darker face.
        EXPECT_GT(brightest - darkest, 120.0) << "no visible symbol";
    }
}

TEST_F(SkinArt, ButtonSymbolsAreWhereThePointerPresses)
{
    // The bright symbol lies in the middle of its pressable area.
    for (const Button& button : kButtons) {
        SCOPED_TRACE(button.what);
        double weightX = 0.0, weightY = 0.0, weight = 0.0;
        for (int y = button.top + 3; y <= button.bottom - 2; ++y) {
            for (int x = button.left + 3; x <= button.right - 3; ++x) {
                const Pixel pixel = background_.at(x, y);
                if (luminance(pixel) > 225.0) {
                    weightX += x;
                    weightY += y;
                    weight += 1.0;
                }
            }
        }
        ASSERT_GT(weight, 4.0);
        const double centerX = (button.left + button.right) / 2.0;
        const double centerY = (button.top + button.bottom) / 2.0;
        EXPECT_NEAR(weightX / weight, centerX, (button.right - button.left) * 0.15);
        EXPECT_NEAR(weightY / weight, centerY, (button.bottom - button.top) * 0.2 + 1.0);
    }
}

TEST_F(SkinArt, TextLinesLieOnPanelsOfTheTextBackgroundColour)
{
    // 27 cells of about 9 pixels and 17 rows from each origin, and the
    // two-cell end mark of the title; a pixel of slack all round for fonts
    // that come out a little wider or taller.
    const struct {
        const char* what;
        int x, y, cells;
    } lines[] = {{"title", 193, 140, 27}, {"status", 193, 185, 27}, {"end mark", 440, 140, 2}};
    for (const auto& line : lines) {
        SCOPED_TRACE(line.what);
        int wrong = 0;
        for (int y = line.y - 1; y <= line.y + 17; ++y)
            for (int x = line.x - 2; x <= line.x + line.cells * 9 + 1; ++x)
                wrong += background_.at(x, y) != kTextBackground;
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(SkinArt, ProgressBarSurroundingsFrameIt)
{
    // The program draws x 236..387, y 207..213; the ring just outside it is
    // the skin's and must set the white outline apart from the panel.
    for (int x = 235; x <= 388; ++x) {
        for (int y : {206, 214}) {
            EXPECT_LT(luminance(background_.at(x, y)), luminance(kTextBackground) - 15.0)
                << x << "," << y;
        }
    }
    for (int y = 206; y <= 214; ++y) {
        for (int x : {235, 388})
            EXPECT_LT(luminance(background_.at(x, y)), luminance(kTextBackground) - 15.0)
                << x << "," << y;
    }
}

TEST_F(SkinArt, EmptyGaugeColumnIsTheBackgroundsEmptyGauge)
{
    // At volume 0 the whole empty piece is drawn, one row taller than the
    // gauge: that row must be what the background holds there already.
    for (const Gauge& gauge : kGauges) {
        SCOPED_TRACE(gauge.what);
        int mismatches = 0;
        for (int row = 0; row < gauge.scale; ++row)
            for (int x = 0; x < gauge.width; ++x)
                mismatches += parts_.at(gauge.empty.x + x, gauge.empty.y + row) !=
                              background_.at(gauge.left + x, gauge.top + row);
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(SkinArt, FullGaugeColumnEndsInTheBackgroundBelowTheGauge)
{
    // The full piece at volume 0 is asked for with height -1 at the row
    // after the gauge; however a platform reads that, what it copies must
    // be what the background shows there.
    for (const Gauge& gauge : kGauges) {
        SCOPED_TRACE(gauge.what);
        for (int row = gauge.height; row <= gauge.scale + 1; ++row)
            for (int x = 0; x < gauge.width; ++x)
                EXPECT_EQ(parts_.at(gauge.fullX + x, gauge.empty.y + row),
                          background_.at(gauge.left + x, gauge.top + row))
                    << "row " << row << " column " << x;
    }
}

TEST_F(SkinArt, FullAndEmptyGaugeRowsAreTellApartAtEveryLevel)
{
    // Row r of the gauge comes from row r of one column or the other; the
    // level is readable only if the two differ clearly on every row.
    for (const Gauge& gauge : kGauges) {
        SCOPED_TRACE(gauge.what);
        for (int row = 0; row < gauge.height; ++row) {
            double empty = 0.0, full = 0.0;
            for (int x = 0; x < gauge.width; ++x) {
                empty += luminance(parts_.at(gauge.empty.x + x, gauge.empty.y + row));
                full += luminance(parts_.at(gauge.fullX + x, gauge.empty.y + row));
            }
            EXPECT_GT((full - empty) / gauge.width, 40.0) << "row " << row;
        }
    }
}

} // namespace
} // namespace hp::skintest
