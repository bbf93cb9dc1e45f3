// Identifiers the window procedure knows: commands (WM_COMMAND, low word of
// wParam), timers and resources.
#pragma once

enum Command : int {
    commandNextTrack = 1000,
    commandQuit = 2000,
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

enum Timer : int {
    animationTimer = 100,  // 100 ms, while the graphic effect is on
    playClockTimer = 101,  // 1000 ms, while a track plays
};

constexpr unsigned animationPeriodMs = 100;
constexpr unsigned playClockPeriodMs = 1000;

// The main window's class, by which a second start finds the player.
constexpr const char *mainWindowClass = "Hoollyphone";

constexpr int iconResource = 101;
constexpr int aboutDialogResource = 106;
constexpr int aboutOkButton = 1005;

// The play queue's file.
constexpr const char *playlistPath = "./default.m3u";
