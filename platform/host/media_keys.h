// The keyboard's media keys as the desktop names them (X keysyms such as
// XF86AudioNext) and the media commands they give the program.
#pragma once

#include "platform/user32/display_backend.h"

namespace hp::host {

// The APPCOMMAND_MEDIA_* number of a media key's keysym, 0 for any other
// key. XF86AudioPlay is the play/pause key of today's keyboards (Linux
// gives it to the single play/pause key), XF86AudioPause a pause key of
// its own.
short appCommandOfKey(unsigned keyval);

// Hands a media key to the window system; true, the key is taken.
inline bool reportMediaKey(user32::DisplayListener *listener, HWND window, short command)
{
    if (listener)
        listener->mediaKeyPressed(window, command);
    return true;
}

}  // namespace hp::host
