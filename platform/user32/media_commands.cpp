// USER32: media commands (WM_APPCOMMAND) from the keyboard's media keys and
// from the desktop's media controls.
#include "platform/user32/media_commands.h"

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

HWND mainWindow()
{
    const WindowTable &windows = WindowSystem::instance().windows();
    for (HWND handle : windows.handles()) {
        const Window *window = windows.find(handle);
        if (window && !window->isChild() && !window->owner && !window->destroying &&
            window->visible())
            return handle;
    }
    return nullptr;
}

void postMediaCommand(short appCommand)
{
    if (HWND window = mainWindow())
        PostMessageA(window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(0, static_cast<WORD>(appCommand) | FAPPCOMMAND_OEM));
}

void raiseMainWindow()
{
    if (HWND window = mainWindow())
        SetForegroundWindow(window);
}

void closeMainWindow()
{
    if (HWND window = mainWindow())
        PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace hp::user32
