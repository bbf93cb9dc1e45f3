// A hook library that the window inspector installs for the whole session
// to read an open popup menu: menus belong to the program that made them,
// so the reading has to happen inside it. The platform loads this library
// into a program when a message it sends there passes the hook; on the
// inspector's registered message the hook writes the menu of the popup
// window that received it to "menu-dump.txt" beside this library.
#include <stdio.h>

#include <string>

#include "platform/win32.h"

namespace {

HMODULE thisLibrary = nullptr;

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

void dumpMenu(FILE *out, HMENU menu, const std::string &path)
{
    int count = GetMenuItemCount(menu);
    fprintf(out, "menu %s count %d\n", path.empty() ? "-" : path.c_str(), count);
    for (int i = 0; i < count; ++i) {
        char text[512] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        std::string itemPath = path + (path.empty() ? "" : ".") + std::to_string(i + 1);
        fprintf(out, "item %s id %u checked %d text %s\n", itemPath.c_str(), item.wID,
                (item.fState & MFS_CHECKED) ? 1 : 0, hex(text).c_str());
        if (item.hSubMenu)
            dumpMenu(out, item.hSubMenu, itemPath);
    }
}

void writeDump(HWND popup)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(thisLibrary, path, MAX_PATH);
    std::string file(path, length);
    file = file.substr(0, file.find_last_of("\\/") + 1) + "menu-dump.txt";
    FILE *out = fopen(file.c_str(), "w");
    if (!out)
        return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    if (menu)
        dumpMenu(out, menu, "");
    else
        fprintf(out, "no-menu\n");
    fclose(out);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK hpMenuDumpHook(int code, WPARAM wParam,
                                                                 LPARAM lParam)
{
    static const UINT dumpMessage = RegisterWindowMessageA("HollyphoneTestDumpMenu");
    if (code == HC_ACTION) {
        const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
        if (call->message == dumpMessage)
            writeDump(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        thisLibrary = instance;
    return TRUE;
}
