#include "platform/user32/system_classes.h"

#include "platform/user32/window_system.h"
#include "platform/win32.h"

namespace hp::user32 {
namespace {

constexpr UINT getDialogCode = 0x0087;   // WM_GETDLGCODE
constexpr UINT buttonClick = 0x00F5;     // BM_CLICK
constexpr UINT buttonSetStyle = 0x00F4;  // BM_SETSTYLE
constexpr UINT staticSetIcon = 0x0170;   // STM_SETICON
constexpr UINT staticGetIcon = 0x0171;   // STM_GETICON
constexpr LRESULT codeDefaultPushButton = 0x0010;  // DLGC_DEFPUSHBUTTON
constexpr LRESULT codeOtherPushButton = 0x0020;    // DLGC_UNDEFPUSHBUTTON
constexpr LRESULT codeStatic = 0x0100;             // DLGC_STATIC
constexpr LRESULT codeButton = 0x2000;             // DLGC_BUTTON
constexpr DWORD buttonTypeMask = 0x0000000F;       // BS_TYPEMASK

}  // namespace

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
    const DWORD type = window->style & buttonTypeMask;
    switch (message) {
    case buttonClick:
        // A click tells the parent, as the button's release of the mouse does.
        if (type != BS_GROUPBOX && window->parent) {
            SendMessageA(window->parent, WM_COMMAND,
                         MAKEWPARAM(static_cast<WORD>(window->controlId), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        }
        return 0;
    case getDialogCode:
        if (type == BS_GROUPBOX)
            return codeStatic;
        return codeButton | (type == BS_DEFPUSHBUTTON ? codeDefaultPushButton : codeOtherPushButton);
    case buttonSetStyle:
        window->style = (window->style & ~buttonTypeMask) | (wParam & buttonTypeMask);
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
    case getDialogCode:
        return codeStatic;
    case staticSetIcon: {
        HICON previous = window->staticIcon;
        window->staticIcon = reinterpret_cast<HICON>(wParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case staticGetIcon:
        return reinterpret_cast<LRESULT>(window->staticIcon);
    default:
        return DefWindowProcA(control, message, wParam, lParam);
    }
}

}  // namespace hp::user32
