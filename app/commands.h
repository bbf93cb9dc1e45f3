// Identifiers the window procedure knows: commands (WM_COMMAND, low word of
// wParam), timers and resources. The buttons' commands (1000 and 2000) and
// the timers are shared with the panel (panel/window_identifiers.h).
#pragma once

#include "panel/window_identifiers.h"

enum Command : int {
    commandEffectOff = 2001,
    commandEffectOn = 2002,
    commandAddAudioCds = 2003,
    commandAbout = 2004,
    commandOpenTrayFirst = 2020,   // drive A; 1955 + the letter's code
    commandOpenTrayLast = 2045,    // drive Z
    commandCloseTrayFirst = 2050,  // drive A; 1985 + the letter's code
    commandCloseTrayLast = 2075,   // drive Z
    commandMixerFirst = 2080,      // mixer device 0
    commandMixerLast = 2104,       // mixer device 24
};

constexpr int openTrayBase = 1955;
constexpr int closeTrayBase = 1985;

// The main window's class, by which a second start finds the player.
constexpr const char *mainWindowClass = "Hoollyphone";

constexpr int iconResource = 101;
constexpr int aboutDialogResource = 106;
constexpr int aboutOkButton = 1005;

// The play queue's file.
constexpr const char *playlistPath = "./default.m3u";
