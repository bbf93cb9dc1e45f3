#include "tools/skin/stable_math.h"

namespace hp::skin {

double stableSin(double radians)
{
    // Reduce to [-pi, pi] without fmod, then a Taylor series that is exact
    // to well below a pixel's worth for every use here.
    const double turn = 2.0 * kPi;
    double x = radians;
    const long turns = static_cast<long>(x / turn);
    x -= static_cast<double>(turns) * turn;
    if (x > kPi)
        x -= turn;
    if (x < -kPi)
        x += turn;
    const double square = x * x;
    double term = x;
    double sum = x;
    for (int power = 3; power <= 21; power += 2) {
        term = -term * square / static_cast<double>((power - 1) * power);
        sum += term;
    }
    return sum;
}

double stableCos(double radians)
{
    return stableSin(radians + kPi / 2.0);
}

double clamp01(double value)
{
    return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

double smoothStep(double edge0, double edge1, double value)
{
    const double t = clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double lerp(double from, double to, double amount)
{
    return from + (to - from) * amount;
}

namespace {

uint8_t mixByte(uint8_t from, uint8_t to, double amount)
{
    double value = from + (to - from) * amount + 0.5;
    if (value < 0.0)
        value = 0.0;
    if (value > 255.0)
        value = 255.0;
    return static_cast<uint8_t>(value);
}

} // namespace

Rgba mixColor(Rgba from, Rgba to, double amount)
{
    amount = clamp01(amount);
    return Rgba{mixByte(from.red, to.red, amount), mixByte(from.green, to.green, amount),
                mixByte(from.blue, to.blue, amount), mixByte(from.alpha, to.alpha, amount)};
}

Rgba shade(Rgba color, double factor)
{
    auto scale = [factor](uint8_t channel) {
        double value = channel * factor + 0.5;
        return static_cast<uint8_t>(value > 255.0 ? 255.0 : (value < 0.0 ? 0.0 : value));
    };
    return Rgba{scale(color.red), scale(color.green), scale(color.blue), color.alpha};
}

double latticeHash(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<double>(h >> 8) / 16777216.0;
}

double valueNoise(double x, double y, double featureSize, uint32_t seed)
{
    const double u = x / featureSize;
    const double v = y / featureSize;
    const int cellX = static_cast<int>(u < 0 ? u - 1 : u);
    const int cellY = static_cast<int>(v < 0 ? v - 1 : v);
    const double fx = u - cellX;
    const double fy = v - cellY;
    const double sx = fx * fx * (3.0 - 2.0 * fx);
    const double sy = fy * fy * (3.0 - 2.0 * fy);
    const double top = lerp(latticeHash(cellX, cellY, seed), latticeHash(cellX + 1, cellY, seed), sx);
    const double bottom =
        lerp(latticeHash(cellX, cellY + 1, seed), latticeHash(cellX + 1, cellY + 1, seed), sx);
    return lerp(top, bottom, sy);
}

} // namespace hp::skin
