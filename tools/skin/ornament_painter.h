// Small ornaments that appear both on the background and, in their other
// states, on the parts sheet: candles, tree baubles and twinkling stars.
// Each is painted into a box so that the states of one ornament differ only
// inside that box and never on its outermost ring of pixels.
#pragma once

#include "tools/skin/raster.h"

namespace hp::skin {

enum class FlameState { Calm, LeaningLeft, Upright, LeaningRight };
enum class BaubleFinish { Gold, Red };
enum class BaubleState { Resting, Flashing };

class OrnamentPainter {
public:
    // A white candle standing on the bottom row of the 10 x 11 box at (left, top).
    static void paintCandle(Raster& target, int left, int top, FlameState flame);

    // A glass bauble in the 11 x 10 box at (left, top).
    static void paintBauble(Raster& target, int left, int top, BaubleFinish finish,
                            BaubleState state);

    // Twinkling star, phase 0..3, in the 8 x 8 box at (left, top): a pale
    // point that flares into a four-pointed sparkle and fades through a glint.
    static void paintTwinkle(Raster& target, int left, int top, int phase);

    // Slow twinkle, phase 0..3: a warm golden star that swells and settles.
    static void paintSlowTwinkle(Raster& target, int left, int top, int phase);
};

} // namespace hp::skin
