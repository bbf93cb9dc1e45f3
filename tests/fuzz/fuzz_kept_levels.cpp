// The kept mixer levels over arbitrary bytes: a text is read whole or not
// at all, every level read is in range, and what is read is written back
// as the same levels.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/winmm/kept_levels.h"

namespace {

using hp::winmm::OutputLines;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    OutputLines::AllLevels levels{};
    levels[0].volume = {7, 7};
    const OutputLines::AllLevels untouched = levels;
    if (!hp::winmm::parseLevels(text, levels)) {
        for (size_t line = 0; line < levels.size(); ++line)
            require(levels[line].volume == untouched[line].volume &&
                    levels[line].mute == untouched[line].mute);
        return 0;
    }
    for (const OutputLines::Levels &line : levels) {
        for (int channel = 0; channel < OutputLines::channelCount; ++channel) {
            require(line.volume[channel] >= 0 && line.volume[channel] <= OutputLines::maximumVolume);
            require(line.mute[channel] == 0 || line.mute[channel] == 1);
        }
    }
    OutputLines::AllLevels again{};
    require(hp::winmm::parseLevels(hp::winmm::formatLevels(levels), again));
    for (size_t line = 0; line < levels.size(); ++line)
        require(again[line].volume == levels[line].volume && again[line].mute == levels[line].mute);
    return 0;
}
