#include "tools/skin/parts_sheet.h"

#include <cstddef>

#include "tools/skin/backdrop_painter.h"
#include "tools/skin/cabin_painter.h"
#include "tools/skin/gauge_painter.h"
#include "tools/skin/ornament_painter.h"
#include "tools/skin/skin_layout.h"

namespace hp::skin {

using namespace layout;

namespace {

constexpr Rgba kUnusedArea = rgb(64, 64, 72);

void paintCandles(Raster& sheet, const Raster& backdrop)
{
    const Spot firstPlace = kRowSpritePlaces.front();
    sheet.copyFrom(backdrop, firstPlace.x, firstPlace.y, kRowSpriteWidth, kRowSpriteHeight,
                   kRowSpriteIdleSource.x, kRowSpriteIdleSource.y);
    const FlameState flames[] = {FlameState::LeaningLeft, FlameState::Upright,
                                 FlameState::LeaningRight};
    for (size_t index = 0; index < kRowSpritePlaces.size(); ++index) {
        const Spot place = kRowSpritePlaces[index];
        const Spot source = kRowSpriteActiveSources[index];
        sheet.copyFrom(backdrop, place.x, place.y, kRowSpriteWidth, kRowSpriteHeight, source.x,
                       source.y);
        // Clear the calm flame above the wick, then light the candle up.
        sheet.fillRect(source.x + 1, source.y + 1, kRowSpriteWidth - 2, 3,
                       CabinPainter::kCandleWindowColor);
        sheet.fillRect(source.x + 1, source.y + 4, 3, 1, CabinPainter::kCandleWindowColor);
        sheet.fillRect(source.x + 5, source.y + 4, 4, 1, CabinPainter::kCandleWindowColor);
        OrnamentPainter::paintCandle(sheet, source.x, source.y, flames[index]);
    }
}

void paintBlinkers(Raster& sheet, const Raster& backdrop)
{
    const BaubleFinish finishes[] = {BaubleFinish::Gold, BaubleFinish::Red};
    for (size_t index = 0; index < kBlinkers.size(); ++index) {
        const Blinker& blinker = kBlinkers[index];
        sheet.copyFrom(backdrop, blinker.place.x, blinker.place.y, kBlinkerWidth, kBlinkerHeight,
                       blinker.restSource.x, blinker.restSource.y);
        sheet.copyFrom(backdrop, blinker.place.x, blinker.place.y, kBlinkerWidth, kBlinkerHeight,
                       blinker.flashSource.x, blinker.flashSource.y);
        OrnamentPainter::paintBauble(sheet, blinker.flashSource.x, blinker.flashSource.y,
                                     finishes[index], BaubleState::Flashing);
    }
}

void paintTwinkles(Raster& sheet)
{
    for (int phase = 0; phase < kTwinklePhases; ++phase) {
        const int x = phase * kTwinkleSourceStep;
        sheet.fillRect(x, kFastTwinkleSourceY, kTwinkleSide, kTwinkleSide,
                       BackdropPainter::kSkyColor);
        OrnamentPainter::paintTwinkle(sheet, x, kFastTwinkleSourceY, phase);
        sheet.fillRect(x, kSlowTwinkleSourceY, kTwinkleSide, kTwinkleSide,
                       BackdropPainter::kSkyColor);
        OrnamentPainter::paintSlowTwinkle(sheet, x, kSlowTwinkleSourceY, phase);
    }
}

void paintGaugeColumns(Raster& sheet, const Raster& backdrop)
{
    // The empty column is the background's own empty gauge. The rows past
    // the gauge's height are what the background holds just below the
    // gauge: at volume 0 the program draws one of them. CD and MIDI share
    // their columns, and their tubes are alike, so either may supply them.
    for (const Gauge& gauge : kGauges) {
        const int spareRows = gauge.scale + 2 - gauge.height;
        sheet.copyFrom(backdrop, gauge.left, gauge.top, gauge.width, gauge.scale + 2,
                       gauge.emptySource.x, gauge.emptySource.y);
        GaugePainter::paintColumn(sheet, gauge.fullSourceX, gauge.emptySource.y, gauge.width,
                                  gauge.height, GaugeFill::Full);
        sheet.copyFrom(backdrop, gauge.left, gauge.top + gauge.height, gauge.width, spareRows,
                       gauge.fullSourceX, gauge.emptySource.y + gauge.height);
    }
}

} // namespace

Raster PartsSheet::paint(const Raster& backdrop)
{
    Raster sheet(kPartsWidth, kPartsHeight, kUnusedArea);
    paintCandles(sheet, backdrop);
    paintBlinkers(sheet, backdrop);
    paintTwinkles(sheet);
    paintGaugeColumns(sheet, backdrop);
    return sheet;
}

} // namespace hp::skin
