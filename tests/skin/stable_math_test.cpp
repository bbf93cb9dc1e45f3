// The generator's own sine stands in for the C library's so that the skin
// comes out the same everywhere; it must still be a sine.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/skin/stable_math.h"

namespace hp::skintest {
namespace {

TEST(StableMath, SineAndCosineAgreeWithTheLibraryOverManyTurns)
{
    for (double angle = -40.0; angle <= 40.0; angle += 0.0137) {
        ASSERT_NEAR(skin::stableSin(angle), std::sin(angle), 1e-9) << angle;
        ASSERT_NEAR(skin::stableCos(angle), std::cos(angle), 1e-9) << angle;
    }
    // Exactly at the reduction's edges.
    for (double angle : {skin::kPi, -skin::kPi, 2 * skin::kPi, 3 * skin::kPi, -5 * skin::kPi})
        EXPECT_NEAR(skin::stableSin(angle), std::sin(angle), 1e-9) << angle;
}

TEST(StableMath, NoiseStaysInItsRangeAndIsSmooth)
{
    double previous = skin::valueNoise(0.0, 3.0, 6.0, 5);
    for (double x = 0.0; x < 300.0; x += 0.25) {
        const double value = skin::valueNoise(x, 3.0, 6.0, 5);
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        // Features of 6 pixels cannot jump by more than a small step per
        // quarter pixel.
        ASSERT_LT(std::fabs(value - previous), 0.15) << x;
        previous = value;
    }
    // Negative coordinates are on the same lattice, not mirrored.
    EXPECT_NE(skin::valueNoise(-3.5, 2.0, 6.0, 5), skin::valueNoise(3.5, 2.0, 6.0, 5));
}

TEST(StableMath, MixingReachesBothEndsAndClamps)
{
    const skin::Rgba from = skin::rgb(10, 200, 30);
    const skin::Rgba to = skin::rgb(250, 0, 130);
    EXPECT_EQ(skin::mixColor(from, to, 0.0), from);
    EXPECT_EQ(skin::mixColor(from, to, 1.0), to);
    EXPECT_EQ(skin::mixColor(from, to, -2.0), from);
    EXPECT_EQ(skin::mixColor(from, to, 7.0), to);
    EXPECT_EQ(skin::mixColor(from, to, 0.5), skin::rgb(130, 100, 80));
    EXPECT_EQ(skin::shade(skin::rgb(200, 100, 0), 2.0), skin::rgb(255, 200, 0));
}

} // namespace
} // namespace hp::skintest
