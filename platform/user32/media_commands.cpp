// USER32: media commands (WM_APPCOMMAND) from the keyboard's media keys.
#include "platform/user32/window_system.h"

namespace hp::user32 {

// Windows gives a media key to the focused window as WM_APPCOMMAND once
// DefWindowProc has met the key; here the key arrives as the command
// itself, with the keyboard as its device. Disabled windows (a modal
// dialog is open) take no input.
void WindowSystem::mediaKeyPressed(HWND handle, short appCommand)
{
    if (!acceptsInput(handle))
        return;
    postInput(handle, WM_APPCOMMAND, reinterpret_cast<WPARAM>(handle),
              MAKELPARAM(0, static_cast<WORD>(appCommand) | FAPPCOMMAND_KEY));
}

}  // namespace hp::user32
