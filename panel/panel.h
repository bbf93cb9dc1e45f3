// The front panel as the window shows it: the player's window-facing state,
// the paint steps that draw it and the pointer handlers that change it. The
// program's front panel (app/front_panel.h) is a Panel with the start-up
// and shutdown sequences, the menu and the end-of-track test around it;
// nothing here reaches back into the program. The window procedure and the
// paint and pointer code read and change the fields directly.
#pragma once

#include <stdint.h>
#include <string.h>

#include "platform/win32.h"

class Panel {
public:
    static constexpr int textCapacity = 260;

    // Animated scene and tree lights (panel/scene.cpp). Only the switch
    // value 1 counts as on.
    void drawScene(HDC dc);
    void drawTreeLights(HDC dc, int effectSwitch);

    // Text lines, progress bar and gauges (panel/text_lines.cpp).
    void drawStatusLine(HDC dc);
    void drawTitleLine(HDC dc);
    void drawGauges(HDC dc);
    void drawProgressBar(HDC dc);

    // Pointer hot spots (panel/hot_spots.cpp). Each returns at once for
    // messages it does not handle; the results are not used.
    int handleButtons(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int handleGaugeClick(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int handleSeekClick(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    char titleText[textCapacity];   // title line, composed on every WM_PAINT
    char statusText[textCapacity];  // status line: greeting, hints, play time, volumes
    char iniPath[textCapacity];     // the settings file, next to the executable
    int32_t currentIndex;           // position in the play queue
    uint32_t frameCount;            // animation ticks; wraps to 0
    int32_t elapsedSeconds;         // seconds played of the current track
    int32_t isPlaying;              // 1 while a track plays
    int32_t trackSeconds;           // length of the current track; 30000 until known
    int32_t waveVolume;             // gauge values, nominally 0-65535
    int32_t midiVolume;
    int32_t cdVolume;
    int32_t mixerDevice;            // mixer device behind the gauges
    int32_t graphicEffect;          // 1: animation, twinkling lights, marquee
    int32_t marqueeOn;              // 1: a long title scrolls
};

// Clears all of statusText and copies the text in; it fits the field.
inline void setStatusText(Panel &panel, const char *text)
{
    memset(panel.statusText, 0, sizeof panel.statusText);
    lstrcpyA(panel.statusText, text);
}

// Shows a change at the next WM_PAINT: the whole window, not erased, since
// every paint step draws opaquely over the skin.
inline void invalidateWholeWindow(HWND window) { InvalidateRect(window, nullptr, FALSE); }
