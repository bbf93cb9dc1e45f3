// A small program written against the Win32 calls alone, run on the GTK
// display by the driver test: a borderless window that paints, animates,
// moves when dragged, shows a popup menu and the About box from the
// resources, takes dropped files and closes. It reports what it hears on
// its standard output, one line per event, for the driver to check.
#include <cstdarg>
#include <cstdio>

#include "platform/win32.h"
#include "resources/resource.h"

namespace {

constexpr int windowLeft = 100;
constexpr int windowTop = 120;
constexpr int windowWidth = 320;
constexpr int windowHeight = 240;
constexpr UINT_PTR animationTimer = 100;

enum Command : UINT {
    commandAlpha = 101,
    commandBeta = 102,
    commandAbout = 103,
    commandQuit = 104,
    commandMessage = 105,
};

HINSTANCE instance = nullptr;
HMENU popupMenu = nullptr;
unsigned frames = 0;

void report(const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::printf("\n");
    std::fflush(stdout);
}

void fill(HDC dc, RECT rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

HMENU buildMenu()
{
    HMENU sub = CreatePopupMenu();
    MENUITEMINFOA beta{};
    beta.cbSize = sizeof beta;
    beta.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    beta.fType = MFT_STRING;
    beta.fState = MFS_CHECKED;
    beta.wID = commandBeta;
    beta.dwTypeData = const_cast<char *>("&Beta");
    InsertMenuItemA(sub, 1, TRUE, &beta);

    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, commandAlpha, "&Alpha");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Sub");
    AppendMenuA(menu, MF_STRING, commandAbout, "&Info");
    AppendMenuA(menu, MF_STRING, commandMessage, "&Message");
    AppendMenuA(menu, MF_STRING, commandQuit, "&Quit");
    return menu;
}

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        RECT rect{};
        GetWindowRect(dialog, &rect);
        RECT client{};
        GetClientRect(dialog, &client);
        report("ABOUT_OPEN %ld %ld %ld %ld client %ld %ld", rect.left, rect.top, rect.right,
               rect.bottom, client.right, client.bottom);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_OK)
            EndDialog(dialog, IDC_ABOUT_OK);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 2);
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        fill(dc, RECT{10, 10, 30, 30}, RGB(255, 0, 0));
        fill(dc, RECT{windowWidth - 30, windowHeight - 30, windowWidth - 10, windowHeight - 10},
             RGB(0, 255, 0));
        EndPaint(window, &paint);
        report("PAINTED");
        return 0;
    }
    case WM_TIMER: {
        // The animation draws straight into the window, as the program does.
        HDC dc = GetDC(window);
        fill(dc, RECT{40, 10, 60, 30}, (frames % 2) ? RGB(255, 255, 0) : RGB(0, 255, 255));
        ReleaseDC(window, dc);
        if (++frames % 10 == 0)
            report("FRAMES %u", frames);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
        report("LBUTTONDOWN %d %d %u", LOWORD(lParam), HIWORD(lParam),
               static_cast<unsigned>(wParam));
        PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_RBUTTONDOWN: {
        POINT cursor{};
        GetCursorPos(&cursor);
        report("RBUTTONDOWN %d %d cursor %ld %ld", LOWORD(lParam), HIWORD(lParam), cursor.x,
               cursor.y);
        TrackPopupMenu(popupMenu, 0, cursor.x, cursor.y, 0, window, nullptr);
        report("MENU_CLOSED");
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_COMMAND:
        report("COMMAND %u", static_cast<unsigned>(LOWORD(wParam)));
        if (LOWORD(wParam) == commandAbout) {
            const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), window,
                                                   aboutProcedure, 0);
            report("ABOUT_END %d", static_cast<int>(result));
        } else if (LOWORD(wParam) == commandMessage) {
            const int answer = MessageBoxA(window, "画像効果をONにしますか？", "Hollyphoneへようこそ！",
                                           MB_YESNO | MB_ICONQUESTION);
            report("BOX_END %d", answer);
        } else if (LOWORD(wParam) == commandQuit) {
            SendMessageA(window, WM_CLOSE, 0, 0);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        char path[MAX_PATH] = "";
        DragQueryFileA(drop, 0, path, MAX_PATH);
        POINT point{};
        DragQueryPoint(drop, &point);
        // The path goes out as its hexadecimal bytes: it is CP932.
        char hex[2 * MAX_PATH + 1] = "";
        for (int i = 0; path[i]; ++i)
            std::snprintf(hex + 2 * i, 3, "%02X", static_cast<unsigned char>(path[i]));
        report("DROP %u %s at %ld %ld", count, hex, point.x, point.y);
        DragFinish(drop);
        return 0;
    }
    case WM_MOVE: {
        RECT rect{};
        GetWindowRect(window, &rect);
        report("MOVE %d %d rect %ld %ld", static_cast<short>(LOWORD(lParam)),
               static_cast<short>(HIWORD(lParam)), rect.left, rect.top);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(window, animationTimer);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE thisInstance, HINSTANCE, LPSTR, int)
{
    instance = thisInstance;
    popupMenu = buildMenu();

    HBRUSH background = CreateSolidBrush(RGB(0x20, 0x40, 0x80));
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HOLLYPHONE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = "HollyphoneProbe";
    RegisterClassExA(&windowClass);

    report("SCREEN %d %d", GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    HWND window = CreateWindowExA(0, "HollyphoneProbe", "Hollyphone probe", WS_POPUP | WS_SYSMENU,
                                  windowLeft, windowTop, windowWidth, windowHeight, nullptr,
                                  nullptr, instance, nullptr);
    DragAcceptFiles(window, TRUE);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, animationTimer, 100, nullptr);
    report("READY %d %d %d %d", windowLeft, windowTop, windowWidth, windowHeight);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyMenu(popupMenu);
    DeleteObject(background);
    report("EXIT %d", static_cast<int>(message.wParam));
    return static_cast<int>(message.wParam);
}
