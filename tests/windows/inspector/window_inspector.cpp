// Looks at another program's windows through the platform's own window
// manager, for the end-to-end driver: where a window is, what its controls
// say, what a menu holds. Windows and their texts are shared by every
// program of one session, so a second process can read them the way an
// accessibility tool would.
//
//   hp_windows_inspector.exe metrics                        screen, code page, drives, mixers
//   hp_windows_inspector.exe window <class|-> <title|->      rectangles of a top-level window
//   hp_windows_inspector.exe controls <class|-> <title|->    its child windows
//   hp_windows_inspector.exe popups                         the open popup menus' windows
//   hp_windows_inspector.exe menu                           the open popup menu, read inside
//                                                           its program (menu_hook.cpp)
//
// Texts are printed as hexadecimal bytes in code page 932, so the driver
// compares them exactly. Every line is "key value...". Exit code 1 when the
// window is not there.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "platform/win32.h"

namespace {

std::string hex(const char *text)
{
    std::string result;
    char byte[3];
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(text); *c; ++c) {
        wsprintfA(byte, "%02x", *c);
        result += byte;
    }
    return result.empty() ? "-" : result;
}

void printRect(const char *key, const RECT &rect)
{
    printf("%s %ld %ld %ld %ld\n", key, rect.left, rect.top, rect.right, rect.bottom);
}

HWND findTopLevel(const char *className, const char *title)
{
    return FindWindowA(strcmp(className, "-") == 0 ? nullptr : className,
                       strcmp(title, "-") == 0 ? nullptr : title);
}

int showWindow(HWND window)
{
    RECT frame = {};
    RECT client = {};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    printf("handle %lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    printf("class %s\n", hex(className).c_str());
    printf("title %s\n", hex(title).c_str());
    printRect("frame", frame);
    printRect("client", client);
    printf("client-origin %ld %ld\n", origin.x, origin.y);
    printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
    HWND owner = GetWindow(window, GW_OWNER);
    printf("owner %lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)));
    return 0;
}

BOOL CALLBACK showControl(HWND child, LPARAM)
{
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    RECT rect = {};
    GetWindowRect(child, &rect);
    printf("control %d %s %s %08lx %ld %ld %ld %ld\n", GetDlgCtrlID(child), hex(className).c_str(),
           hex(text).c_str(), static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
           rect.left, rect.top, rect.right, rect.bottom);
    return TRUE;
}

// The menu of another program's popup window: the hook library reads it
// inside that program (see menu_hook.cpp) and leaves it in a file beside
// itself, which is printed here.
int dumpMenuOf(HWND popup)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder = folder.substr(0, folder.find_last_of("\\/") + 1);
    const std::string dump = folder + "menu-dump.txt";
    DeleteFileA(dump.c_str());

    HMODULE library = LoadLibraryA((folder + "hp_windows_menu_hook.dll").c_str());
    HOOKPROC hook = library ? reinterpret_cast<HOOKPROC>(
                                  reinterpret_cast<void (*)()>(
                                      GetProcAddress(library, "hpMenuDumpHook")))
                            : nullptr;
    if (!hook) {
        printf("no-hook-library\n");
        return 1;
    }
    HHOOK installed = SetWindowsHookExA(WH_CALLWNDPROC, hook, library, 0);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(popup, RegisterWindowMessageA("HollyphoneTestDumpMenu"), 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    UnhookWindowsHookEx(installed);
    FreeLibrary(library);

    FILE *in = fopen(dump.c_str(), "r");
    if (!in) {
        printf("no-dump\n");
        return 1;
    }
    char line[2048];
    while (fgets(line, sizeof line, in))
        fputs(line, stdout);
    fclose(in);
    DeleteFileA(dump.c_str());
    return 0;
}

struct PopupSearch {
    HWND found;
};

bool isOpenPopupMenu(HWND window)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return strcmp(className, "#32768") == 0 && IsWindowVisible(window);
}

BOOL CALLBACK findPopupMenu(HWND window, LPARAM context)
{
    if (isOpenPopupMenu(window)) {
        reinterpret_cast<PopupSearch *>(context)->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK listPopupMenu(HWND window, LPARAM)
{
    if (isOpenPopupMenu(window)) {
        RECT frame = {};
        GetWindowRect(window, &frame);
        printf("popup %lu %ld %ld %ld %ld\n",
               static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)), frame.left,
               frame.top, frame.right, frame.bottom);
    }
    return TRUE;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && strcmp(argv[1], "metrics") == 0) {
        printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        printf("full-screen %d %d\n", GetSystemMetrics(SM_CXFULLSCREEN),
               GetSystemMetrics(SM_CYFULLSCREEN));
        printf("code-page %u\n", GetACP());
        printf("drives %08lx\n", static_cast<unsigned long>(GetLogicalDrives()));
        const UINT mixers = mixerGetNumDevs();
        for (UINT i = 0; i < mixers; ++i) {
            MIXERCAPSA caps = {};
            mixerGetDevCapsA(i, &caps, sizeof caps);
            printf("mixer %u %s\n", i, hex(caps.szPname).c_str());
        }
        return 0;
    }
    if (argc == 4 && (strcmp(argv[1], "window") == 0 || strcmp(argv[1], "controls") == 0)) {
        HWND window = findTopLevel(argv[2], argv[3]);
        if (!window) {
            printf("absent\n");
            return 1;
        }
        showWindow(window);
        if (strcmp(argv[1], "controls") == 0)
            EnumChildWindows(window, showControl, 0);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "popups") == 0) {
        EnumWindows(listPopupMenu, 0);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "menu") == 0) {
        PopupSearch search = {nullptr};
        EnumWindows(findPopupMenu, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            printf("absent\n");
            return 1;
        }
        showWindow(search.found);
        return dumpMenuOf(search.found);
    }
    if (argc == 4 && strcmp(argv[1], "appcommand") == 0) {
        // A media command as the shell gives a media key: the window
        // answers TRUE when it took the command.
        HWND window = findTopLevel(argv[2], "-");
        if (!window) {
            printf("absent\n");
            return 1;
        }
        const LRESULT taken = SendMessageA(window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(window),
                                           MAKELPARAM(0, atoi(argv[3])));
        printf("result %ld\n", static_cast<long>(taken));
        return 0;
    }
    fprintf(stderr,
            "usage: %s metrics | window|controls <class|-> <title|-> | popups | menu"
            " | appcommand <class> <command>\n",
            argv[0]);
    return 2;
}
