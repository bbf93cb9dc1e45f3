// The three pointer handlers. The window procedure calls all three, in the
// order buttons, gauges, seek bar, for every message before it acts itself;
// each returns at once for messages it does not handle.
#include "panel/hot_spots.h"

#include "catalog/media_catalog.h"
#include "panel/panel.h"
#include "panel/panel_layout.h"
#include "panel/panel_math.h"
#include "panel/play_steps.h"
#include "panel/window_identifiers.h"
#include "sound/sound_device.h"

POINT pointerPos;

namespace {

constexpr const char *greetingText = "Happy New Christmas";
constexpr const char *movingText = "Moving this Window";
constexpr int volumeStep = 500;

void showStatusLine(Panel &panel, HWND window)
{
    HDC dc = GetDC(window);
    panel.drawStatusLine(dc);
    ReleaseDC(window, dc);
}

void storePointer(POINT point) { pointerPos = point; }

}  // namespace

PanelButton buttonAt(int x, int y)
{
    if (stopButton.contains(x, y))
        return PanelButton::Stop;
    if (playButton.contains(x, y))
        return PanelButton::Play;
    if (nextButton.contains(x, y))
        return PanelButton::Next;
    if (previousButton.contains(x, y))
        return PanelButton::Previous;
    if (quitButton.contains(x, y))
        return PanelButton::Quit;
    return PanelButton::None;
}

const char *hoverText(PanelButton button)
{
    switch (button) {
    case PanelButton::Stop:
        return "Stop the Playing Music.";
    case PanelButton::Play:
        return "Play a Choose Music.";
    case PanelButton::Next:
        return "Play the Next Music.";
    case PanelButton::Previous:
        return "Play the Previous Music.";
    case PanelButton::Quit:
        return "Hollyphone End.";
    case PanelButton::None:
        break;
    }
    return greetingText;
}

POINT pointerFromLParam(LPARAM lParam)
{
    return {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
}

int Panel::handleButtons(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        setStatusText(*this, greetingText);
        return 1;
    case WM_MOUSEMOVE: {
        POINT pointer = pointerFromLParam(lParam);
        storePointer(pointer);
        if (isPlaying == 0)
            setStatusText(*this, hoverText(buttonAt(pointer.x, pointer.y)));
        showStatusLine(*this, window);
        return 1;
    }
    case WM_LBUTTONDOWN:
        break;
    default:
        return 0;
    }

    POINT pointer = pointerFromLParam(lParam);
    storePointer(pointer);
    switch (buttonAt(pointer.x, pointer.y)) {
    case PanelButton::Stop:
        stopByUser(*this, window);
        break;
    case PanelButton::Play:
        startCurrentEntry(*this, window);
        break;
    case PanelButton::Next:
        PostMessageA(window, WM_COMMAND, commandNextTrack, 0);
        break;
    case PanelButton::Previous:
        previousTrack(*this, window);
        return 1;
    case PanelButton::Quit:
        PostMessageA(window, WM_COMMAND, commandQuit, 0);
        return 1;
    case PanelButton::None:
        break;
    }
    // Also after stop, play and next: the press starts a move of the window.
    setStatusText(*this, movingText);
    showStatusLine(*this, window);
    return 1;
}

int Panel::handleGaugeClick(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_LBUTTONDOWN)
        return 0;
    POINT pointer = pointerFromLParam(lParam);
    storePointer(pointer);
    for (const GaugeLayout &gauge : panelGauges) {
        if (!gauge.hotRect().contains(pointer.x, pointer.y))
            continue;
        int32_t value = this->*gauge.value;
        int level = gauge.scale.top + gaugeEmptyHeight(value, gauge.scale.height);
        if (pointer.y > level)
            value -= volumeStep;
        else if (pointer.y < level)
            value += volumeStep;
        this->*gauge.value = value;
        soundDevice.setVolume(mixerDevice, value, gauge.line);

        char text[textCapacity];
        wsprintfA(text, gauge.statusFormat, gaugePercent(value));
        setStatusText(*this, text);
        invalidateWholeWindow(window);
    }
    return 1;
}

int Panel::handleSeekClick(HWND, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_LBUTTONDOWN)
        return 0;
    POINT pointer = pointerFromLParam(lParam);
    storePointer(pointer);
    if (!seekBar.contains(pointer.x, pointer.y) || isPlaying != 1)
        return 1;

    elapsedSeconds = seekSecond(pointer.x, trackSeconds);
    int track = 0;
    int seconds = 0;
    soundDevice.getPosition(nullptr, &track, &seconds);
    soundDevice.stop(nullptr);
    soundDevice.setTrackAndStart(nullptr, track, elapsedSeconds);
    soundDevice.playFromPosition(nullptr);
    return 1;
}
