// The arithmetic of the panel's text lines, gauges, progress bar and seek
// bar, kept apart from drawing so it can be checked on its own.
#pragma once

#include <stdint.h>

// Visible width of every text line, in bytes (cells of the fixed-pitch font).
constexpr int textLineBytes = 27;

// The bytes of the title line at an animation tick: the title standing,
// or scrolling when it is 27 bytes or longer; `shown` receives at least the
// 27 bytes to draw (it needs room for 2 x 259 + 3 bytes).
// Pure function of the title and the tick.
constexpr int marqueeBufferBytes = 2 * 260 + 4;
void composeMarquee(const char *title, uint32_t frame, char *shown);

// Turns every byte below 0x20 among the first `count` bytes into a space.
// A control character (the line feed that ends a found artist) is drawn
// as a blank cell: the line keeps its 27 bytes and the marquee its byte
// positions. No trail byte lies below 0x40, so no character is cut.
void blankControlBytes(char *text, int count);

// True when byte `index` of text is the second byte of a double-byte
// character, scanning from the start.
bool isSecondByteAt(const char *text, int index);

// Rows of a gauge's empty piece for a value on a gauge of scale K:
// trunc(K - value x c x K) with c the single-precision number nearest
// 1/65535, i.e. trunc(K x (2^32 - 65537 x value) / 2^32).
int gaugeEmptyHeight(int32_t value, int scale);

// Percentage shown for a gauge value: trunc(100 x 65537 x value / 2^32).
int gaugePercent(int32_t value);

// Width in pixels of the elapsed part of the 152-pixel progress bar:
// trunc(152 x q), q = elapsed / length rounded to single precision. A
// length of 0 (a track shorter than a second) shows an empty bar before the
// first tick and a full one after it; a play time at or past the length
// shows the full bar, never more.
int progressWidth(int32_t elapsedSeconds, int32_t trackSeconds);

// Second to seek to for a press at x on the seek bar (x 236 to 388):
// trunc((x - 236) x c x length) with c the single-precision number nearest
// 1/152.
int32_t seekSecond(int x, int32_t trackSeconds);
