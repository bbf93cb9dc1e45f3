// One player per user session. A start while another player runs hands the
// files named on its command line to that player (hand_over.h), brings the
// player's window to the front and ends, without reading or writing the
// settings or the queue's file: the check runs during static
// initialisation, ahead of the front panel's start-up (app/globals.cpp).
//
// The player holds the mutex "Hollyphone.Player" for its whole life (the
// system drops it when the process ends, however it ends); the other start
// finds the player's main window by its class and sends the list with
// WM_COPYDATA. While the player is still starting or ending (the name held,
// no window that takes the files), the start tries again every
// playerRetryMs for playerWaitMs, and becomes the player itself if the name
// is free by then.
#pragma once

#include "platform/win32.h"

constexpr DWORD playerRetryMs = 100;
constexpr DWORD playerWaitMs = 20000;

// Returns 1 in the player; in any other start it does not return.
int claimThePlayer();

// The player's side of WM_COPYDATA: queues each file handed over, as a drop
// of it would, and repaints. TRUE when the data was a list of files.
LRESULT takeHandedOverFiles(HWND window, const COPYDATASTRUCT *copy);
