#include "tests/sound_real/signal_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/sound_real/test_media.h"

namespace hp::soundtest {

double SoundSpan::seconds() const
{
    return found ? static_cast<double>(last - first + 1) / sampleRate : 0.0;
}

SoundSpan findSound(const std::vector<int16_t> &samples, int threshold)
{
    SoundSpan span;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(static_cast<int>(samples[i])) > threshold) {
            if (!span.found)
                span.first = i;
            span.found = true;
            span.last = i;
        }
    }
    return span;
}

double toneFrequencyHz(const std::vector<int16_t> &samples, size_t first, size_t count)
{
    const size_t end = std::min(samples.size(), first + count);
    double firstCrossing = -1.0;
    double lastCrossing = -1.0;
    int crossings = 0;
    for (size_t i = first + 1; i < end; ++i) {
        const int before = samples[i - 1];
        const int after = samples[i];
        if (before < 0 && after >= 0) {
            // Interpolated position of the crossing between the two samples.
            const double at = static_cast<double>(i - 1) +
                              static_cast<double>(-before) / static_cast<double>(after - before);
            if (firstCrossing < 0)
                firstCrossing = at;
            lastCrossing = at;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * sampleRate / (lastCrossing - firstCrossing);
}

double strongestFrequencyHz(const std::vector<int16_t> &samples, size_t first, size_t count,
                            double lowHz, double highHz)
{
    const size_t end = std::min(samples.size(), first + count);
    double bestPower = -1.0;
    double bestFrequency = 0.0;
    for (double frequency = lowHz; frequency <= highHz; frequency += 1.0) {
        // Goertzel filter at this frequency.
        const double coefficient = 2.0 * std::cos(2.0 * M_PI * frequency / sampleRate);
        double previous = 0.0;
        double beforePrevious = 0.0;
        for (size_t i = first; i < end; ++i) {
            const double current = samples[i] + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
        }
        const double power = previous * previous + beforePrevious * beforePrevious -
                             coefficient * previous * beforePrevious;
        if (power > bestPower) {
            bestPower = power;
            bestFrequency = frequency;
        }
    }
    return bestFrequency;
}

double rmsLevel(const std::vector<int16_t> &samples, size_t first, size_t count)
{
    const size_t end = std::min(samples.size(), first + count);
    if (end <= first)
        return 0.0;
    double sum = 0.0;
    for (size_t i = first; i < end; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(end - first));
}

}  // namespace hp::soundtest
