// The front panel: the application object, one global instance holding the
// player's window-facing state. It is the panel the window shows
// (panel/panel.h: the fields, the paint steps and the pointer handlers);
// its constructor is the program's start-up sequence and its destructor
// the shutdown sequence, and the menu builder (app/menu.cpp) and the
// end-of-track test are its own methods.
#pragma once

#include <stdint.h>

#include "panel/paint_resources.h"
#include "panel/panel.h"
#include "platform/win32.h"

class FrontPanel : public Panel {
public:
    // Start-up: settings file (with the first-run question), the MCI test,
    // media types, the play queue and its file, paint resources, volumes,
    // the popup menu.
    FrontPanel();
    // Shutdown: paint resources, the play queue's file, the settings.
    ~FrontPanel();
    FrontPanel(const FrontPanel &) = delete;
    FrontPanel &operator=(const FrontPanel &) = delete;

    // Builds the whole popup menu into *menu (always &popupMenu); the menu
    // it replaces is destroyed. Returns 1.
    int buildMenu(HMENU *menu);

    // 1 when a track plays and `elapsed` has reached its length plus two
    // seconds.
    int isTrackFinished(int32_t elapsed);
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

// The application shell's plain globals; the pointer's position,
// pointerPos, is the hot spots' (panel/hot_spots.h).
extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HMENU popupMenu;
extern HBITMAP backgroundBitmap;
extern HBRUSH backgroundBrush;
extern int32_t screenWidth;
extern int32_t screenHeight;
extern HDROP dropHandle;
extern int32_t dropIndex;

// Offers a file to the catalogue; when a media type catalogues it, the new
// entry joins the end of the play queue. Returns 1 when the queue grew.
// The one road into the queue for a dropped file, a file named on the
// command line and a file handed over by a second start.
int queueFile(const char *path);

// Window procedure of class "Hoollyphone" (app/window_proc.cpp).
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog procedure of the About box (app/menu.cpp).
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
