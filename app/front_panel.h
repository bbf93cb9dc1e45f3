// The front panel: the application object, one global instance holding the
// player's window-facing state. Its constructor is the program's start-up
// sequence and its destructor the shutdown sequence; the paint steps
// (panel/), the pointer handlers (panel/hot_spots.cpp), the menu builder
// (app/menu.cpp) and the end-of-track test are its methods. The window
// procedure and the paint and pointer code read and change its fields
// directly.
#pragma once

#include <stdint.h>

#include "platform/win32.h"

class FrontPanel {
public:
    static constexpr int textCapacity = 260;

    // Start-up: settings file (with the first-run question), the MCI test,
    // media types, the play queue and its file, paint resources, volumes,
    // the popup menu.
    FrontPanel();
    // Shutdown: paint resources, the play queue's file, the settings.
    ~FrontPanel();
    FrontPanel(const FrontPanel &) = delete;
    FrontPanel &operator=(const FrontPanel &) = delete;

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

    // Builds the whole popup menu into *menu (always &popupMenu); the menu
    // it replaces is destroyed. Returns 1.
    int buildMenu(HMENU *menu);

    // 1 when a track plays and `elapsed` has reached its length plus two
    // seconds.
    int isTrackFinished(int32_t elapsed);

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

extern FrontPanel frontPanel;

// Reads the gauge values of mixer device `mixerDevice`: Wave, CD, MIDI, in
// this order; a line that the device lacks leaves its value as it was.
void readVolumes(FrontPanel &panel);

// What the shutdown keeps: the play queue's file, then the graphic effect
// and the mixer device in the settings. Run by the destructor, and by the
// window procedure when the session ends under the program (the platform
// may then end the process without running the destructor). Saving twice
// writes the same files again.
void saveQueueAndSettings(FrontPanel &panel);

// The application shell's plain globals.
extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HMENU popupMenu;
extern HBITMAP backgroundBitmap;
extern HBRUSH backgroundBrush;
extern int32_t screenWidth;
extern int32_t screenHeight;
extern POINT pointerPos;  // client position of the pointer; screen position after a right click
extern HDROP dropHandle;
extern int32_t dropIndex;

// Paint resources, created by the constructor and deleted by the destructor
// in this order.
extern HFONT panelFont;
extern HBRUSH redLightBrush;
extern HBRUSH yellowLightBrush;
extern HBRUSH greenLightBrush;
extern HBRUSH blueLightBrush;
extern HBRUSH unlitLightBrush;
extern HBRUSH progressBrush;

// Offers a file to the catalogue; when a media type catalogues it, the new
// entry joins the end of the play queue. Returns 1 when the queue grew.
// The one road into the queue for a dropped file, a file named on the
// command line and a file handed over by a second start.
int queueFile(const char *path);

// Window procedure of class "Hoollyphone" (app/window_proc.cpp).
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog procedure of the About box (app/menu.cpp).
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
