// The animated scene and the tree lights: pure functions of frameCount (and
// of the effect switch for the lights), advanced by the 100 ms animation
// timer. Every call repaints every decoration completely.
#include "panel/paint_resources.h"
#include "panel/panel.h"
#include "panel/scene_layout.h"
#include "panel/sprite.h"

namespace {

void drawSkinSprite(HDC dc, const SpriteSource &source, int width, int height, const Point &at)
{
    drawSprite(skinSprite(dc, source.x, source.y, width, height, at.x, at.y));
}

}  // namespace

void Panel::drawScene(HDC dc)
{
    const uint32_t frame = frameCount;
    for (int order = 0; order < rowSpriteCount; ++order)
        drawSkinSprite(dc, rowSpriteSource(order, frame), rowSpriteWidth, rowSpriteHeight,
                       rowSpriteDestinations[order]);
    drawSkinSprite(dc, upperBlinkerSource(frame), blinkerWidth, blinkerHeight,
                   upperBlinkerDestination);
    drawSkinSprite(dc, lowerBlinkerSource(frame), blinkerWidth, blinkerHeight,
                   lowerBlinkerDestination);
    for (int index = 0; index < twinkleCount; ++index)
        drawSkinSprite(dc, twinkleSource(index, frame), twinkleSize, twinkleSize,
                       twinkleDestinations[index]);
    for (int index = 0; index < slowTwinkleCount; ++index)
        drawSkinSprite(dc, slowTwinkleSource(index, frame), twinkleSize, twinkleSize,
                       slowTwinkleDestinations[index]);
}

void Panel::drawTreeLights(HDC dc, int effectSwitch)
{
    const HBRUSH litBrushes[lightGroupCount] = {redLightBrush, greenLightBrush, yellowLightBrush,
                                                blueLightBrush};
    SelectObject(dc, GetStockObject(NULL_PEN));
    for (int group = 0; group < lightGroupCount; ++group) {
        bool dark = effectSwitch == 1 && isLightGroupDark(static_cast<LightGroup>(group), frameCount);
        SelectObject(dc, dark ? unlitLightBrush : litBrushes[group]);
        for (const RECT &light : treeLights(static_cast<LightGroup>(group)))
            Rectangle(dc, light.left, light.top, light.right, light.bottom);
    }
}
