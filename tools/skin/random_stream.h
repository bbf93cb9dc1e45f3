// A small seeded generator (xorshift64*): the same seed gives the same
// sequence everywhere, unlike the standard distributions.
#pragma once

#include <cstdint>

namespace hp::skin {

class RandomStream {
public:
    explicit RandomStream(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}

    uint32_t next()
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }

    // In [0, 1).
    double unit() { return static_cast<double>(next() >> 8) / 16777216.0; }

    // In [low, high], both included.
    int between(int low, int high)
    {
        return low + static_cast<int>(next() % static_cast<uint32_t>(high - low + 1));
    }

private:
    uint64_t state_;
};

} // namespace hp::skin
