// Arithmetic that gives the same bits on every machine. The committed skin
// files must be reproducible byte for byte, so the painters avoid the C
// library's transcendental functions (their last bits differ between library
// versions) and use these, built from + - * / and sqrt only.
#pragma once

#include <cstdint>

#include "tools/skin/raster.h"

namespace hp::skin {

constexpr double kPi = 3.14159265358979323846;

double stableSin(double radians);
double stableCos(double radians);

double clamp01(double value);
double smoothStep(double edge0, double edge1, double value);
double lerp(double from, double to, double amount);

// Colour between from (amount 0) and to (amount 1), alpha included.
Rgba mixColor(Rgba from, Rgba to, double amount);
// Colour with every channel scaled by factor (alpha kept).
Rgba shade(Rgba color, double factor);

// Hash of a lattice point, in [0, 1).
double latticeHash(int x, int y, uint32_t seed);
// Smooth value noise in [0, 1) with features of the given size in pixels.
double valueNoise(double x, double y, double featureSize, uint32_t seed);

} // namespace hp::skin
