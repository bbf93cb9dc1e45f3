// The playing steps that the panel's buttons share with the window
// procedure's next-track command and its media commands (WM_APPCOMMAND). A track plays while isPlaying is 1 and
// the play clock (timer 101) runs; the clock counts elapsedSeconds.
#pragma once

#include "panel/panel.h"

// Starts the entry at the current queue position; on success the play
// clock runs from 0 and the track's length is known. A failed start
// changes nothing: a track that was playing goes on.
bool startCurrentEntry(Panel &panel, HWND window);

// Stops the sound and the play clock and sets both counters to 0. A failure
// to stop is shown in a message box owned by messageOwner, when one is
// given.
void stopPlaying(Panel &panel, HWND window, HWND messageOwner);

// After currentIndex has moved: a track that plays stops (no message box)
// and the entry at the new position starts; when it cannot start, playback
// stays stopped. While stopped, nothing happens.
void restartAtCurrentEntry(Panel &panel, HWND window);

// The stop button: while a track plays, stops it (a failure shows a
// message box owned by the window) and repaints the window.
void stopByUser(Panel &panel, HWND window);

// The previous button: moves currentIndex back one, wrapping to the last
// queued item, restarts there while playing, and repaints the window.
void previousTrack(Panel &panel, HWND window);
