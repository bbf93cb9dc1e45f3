// A peak limiter for interleaved stereo float samples: the loudest channel
// never leaves the ceiling, and quieter passages pass unchanged.
//
// The gain falls at once to what the loudest sample needs (no look-ahead,
// so nothing is delayed) and comes back up over the release time, the same
// for both channels so that the stereo image holds.
#pragma once

#include <cstddef>

namespace hp::host {

class PeakLimiter {
public:
    // ceiling: the largest magnitude let through (1.0 = full scale);
    // releaseSeconds: time constant of the gain's return to 1.
    PeakLimiter(float ceiling, double releaseSeconds, int sampleRate);

    // Limits `frames` frames of left-right pairs in place.
    void process(float *interleaved, size_t frames);

    // Back to unity gain, as for a new stream.
    void reset() { gain_ = 1.0f; }

private:
    float ceiling_;
    float release_;  // share of the gap to 1 that one frame recovers
    float gain_ = 1.0f;
};

}  // namespace hp::host
