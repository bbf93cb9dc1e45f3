#include "panel/paint_resources.h"

HFONT panelFont;
HBRUSH redLightBrush;
HBRUSH yellowLightBrush;
HBRUSH greenLightBrush;
HBRUSH blueLightBrush;
HBRUSH unlitLightBrush;
HBRUSH progressBrush;

void createPaintResources()
{
    panelFont = CreateFontA(17, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN,
                            "ＭＳ 明朝");
    redLightBrush = CreateSolidBrush(RGB(185, 0, 0));
    yellowLightBrush = CreateSolidBrush(RGB(185, 185, 0));
    greenLightBrush = CreateSolidBrush(RGB(0, 185, 0));
    blueLightBrush = CreateSolidBrush(RGB(36, 120, 185));
    unlitLightBrush = CreateSolidBrush(RGB(0, 84, 0));
    progressBrush = CreateSolidBrush(RGB(255, 201, 134));
}

void deletePaintResources()
{
    DeleteObject(panelFont);
    DeleteObject(redLightBrush);
    DeleteObject(yellowLightBrush);
    DeleteObject(greenLightBrush);
    DeleteObject(blueLightBrush);
    DeleteObject(unlitLightBrush);
    DeleteObject(progressBrush);
}
