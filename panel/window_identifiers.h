// Identifiers of the main window that the panel shares with the window
// procedure: the commands the buttons post (WM_COMMAND, low word of
// wParam), which the window procedure carries out, and the two timers,
// which the panel's play steps and the window procedure start and stop.
#pragma once

enum ButtonCommand : int {
    commandNextTrack = 1000,  // also posted at the end of a track
    commandQuit = 2000,       // also the menu's last item
};

enum Timer : int {
    animationTimer = 100,  // 100 ms, while the graphic effect is on
    playClockTimer = 101,  // 1000 ms, while a track plays
};

constexpr unsigned animationPeriodMs = 100;
constexpr unsigned playClockPeriodMs = 1000;
