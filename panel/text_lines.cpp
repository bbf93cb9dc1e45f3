// The text lines, the volume gauges and the progress bar. Every step draws
// opaquely over the skin, so a line or a gauge is redrawn alone without
// erasing first; none of them changes a field.
#include <string.h>

#include "panel/paint_resources.h"
#include "panel/panel.h"
#include "panel/panel_layout.h"
#include "panel/panel_math.h"
#include "panel/sprite.h"

namespace {

constexpr COLORREF textBackground = RGB(255, 204, 204);
constexpr COLORREF textColour = RGB(0, 128, 0);
constexpr const char *marqueeEndMark = "　";  // one full-width space, 2 bytes
constexpr const char *padToLine = "%s                                ";  // the text and 32 spaces
constexpr int paddedBytes = Panel::textCapacity + 32;
constexpr int marqueeMinimumBytes = 27;  // titles this long or longer scroll

void selectTextStyle(HDC dc)
{
    SelectObject(dc, panelFont);
    SetBkColor(dc, textBackground);
    SetTextColor(dc, textColour);
}

// The text followed by spaces, drawn 27 bytes wide: a shorter text wipes
// out the rest of a longer one drawn before. Control bytes draw as blanks.
void drawPaddedLine(HDC dc, POINT origin, const char *text)
{
    char padded[paddedBytes];
    wsprintfA(padded, padToLine, text);
    blankControlBytes(padded, textLineBytes);
    TextOutA(dc, origin.x, origin.y, padded, textLineBytes);
}

}  // namespace

void Panel::drawStatusLine(HDC dc)
{
    selectTextStyle(dc);
    drawPaddedLine(dc, statusOrigin, statusText);
}

void Panel::drawTitleLine(HDC dc)
{
    selectTextStyle(dc);
    if (marqueeOn == 0) {
        drawPaddedLine(dc, titleOrigin, titleText);
        return;
    }
    if (lstrlenA(titleText) < marqueeMinimumBytes) {
        drawPaddedLine(dc, titleOrigin, titleText);
    } else {
        char shown[marqueeBufferBytes];
        composeMarquee(titleText, frameCount, shown);
        blankControlBytes(shown, textLineBytes);
        TextOutA(dc, titleOrigin.x, titleOrigin.y, shown, textLineBytes);
    }
    TextOutA(dc, marqueeEndMarkOrigin.x, marqueeEndMarkOrigin.y, marqueeEndMark, 2);
}

void Panel::drawGauges(HDC dc)
{
    for (const GaugeLayout &gauge : panelGauges) {
        const PanelArea &scale = gauge.scale;
        int emptyRows = gaugeEmptyHeight(this->*gauge.value, scale.height);
        drawSprite(skinSprite(dc, gauge.emptyX, gauge.emptyY, scale.width, emptyRows, scale.left,
                              scale.top));
        drawSprite(skinSprite(dc, gauge.fullX, gauge.emptyY + emptyRows, scale.width,
                              gauge.height() - emptyRows, scale.left, scale.top + emptyRows));
    }
}

void Panel::drawProgressBar(HDC dc)
{
    SelectObject(dc, GetStockObject(WHITE_PEN));
    SelectObject(dc, progressBrush);
    Rectangle(dc, progressBar.left, progressBar.top, progressBar.right(), progressBar.bottom());
    int elapsedWidth = progressWidth(elapsedSeconds, trackSeconds);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, progressBar.left, progressBar.top, progressBar.left + elapsedWidth,
              progressBar.bottom());
}
