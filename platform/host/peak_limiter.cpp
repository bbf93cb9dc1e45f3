#include "platform/host/peak_limiter.h"

#include <algorithm>
#include <cmath>

namespace hp::host {

PeakLimiter::PeakLimiter(float ceiling, double releaseSeconds, int sampleRate)
    : ceiling_(ceiling),
      release_(static_cast<float>(1.0 - std::exp(-1.0 / (releaseSeconds * sampleRate))))
{
}

void PeakLimiter::process(float *interleaved, size_t frames)
{
    for (size_t frame = 0; frame < frames; ++frame) {
        float *pair = interleaved + 2 * frame;
        const float peak = std::max(std::fabs(pair[0]), std::fabs(pair[1]));
        gain_ += (1.0f - gain_) * release_;
        if (peak * gain_ > ceiling_)
            gain_ = ceiling_ / peak;
        pair[0] *= gain_;
        pair[1] *= gain_;
    }
}

}  // namespace hp::host
