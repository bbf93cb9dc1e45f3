#include "tools/skin/preview_composer.h"

#include <cstddef>

#include "tools/skin/pixel_font.h"
#include "tools/skin/skin_layout.h"

namespace hp::skin {

using namespace layout;

namespace {

void blit(Raster& window, const Raster& parts, Spot source, int width, int height, Spot place)
{
    if (width <= 0 || height <= 0)
        return;
    window.copyFrom(parts, source.x, source.y, width, height, place.x, place.y);
}

void drawScene(Raster& window, const Raster& parts, uint32_t frame)
{
    const uint32_t row = frame % 210;
    const bool active[] = {row <= 70, row >= 141, row >= 71 && row <= 140};
    for (size_t i = 0; i < kRowSpritePlaces.size(); ++i)
        blit(window, parts, active[i] ? kRowSpriteActiveSources[i] : kRowSpriteIdleSource,
             kRowSpriteWidth, kRowSpriteHeight, kRowSpritePlaces[i]);
    const bool flashes[] = {frame % 14 >= 12, frame % 19 == 1 || frame % 19 == 2};
    for (size_t i = 0; i < kBlinkers.size(); ++i)
        blit(window, parts, flashes[i] ? kBlinkers[i].flashSource : kBlinkers[i].restSource,
             kBlinkerWidth, kBlinkerHeight, kBlinkers[i].place);
    for (size_t i = 0; i < kFastTwinklePlaces.size(); ++i) {
        const int phase = static_cast<int>((frame + i) % 8) / 2;
        blit(window, parts, {phase * kTwinkleSourceStep, kFastTwinkleSourceY}, kTwinkleSide,
             kTwinkleSide, kFastTwinklePlaces[i]);
    }
    for (size_t i = 0; i < kSlowTwinklePlaces.size(); ++i) {
        const int phase = static_cast<int>((frame + i) % 16) / 4;
        blit(window, parts, {phase * kTwinkleSourceStep, kSlowTwinkleSourceY}, kTwinkleSide,
             kTwinkleSide, kSlowTwinklePlaces[i]);
    }
}

void drawLights(Raster& window, uint32_t frame, LightSwitch effect)
{
    const uint32_t r = frame % 33;
    const bool lit[] = {r <= 13, r >= 9 && r <= 20, r <= 3 || r >= 15, r <= 13 || r >= 30};
    for (size_t i = 0; i < kTreeLights.size(); ++i) {
        const int group = lightGroup(static_cast<int>(i));
        const Rgba color =
            (effect == LightSwitch::Off || lit[group]) ? kLitLights[group] : kUnlitLight;
        const Area area = litArea(kTreeLights[i]);
        window.fillRect(area.left, area.top, area.right - area.left + 1,
                        area.bottom - area.top + 1, color);
    }
}

void drawGauges(Raster& window, const Raster& parts, const PreviewState& state)
{
    const int values[] = {state.cdVolume, state.midiVolume, state.waveVolume};
    for (size_t i = 0; i < kGauges.size(); ++i) {
        const Gauge& gauge = kGauges[i];
        const int64_t value = values[i];
        const int empty = static_cast<int>(
            (static_cast<int64_t>(gauge.scale) * (4294967296LL - 65537LL * value)) / 4294967296LL);
        blit(window, parts, gauge.emptySource, gauge.width, empty, {gauge.left, gauge.top});
        blit(window, parts, {gauge.fullSourceX, gauge.emptySource.y + empty}, gauge.width,
             gauge.height - empty, {gauge.left, gauge.top + empty});
    }
}

// The program's 17-pixel font stands in here as the built-in font drawn
// twice as tall and emboldened, in the same 9-pixel cells.
void drawTextLine(Raster& window, Spot origin, const std::string& text, int cells)
{
    std::string line = text;
    line.resize(static_cast<size_t>(cells), ' ');
    window.fillRect(origin.x, origin.y, cells * kTextCellWidth, kTextHeight, kTextBackground);
    for (int cell = 0; cell < cells; ++cell) {
        const std::string glyph(1, line[static_cast<size_t>(cell)]);
        const int glyphLeft = origin.x + cell * kTextCellWidth + 1;
        PixelFont::forEachPixel(glyph, [&](int x, int y) {
            window.fillRect(glyphLeft + x, origin.y + 1 + y * 2, 2, 2, kTextColor);
        });
    }
}

void drawProgress(Raster& window, const PreviewState& state)
{
    const Area bar = kProgressBar;
    window.fillRect(bar.left, bar.top, bar.right - bar.left + 1, bar.bottom - bar.top + 1,
                    rgb(255, 255, 255));
    window.fillRect(bar.left + 1, bar.top + 1, bar.right - bar.left - 1,
                    bar.bottom - bar.top - 1, kProgressFill);
    const float share = static_cast<float>(state.elapsedSeconds) / state.trackSeconds;
    const int width = static_cast<int>(152.0f * share);
    window.fillRect(bar.left, bar.top, width, bar.bottom - bar.top + 1, rgb(255, 255, 255));
}

} // namespace

Raster PreviewComposer::compose(const Raster& backdrop, const Raster& parts,
                                const PreviewState& state)
{
    Raster window = backdrop;
    drawScene(window, parts, state.frame);
    drawLights(window, state.frame, state.effect);
    drawGauges(window, parts, state);
    drawTextLine(window, kStatusOrigin, state.status, kTextCells);
    drawTextLine(window, kTitleOrigin, state.title, kTextCells);
    if (state.effect == LightSwitch::On)
        drawTextLine(window, kEndMarkOrigin, "", kEndMarkCells);
    drawProgress(window, state);
    return window;
}

} // namespace hp::skin
