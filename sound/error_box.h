// The error box of the sound device layer.
#pragma once

#include "platform/win32.h"

// Shows text with the library's caption and the error icon, owned by owner
// (a box of its own when owner is null).
void showLibraryError(HWND owner, const char *text);
