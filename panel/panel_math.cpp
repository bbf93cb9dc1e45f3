#include "panel/panel_math.h"

#include <string.h>

#include "panel/panel_layout.h"
#include "sound/shift_jis.h"

namespace {

constexpr int64_t twoToThe32 = 4294967296LL;
constexpr int marqueeRestPhases = 18;
constexpr uint32_t ticksPerMarqueePhase = 6;

}  // namespace

bool isSecondByteAt(const char *text, int index)
{
    int state = 0;  // 0: normal, 1: after a lead byte, 2: second byte at index
    for (int j = 0; j <= index; ++j) {
        unsigned char byte = static_cast<unsigned char>(text[j]);
        if (state == 0 && isLeadByte(byte))
            state = 1;
        else if (state == 1 && isTrailByte(byte))
            state = (j == index) ? 2 : 0;
        else if (state == 2)
            state = 0;
        // A lead byte followed by a byte outside 0x40-0xFC keeps waiting
        // for its second byte.
    }
    return state == 2;
}

void composeMarquee(const char *title, uint32_t frame, char *shown)
{
    const int length = static_cast<int>(strlen(title));
    const uint32_t cycle = 2 * static_cast<uint32_t>(length) + marqueeRestPhases;
    const uint32_t phase = (frame / ticksPerMarqueePhase) % cycle;
    const int offset = phase >= marqueeRestPhases ? static_cast<int>(phase - marqueeRestPhases) : 0;
    const int headBytes = offset < length ? offset : length;

    char *out = shown;
    if (offset < length) {
        int tailBytes = length - offset;
        memcpy(out, title + offset, tailBytes);
        if (isSecondByteAt(title, offset))
            out[0] = ' ';
        out += tailBytes;
        *out++ = ' ';
        *out++ = ' ';
    } else if (offset == length) {
        *out++ = ' ';
    }
    memcpy(out, title, headBytes);
    out[headBytes] = '\0';
}

void blankControlBytes(char *text, int count)
{
    for (int i = 0; i < count; ++i) {
        if (static_cast<unsigned char>(text[i]) < 0x20)
            text[i] = ' ';
    }
}

int gaugeEmptyHeight(int32_t value, int scale)
{
    int64_t numerator = static_cast<int64_t>(scale) * (twoToThe32 - 65537LL * value);
    return static_cast<int>(numerator / twoToThe32);  // truncates toward zero
}

int gaugePercent(int32_t value)
{
    return static_cast<int>(100LL * 65537LL * value / twoToThe32);
}

int progressWidth(int32_t elapsedSeconds, int32_t trackSeconds)
{
    if (trackSeconds == 0)
        return elapsedSeconds > 0 ? progressBar.width : 0;
    // The play time runs up to two seconds past the length before the next
    // track starts; the bar stays full then instead of growing past its frame.
    if (elapsedSeconds >= trackSeconds)
        return progressBar.width;
    float fraction = static_cast<float>(elapsedSeconds) / static_cast<float>(trackSeconds);
    return static_cast<int>(progressBar.width * static_cast<double>(fraction));
}

int32_t seekSecond(int x, int32_t trackSeconds)
{
    const double step = static_cast<double>(1.0f / static_cast<float>(progressBar.width));
    return static_cast<int32_t>(static_cast<double>(x - progressBar.left) * step * trackSeconds);
}
