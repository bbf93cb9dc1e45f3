// Measurements on a recorded channel (16-bit samples at 44100 Hz).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hp::soundtest {

// The stretch of a recording that is not silence.
struct SoundSpan {
    bool found = false;
    size_t first = 0;  // index of the first loud sample
    size_t last = 0;   // index of the last loud sample
    double seconds() const;
};

// Samples louder than the threshold mark the span; silence is anything at
// or below it.
SoundSpan findSound(const std::vector<int16_t> &samples, int threshold = 300);

// Frequency of a pure tone over [first, first + count), from its rising zero
// crossings.
double toneFrequencyHz(const std::vector<int16_t> &samples, size_t first, size_t count);

// The strongest frequency between lowHz and highHz (1 Hz steps) over the
// stretch; for tones with overtones, such as a synthesised flute.
double strongestFrequencyHz(const std::vector<int16_t> &samples, size_t first, size_t count,
                            double lowHz, double highHz);

// Root mean square over the stretch, in sample units.
double rmsLevel(const std::vector<int16_t> &samples, size_t first, size_t count);

}  // namespace hp::soundtest
