// USER32: modal dialogs from templates, and the dialog manager's default
// processing.
#include <algorithm>
#include <climits>

#include "platform/gdi32/surface.h"
#include "platform/user32/dialog_template.h"
#include "platform/user32/resources.h"
#include "platform/user32/system_classes.h"
#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::user32::DialogState;
using hp::user32::DialogTemplate;
using hp::user32::Window;
using hp::user32::WindowSystem;

namespace {

constexpr short defaultPosition = static_cast<short>(0x8000);  // CW_USEDEFAULT16
constexpr WORD messageBoxFontSize = 0x7FFF;      // "use the message box font"
constexpr int screenDotsPerInch = 96;

// Base units without a template font: the system font's.
constexpr int systemBaseUnitX = 8;
constexpr int systemBaseUnitY = 16;
constexpr int messageFontPoints = 9;

struct BaseUnits {
    int x = systemBaseUnitX;
    int y = systemBaseUnitY;
};

// The template font and the dialog units it gives: the average width of the
// 52 Latin letters, rounded, and the font's cell height, as the platform's
// dialog manager measures them.
HFONT createDialogFont(const DialogTemplate &dialog, BaseUnits &units, int &pixelHeight)
{
    if (!dialog.hasFont)
        return nullptr;
    const int points = dialog.pointSize == messageBoxFontSize ? messageFontPoints : dialog.pointSize;
    pixelHeight = MulDiv(points, screenDotsPerInch, 72);
    HFONT font = CreateFontA(-pixelHeight, 0, 0, 0, dialog.weight, dialog.italic ? TRUE : FALSE,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_DONTCARE,
                             dialog.faceName.c_str());
    if (!font)
        return nullptr;
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    if (GetTextExtentPoint32A(dc, alphabet, 52, &extent)) {
        const int averageWidth = (extent.cx / 26 + 1) / 2;
        if (averageWidth) {
            units.x = averageWidth;
            units.y = extent.cy;
        }
    }
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return font;
}

LPCSTR controlClassName(const hp::user32::NameOrOrdinal &windowClass, std::string &storage)
{
    using hp::user32::NameOrOrdinal;
    if (windowClass.kind == NameOrOrdinal::Kind::Name) {
        storage = windowClass.name;
        return storage.c_str();
    }
    if (windowClass.kind != NameOrOrdinal::Kind::Ordinal)
        return nullptr;
    // The platform reads the ordinals 0-5 as 0x80-0x85 too.
    WORD ordinal = windowClass.ordinal;
    if (ordinal <= 5)
        ordinal += 0x80;
    switch (ordinal) {
    case hp::user32::dialogClassButton:
        return "Button";
    case hp::user32::dialogClassEdit:
        return "Edit";
    case hp::user32::dialogClassStatic:
        return "Static";
    case hp::user32::dialogClassListBox:
        return "ListBox";
    case hp::user32::dialogClassScrollBar:
        return "ScrollBar";
    case hp::user32::dialogClassComboBox:
        return "ComboBox";
    default:
        return nullptr;
    }
}

bool createControls(HWND dialog, const DialogTemplate &dialogTemplate, HINSTANCE instance,
                    const BaseUnits &units)
{
    WindowSystem &system = WindowSystem::instance();
    int defaultId = 0;
    HWND defaultButton = nullptr;
    for (const auto &item : dialogTemplate.items) {
        std::string classStorage;
        LPCSTR className = controlClassName(item.windowClass, classStorage);
        const DWORD style = (item.style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
        DWORD exStyle = item.exStyle | WS_EX_NOPARENTNOTIFY;
        const bool textIsOrdinal = item.text.kind == hp::user32::NameOrOrdinal::Kind::Ordinal;
        HWND control = nullptr;
        if (className) {
            control = CreateWindowExA(exStyle, className, textIsOrdinal ? "" : item.text.name.c_str(),
                                      style, MulDiv(item.x, units.x, 4), MulDiv(item.y, units.y, 8),
                                      MulDiv(item.cx, units.x, 4), MulDiv(item.cy, units.y, 8),
                                      dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)),
                                      instance, nullptr);
        }
        if (!control) {
            if (dialogTemplate.style & DS_NOFAILCREATE)
                continue;
            return false;
        }
        Window *window = system.windows().find(control);
        const std::string classKey = className;
        if (window && classKey == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            // An icon control shows the icon resource its text names, at the
            // icon's own size unless told to keep the template's.
            if (textIsOrdinal)
                window->staticIcon = LoadIconA(instance, MAKEINTRESOURCEA(item.text.ordinal));
            else if (!item.text.name.empty())
                window->staticIcon = LoadIconA(instance, item.text.name.c_str());
            if (window->staticIcon && !(style & (SS_REALSIZECONTROL | SS_CENTERIMAGE))) {
                const int size = GetSystemMetrics(SM_CXICON);
                SetWindowPos(control, nullptr, 0, 0, size, size, SWP_NOMOVE | SWP_NOZORDER);
            }
        }
        if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
            // The last default push button of the template wins.
            if (defaultButton)
                SendMessageA(defaultButton, 0x00F4 /* BM_SETSTYLE */, BS_PUSHBUTTON, FALSE);
            defaultButton = control;
            defaultId = static_cast<int>(item.id);
        }
    }
    if (Window *window = system.windows().find(dialog); window && window->dialog)
        window->dialog->defaultId = defaultId;
    return true;
}

HWND firstTabStop(HWND dialog)
{
    const Window *window = WindowSystem::instance().windows().find(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children) {
        const Window *control = WindowSystem::instance().windows().find(child);
        if (control && (control->style & WS_TABSTOP) && control->visible() && control->enabled())
            return child;
    }
    return nullptr;
}

// Builds the dialog, disabling the owner. Null when the template cannot be
// read or a control cannot be made.
HWND createDialog(HINSTANCE instance, const void *bytes, size_t size, HWND owner,
                  DLGPROC procedure, LPARAM initParam, HWND &disabledOwner)
{
    WindowSystem &system = WindowSystem::instance();
    DialogTemplate dialogTemplate;
    if (!parseDialogTemplate(bytes, size, dialogTemplate)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }

    BaseUnits units;
    int fontPixelHeight = 0;
    HFONT font = createDialogFont(dialogTemplate, units, fontPixelHeight);

    DWORD style = dialogTemplate.style;
    DWORD exStyle = dialogTemplate.exStyle;
    if (style & DS_CONTROL)
        style &= ~static_cast<DWORD>(WS_CAPTION | WS_SYSMENU);
    if (style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    if ((style & DS_CONTROL) || !(style & WS_CHILD))
        exStyle |= WS_EX_CONTROLPARENT;

    RECT rect{0, 0, MulDiv(dialogTemplate.cx, units.x, 4), MulDiv(dialogTemplate.cy, units.y, 8)};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    POINT position{rect.left, rect.top};
    const SIZE frameSize{rect.right - rect.left, rect.bottom - rect.top};
    const RECT work = system.display().workArea();
    if (dialogTemplate.x == defaultPosition) {
        position = POINT{work.left, work.top};
    } else if (style & DS_CENTER) {
        position.x = (work.left + work.right - frameSize.cx) / 2;
        position.y = (work.top + work.bottom - frameSize.cy) / 2;
    } else {
        position.x += MulDiv(dialogTemplate.x, units.x, 4);
        position.y += MulDiv(dialogTemplate.y, units.y, 8);
        if (!(style & (WS_CHILD | DS_ABSALIGN)) && owner)
            ClientToScreen(owner, &position);
    }
    if (!(style & WS_CHILD)) {
        // Keep the dialog on the work area.
        const int overRight = position.x + frameSize.cx + GetSystemMetrics(SM_CXDLGFRAME) - work.right;
        const int overBottom = position.y + frameSize.cy + GetSystemMetrics(SM_CYDLGFRAME) - work.bottom;
        if (overRight > 0)
            position.x -= overRight;
        if (overBottom > 0)
            position.y -= overBottom;
        position.x = std::max<LONG>(position.x, work.left);
        position.y = std::max<LONG>(position.y, work.top);
    }

    // The owner of a dialog is a top-level window: a child given as owner
    // stands for the window it belongs to.
    if (owner)
        owner = system.topLevelOf(owner);
    disabledOwner = nullptr;
    if (owner && IsWindowEnabled(owner)) {
        disabledOwner = owner;
        EnableWindow(owner, FALSE);
    }

    std::string classStorage;
    LPCSTR className = MAKEINTRESOURCEA(hp::user32::dialogClassAtom);
    if (dialogTemplate.windowClass.kind == hp::user32::NameOrOrdinal::Kind::Name) {
        classStorage = dialogTemplate.windowClass.name;
        className = classStorage.c_str();
    } else if (dialogTemplate.windowClass.kind == hp::user32::NameOrOrdinal::Kind::Ordinal) {
        className = MAKEINTRESOURCEA(dialogTemplate.windowClass.ordinal);
    }
    HWND dialog = CreateWindowExA(exStyle, className, dialogTemplate.title.c_str(),
                                  style & ~static_cast<DWORD>(WS_VISIBLE), position.x, position.y,
                                  frameSize.cx, frameSize.cy, owner, nullptr, instance, nullptr);
    Window *window = dialog ? system.windows().find(dialog) : nullptr;
    if (!window) {
        if (font)
            DeleteObject(font);
        if (disabledOwner)
            EnableWindow(disabledOwner, TRUE);
        return nullptr;
    }
    window->dialog = std::make_unique<DialogState>();
    window->dialog->procedure = procedure;
    window->dialog->baseUnitX = units.x;
    window->dialog->baseUnitY = units.y;
    window->dialog->font = font;
    window->dialog->fontFace = dialogTemplate.faceName;
    window->dialog->fontPixelHeight = fontPixelHeight;

    if (procedure && font)
        SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    if (!createControls(dialog, dialogTemplate, instance, units)) {
        if (disabledOwner)
            EnableWindow(disabledOwner, TRUE);
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        return nullptr;
    }
    if (procedure) {
        SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop(dialog)),
                     initParam);
    }
    return dialog;
}

DialogState *dialogStateOf(HWND dialog)
{
    Window *window = WindowSystem::instance().windows().find(dialog);
    return window ? window->dialog.get() : nullptr;
}

// The modal loop: runs until EndDialog, then destroys the dialog.
INT_PTR runDialog(HWND dialog, HWND disabledOwner)
{
    WindowSystem &system = WindowSystem::instance();
    bool shown = false;
    for (;;) {
        const DialogState *state = dialogStateOf(dialog);
        if (!state)
            return 0;
        if (state->ended)
            break;
        MSG message;
        if (!system.peek(message, nullptr, 0, 0, true)) {
            // The dialog appears once its initialisation has gone through
            // the queue, as the platform shows it the first time the queue
            // runs empty.
            if (!shown) {
                ShowWindow(dialog, SW_SHOWNORMAL);
                shown = true;
                continue;
            }
            system.waitForWork();
            continue;
        }
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    const DialogState *state = dialogStateOf(dialog);
    const INT_PTR result = state ? state->result : 0;
    if (disabledOwner && IsWindow(disabledOwner))
        EnableWindow(disabledOwner, TRUE);
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    return result;
}

}  // namespace

namespace hp::user32 {

LRESULT CALLBACK dialogWindowProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState *state = dialogStateOf(dialog);
    if (state && state->procedure) {
        const INT_PTR handled = state->procedure(dialog, message, wParam, lParam);
        state = dialogStateOf(dialog);
        if (handled) {
            // These messages return the procedure's own value; the others
            // return what it stored as the message result.
            switch (message) {
            case WM_INITDIALOG:
            case 0x0037:  // WM_QUERYDRAGICON
            case 0x0039:  // WM_COMPAREITEM
            case 0x002E:  // WM_VKEYTOITEM
            case 0x002F:  // WM_CHARTOITEM
                return handled;
            default:
                if (message >= 0x0132 && message <= 0x0138)  // WM_CTLCOLOR*
                    return handled;
                return state ? state->messageResult : 0;
            }
        }
    }
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(dialog, &client);
        HBRUSH face = CreateSolidBrush(dialogFaceColor);
        FillRect(reinterpret_cast<HDC>(wParam), &client, face);
        DeleteObject(face);
        return 1;
    }
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID:
        if (state && state->defaultId)
            return MAKELRESULT(state->defaultId, DC_HASDEFID);
        return 0;
    case DM_SETDEFID:
        if (state)
            state->defaultId = static_cast<int>(wParam);
        return TRUE;
    case WM_INITDIALOG:
    case WM_COMMAND:
    case WM_SETFONT:
        return 0;
    default:
        return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

DialogDescription describeDialog(WindowSystem &system, const Window &dialog)
{
    DialogDescription description;
    description.dialog = dialog.handle;
    description.owner = dialog.owner;
    description.clientRect = system.clientRectOnScreen(dialog);
    description.title = dialog.text;
    description.hasCloseBox = (dialog.style & WS_SYSMENU) != 0;
    if (dialog.dialog) {
        description.fontFace = dialog.dialog->fontFace;
        description.fontPixelHeight = dialog.dialog->fontPixelHeight;
    }
    for (HWND child : dialog.children) {
        const Window *control = system.windows().find(child);
        if (!control || !control->visible() || !control->windowClass)
            continue;
        DialogControlDescription shownControl;
        shownControl.control = child;
        shownControl.id = static_cast<int>(control->controlId);
        shownControl.text = control->text;
        const RECT onScreen = system.windowRectOnScreen(*control);
        shownControl.rect = RECT{onScreen.left - description.clientRect.left, onScreen.top - description.clientRect.top,
                                onScreen.right - description.clientRect.left,
                                onScreen.bottom - description.clientRect.top};
        const std::string &className = control->windowClass->name;
        if (className == "Button") {
            switch (control->style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
                shownControl.kind = DialogControlKind::PushButton;
                break;
            case BS_DEFPUSHBUTTON:
                shownControl.kind = DialogControlKind::DefaultPushButton;
                break;
            case BS_GROUPBOX:
                shownControl.kind = DialogControlKind::GroupBox;
                break;
            default:
                continue;  // check boxes and radio buttons are not drawn here
            }
        } else if (className == "Static") {
            const DWORD type = control->style & SS_TYPEMASK;
            if (type == SS_ICON) {
                shownControl.kind = DialogControlKind::StaticIcon;
                if (control->staticIcon) {
                    shownControl.iconWidth = GetSystemMetrics(SM_CXICON);
                    shownControl.iconHeight = GetSystemMetrics(SM_CYICON);
                    shownControl.iconPixels =
                        renderIcon(control->staticIcon, shownControl.iconWidth,
                                   shownControl.iconHeight, dialogFaceColor);
                }
            } else {
                shownControl.kind = DialogControlKind::StaticText;
                shownControl.textAlign = (type == SS_CENTER || type == SS_RIGHT) ? type : SS_LEFT;
            }
        } else {
            continue;
        }
        description.controls.push_back(std::move(shownControl));
    }
    return description;
}

std::vector<uint32_t> renderIcon(HICON icon, int width, int height, COLORREF background)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height,
                                 hp::gdi32::pixelFromColor(background));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        HBRUSH fill = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(memory, &all, fill);
        DeleteObject(fill);
        DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(y) * width + x] = hp::gdi32::pixelFromColor(GetPixel(memory, x, y));
        }
        SelectObject(memory, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace hp::user32

// ---------------------------------------------------------------- API ----

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate,
                                       HWND parent, DLGPROC dialogFunction, LPARAM initParam)
{
    if (!dialogTemplate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (parent && !IsWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    HWND disabledOwner = nullptr;
    // A template in memory carries no size; it is read as far as it says.
    HWND dialog = createDialog(instance, dialogTemplate, SIZE_MAX / 2, parent, dialogFunction,
                               initParam, disabledOwner);
    if (!dialog)
        return -1;
    return runDialog(dialog, disabledOwner);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                               DLGPROC dialogFunction, LPARAM initParam)
{
    if (parent && !IsWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    hp::user32::ResourceBytes bytes;
    if (!hp::user32::findResource(instance, MAKEINTRESOURCEA(hp::user32::resourceTypeDialog),
                                  templateName, bytes))
        return -1;
    HWND disabledOwner = nullptr;
    HWND dialog = createDialog(instance, bytes.data, bytes.size, parent, dialogFunction, initParam,
                               disabledOwner);
    if (!dialog)
        return -1;
    return runDialog(dialog, disabledOwner);
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    DialogState *state = dialogStateOf(dialog);
    if (!state) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->result = result;
    state->ended = true;
    const Window *window = WindowSystem::instance().windows().find(dialog);
    if (window && window->owner)
        EnableWindow(window->owner, TRUE);
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    return TRUE;
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message)
{
    WindowSystem &system = WindowSystem::instance();
    if (!dialog || !message || !system.windows().contains(dialog))
        return FALSE;
    if (message->hwnd != dialog && !system.isDescendant(message->hwnd, dialog))
        return FALSE;
    if (message->message == WM_KEYDOWN) {
        switch (message->wParam) {
        case VK_RETURN: {
            const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
            if (HIWORD(defaultId) == DC_HASDEFID) {
                HWND button = GetDlgItem(dialog, LOWORD(defaultId));
                if (!button || IsWindowEnabled(button)) {
                    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(defaultId), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(button));
                }
            } else {
                SendMessageA(dialog, WM_COMMAND, IDOK,
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            }
            return TRUE;
        }
        case VK_ESCAPE:
            SendMessageA(dialog, WM_COMMAND, IDCANCEL,
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
            return TRUE;
        default:
            break;
        }
    }
    DispatchMessageA(message);
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    const DialogState *state = dialogStateOf(dialog);
    if (!state || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    rect->left = MulDiv(rect->left, state->baseUnitX, 4);
    rect->right = MulDiv(rect->right, state->baseUnitX, 4);
    rect->top = MulDiv(rect->top, state->baseUnitY, 8);
    rect->bottom = MulDiv(rect->bottom, state->baseUnitY, 8);
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    WindowSystem &system = WindowSystem::instance();
    const Window *window = system.findWindow(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children) {
        const Window *control = system.windows().find(child);
        if (control && static_cast<WORD>(control->controlId) == static_cast<WORD>(id))
            return child;
    }
    constexpr DWORD errorControlIdNotFound = 1421;
    SetLastError(errorControlIdNotFound);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND control)
{
    const Window *window = WindowSystem::instance().findWindow(control);
    if (!window || !window->isChild())
        return 0;
    return static_cast<int>(window->controlId);
}
