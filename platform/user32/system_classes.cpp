#include "platform/user32/system_classes.h"

#include "platform/user32/window_system.h"
#include "platform/win32.h"

namespace hp::user32 {

void registerSystemClasses(WindowClassRegistry &classes)
{
    WindowClass dialog;
    dialog.atom = dialogClassAtom;
    dialog.name = "#32770";
    dialog.procedure = dialogWindowProcedure;
    dialog.system = true;
    classes.add(dialog);

    WindowClass button;
    button.name = "Button";
    button.procedure = buttonProcedure;
    button.system = true;
    classes.add(button);

    WindowClass text;
    text.name = "Static";
    text.procedure = staticProcedure;
    text.system = true;
    classes.add(text);
}

LRESULT CALLBACK buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem &system = WindowSystem::instance();
    Window *window = system.windows().find(button);
    if (!window)
        return 0;
    const DWORD type = window->style & BS_TYPEMASK;
    switch (message) {
    case BM_CLICK:
        // A click tells the parent, as the button's release of the mouse does.
        if (type != BS_GROUPBOX && window->parent) {
            SendMessageA(window->parent, WM_COMMAND,
                         MAKEWPARAM(static_cast<WORD>(window->controlId), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        }
        return 0;
    case WM_GETDLGCODE:
        if (type == BS_GROUPBOX)
            return DLGC_STATIC;
        return DLGC_BUTTON | (type == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE:
        window->style = (window->style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK);
        return 0;
    default:
        return DefWindowProcA(button, message, wParam, lParam);
    }
}

LRESULT CALLBACK staticProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem &system = WindowSystem::instance();
    Window *window = system.windows().find(control);
    if (!window)
        return 0;
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case STM_SETICON: {
        HICON previous = window->staticIcon;
        window->staticIcon = reinterpret_cast<HICON>(wParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(window->staticIcon);
    default:
        return DefWindowProcA(control, message, wParam, lParam);
    }
}

}  // namespace hp::user32
