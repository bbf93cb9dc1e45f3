// The entry function: the background, the window class, the window centred
// on the work area, the files named on the command line, and the message
// loop. By the time it runs, static initialisation has built the sound
// device, the catalogue and the front panel (settings read, queue loaded,
// menu built).
#include "app/command_line.h"
#include "app/commands.h"
#include "app/front_panel.h"

namespace {

constexpr const char *windowTitle = "** Hollyphone *** Ver1.00  VELDAN **";
constexpr const char *backgroundImagePath = "image/swbase1.bmp";
constexpr int windowWidth = 632;
constexpr int windowHeight = 500;

void loadBackground()
{
    backgroundBitmap = static_cast<HBITMAP>(LoadImageA(nullptr, backgroundImagePath, IMAGE_BITMAP, 0,
                                                       0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    backgroundBrush = CreatePatternBrush(backgroundBitmap);
}

void registerWindowClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(iconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = backgroundBrush;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = mainWindowClass;
    windowClass.hIconSm = LoadIconA(appInstance, MAKEINTRESOURCEA(iconResource));
    RegisterClassExA(&windowClass);
}

HWND createMainWindow()
{
    return CreateWindowExA(0, mainWindowClass, windowTitle, WS_POPUP | WS_SYSMENU,
                           screenWidth / 2 - windowWidth / 2, screenHeight / 2 - windowHeight / 2,
                           windowWidth, windowHeight, nullptr, nullptr, appInstance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    appInstance = instance;
    loadBackground();
    registerWindowClass();
    screenWidth = GetSystemMetrics(SM_CXFULLSCREEN);
    screenHeight = GetSystemMetrics(SM_CYFULLSCREEN);

    HWND window = createMainWindow();
    DragAcceptFiles(window, TRUE);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    mainWindow = window;
    // Files named on the command line join the queue as a drop of them would.
    if (queueCommandLineFiles(commandLine ? commandLine : ""))
        invalidateWholeWindow(window);

    // GetMessageA answers -1 on error; the loop ends then too, rather than
    // spin on a message it never gets.
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    DeleteObject(backgroundBrush);
    DeleteObject(backgroundBitmap);
    return static_cast<int>(message.wParam);
}
