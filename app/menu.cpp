// The right-click menu and the About box.
#include <string.h>

#include "app/commands.h"
#include "app/front_panel.h"
#include "sound/sound_device.h"

namespace {

constexpr int maxMixerItems = 25;
constexpr int mixerNameSlots = 50;
constexpr int nameStride = 260;
constexpr int driveListBytes = 260;

// One text item at a position: state, id, no submenu.
void insertCommand(HMENU menu, UINT position, const char *text, UINT id, bool checked)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(MENUITEMINFOA);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = checked ? MFS_CHECKED : 0;
    item.wID = id;
    item.hSubMenu = nullptr;
    item.dwTypeData = const_cast<char *>(text);
    InsertMenuItemA(menu, position, TRUE, &item);
}

// A text item that owns a submenu; it has no command of its own.
void insertSubmenu(HMENU menu, UINT position, const char *text, HMENU submenu)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(MENUITEMINFOA);
    item.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = 0;
    item.hSubMenu = submenu;
    item.dwTypeData = const_cast<char *>(text);
    InsertMenuItemA(menu, position, TRUE, &item);
}

HMENU graphicEffectMenu(int graphicEffect)
{
    HMENU menu = CreatePopupMenu();
    insertCommand(menu, 1, "ON(&N)", commandEffectOn, graphicEffect == 1);
    insertCommand(menu, 2, "OFF(&F)", commandEffectOff, graphicEffect == 0);
    return menu;
}

// One item per mixer device, 0 to at most 24, the chosen one checked.
HMENU mixerDeviceMenu(int mixerDevice)
{
    HMENU menu = CreatePopupMenu();
    int count = 0;
    // Cleared first: when there are more devices than slots, the listing
    // gives the count but writes no names.
    char names[mixerNameSlots][nameStride];
    memset(names, 0, sizeof names);
    soundDevice.listMixerDevices(nullptr, &count, names[0], mixerNameSlots, nameStride);
    if (count <= 0)
        return menu;
    for (int index = 0; index < maxMixerItems; ++index) {
        char text[nameStride + 16];
        wsprintfA(text, "%d：%s", index, names[index]);
        insertCommand(menu, index + 1, text, commandMixerFirst + index, index == mixerDevice);
        if (index + 1 >= count)
            break;
    }
    return menu;
}

// One item per logical drive, in letter order; the command is the letter's
// code plus the base.
HMENU trayMenu(const char *driveList, int commandBase)
{
    HMENU menu = CreatePopupMenu();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        for (const char *c = driveList; *c; ++c) {
            if (*c != letter)
                continue;
            char text[8];
            wsprintfA(text, "%c:\\", letter);
            insertCommand(menu, letter - 64, text, commandBase + letter, false);
        }
    }
    return menu;
}

}  // namespace

int FrontPanel::buildMenu(HMENU *menu)
{
    HMENU replaced = *menu;
    *menu = CreatePopupMenu();
    insertSubmenu(*menu, 1, "画像効果", graphicEffectMenu(graphicEffect));
    insertSubmenu(*menu, 2, "音量設定デバイス(&d)", mixerDeviceMenu(mixerDevice));

    char driveList[driveListBytes];
    soundDevice.listDriveRoots(driveList, driveListBytes);
    insertSubmenu(*menu, 3, "CDトレイを開く(&O)", trayMenu(driveList, openTrayBase));
    insertSubmenu(*menu, 4, "CDトレイを閉じる(&C)", trayMenu(driveList, closeTrayBase));

    AppendMenuA(*menu, MF_STRING, commandAddAudioCds, "音楽CDを再生リストに追加(&A)");
    AppendMenuA(*menu, MF_STRING, commandAbout, "バージョン情報を表示する(&V)");
    AppendMenuA(*menu, MF_STRING, commandQuit, "終了(&Q)");

    // The menu it replaces is not used again; destroying it releases its
    // submenus too.
    if (replaced)
        DestroyMenu(replaced);
    return 1;
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        // The dialog's top-left corner goes to the main window's centre less
        // half the dialog's client size.
        RECT mainRect;
        RECT clientRect;
        GetWindowRect(mainWindow, &mainRect);
        GetClientRect(dialog, &clientRect);
        double mainWidth = mainRect.right - mainRect.left;
        double mainHeight = mainRect.bottom - mainRect.top;
        double clientWidth = clientRect.right - clientRect.left;
        double clientHeight = clientRect.bottom - clientRect.top;
        int x = static_cast<int>((mainWidth * 0.5 + mainRect.left) - clientWidth * 0.5);
        int y = static_cast<int>((mainHeight * 0.5 + mainRect.top) - clientHeight * 0.5);
        SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return TRUE;
    }
    case WM_COMMAND:
        // Only the OK button (also Enter, as the default button) closes the
        // box; Escape's IDCANCEL is ignored.
        if (LOWORD(wParam) == aboutOkButton)
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
