// USER32: menus and popup menus.
#include <algorithm>
#include <cstring>

#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::user32::Menu;
using hp::user32::MenuItem;
using hp::user32::WindowSystem;

namespace {

constexpr UINT typeMask = 0x00036B64;        // the MFT_* bits an item keeps
constexpr UINT stateMask = 0x0000108B;       // the MFS_* bits an item keeps
constexpr UINT stateGrayed = MF_GRAYED;
constexpr int maximumMenuDepth = 16;

// The sizes the 32-bit SDK gives MENUITEMINFOA, with and without hbmpItem.
constexpr UINT menuItemInfoSize32 = 48;
constexpr UINT menuItemInfoSize32WithoutBitmap = 44;

bool fullInfoSize(UINT size)
{
    return size == sizeof(MENUITEMINFOA) || size == menuItemInfoSize32;
}

bool knownInfoSize(UINT size)
{
    return fullInfoSize(size) || size == sizeof(MENUITEMINFOA) - sizeof(HBITMAP) ||
           size == menuItemInfoSize32WithoutBitmap;
}

bool isStringType(UINT type) { return (type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR)) == 0; }

Menu *findMenu(HMENU handle)
{
    Menu *menu = WindowSystem::instance().menus().find(handle);
    if (!menu)
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    return menu;
}

// The item at a position or with a command id (searched through the
// submenus), as the MF_BYPOSITION flag or byPosition argument chooses.
MenuItem *findItem(HMENU handle, UINT item, bool byPosition)
{
    Menu *menu = findMenu(handle);
    if (!menu)
        return nullptr;
    if (byPosition) {
        if (item >= menu->items.size())
            return nullptr;
        return &menu->items[item];
    }
    Menu *holder = nullptr;
    size_t position = 0;
    if (!WindowSystem::instance().menus().findById(handle, item, holder, position))
        return nullptr;
    return &holder->items[position];
}

// Checks a description and folds the old MIIM_TYPE form into the new bits.
bool normalizeInfo(const MENUITEMINFOA *info, MENUITEMINFOA &normalized)
{
    if (!info || !knownInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    normalized = *info;
    if (!fullInfoSize(info->cbSize))
        normalized.hbmpItem = nullptr;
    const UINT mask = normalized.fMask;
    if (((mask & MIIM_TYPE) && (mask & (MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP))) ||
        ((mask & MIIM_FTYPE) && (normalized.fType & MFT_BITMAP))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (mask & MIIM_TYPE) {
        normalized.fMask |= MIIM_FTYPE;
        if (isStringType(normalized.fType)) {
            normalized.fMask |= MIIM_STRING;
        } else if (normalized.fType & MFT_BITMAP) {
            normalized.fMask |= MIIM_BITMAP;
            normalized.hbmpItem = reinterpret_cast<HBITMAP>(
                static_cast<ULONG_PTR>(LOWORD(reinterpret_cast<ULONG_PTR>(normalized.dwTypeData))));
        }
    }
    return true;
}

bool applyInfo(MenuItem &item, const MENUITEMINFOA &info)
{
    const UINT mask = info.fMask;
    if (mask & MIIM_SUBMENU) {
        if (info.hSubMenu && !WindowSystem::instance().menus().find(info.hSubMenu)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        item.submenu = info.hSubMenu;
        if (item.submenu)
            item.type |= MF_POPUP;
        else
            item.type &= ~static_cast<UINT>(MF_POPUP);
    }
    if (mask & MIIM_FTYPE)
        item.type = (item.type & MF_POPUP) | (info.fType & typeMask);
    if (mask & MIIM_STRING) {
        if (info.dwTypeData && !(item.type & MFT_SEPARATOR)) {
            item.text = info.dwTypeData;
            item.hasText = true;
        } else {
            item.text.clear();
            item.hasText = false;
        }
    }
    if (mask & MIIM_STATE)
        item.state = info.fState & stateMask;
    if (mask & MIIM_ID)
        item.id = info.wID;
    if (mask & MIIM_DATA)
        item.data = info.dwItemData;
    if (mask & MIIM_CHECKMARKS) {
        item.checkedBitmap = info.hbmpChecked;
        item.uncheckedBitmap = info.hbmpUnchecked;
    }
    if (mask & MIIM_BITMAP)
        item.itemBitmap = info.hbmpItem;
    return true;
}

void describeItems(const Menu &menu, std::vector<hp::user32::PopupMenuEntry> &items, int depth)
{
    for (const MenuItem &item : menu.items) {
        hp::user32::PopupMenuEntry description;
        description.separator = (item.type & MFT_SEPARATOR) != 0;
        description.text = item.text;
        description.id = item.id;
        description.checked = (item.state & MFS_CHECKED) != 0;
        description.disabled = (item.state & (MF_GRAYED | MF_DISABLED)) != 0;
        if (item.submenu) {
            description.hasSubmenu = true;
            const Menu *submenu = WindowSystem::instance().menus().find(item.submenu);
            if (submenu && depth < maximumMenuDepth)
                describeItems(*submenu, description.submenu, depth + 1);
        }
        items.push_back(std::move(description));
    }
}

}  // namespace

HMENU WINAPI CreatePopupMenu(void) { return WindowSystem::instance().menus().create(); }

HMENU WINAPI CreateMenu(void) { return WindowSystem::instance().menus().create(); }

BOOL WINAPI DestroyMenu(HMENU menu)
{
    if (!WindowSystem::instance().menus().destroy(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU menu) { return findMenu(menu) ? TRUE : FALSE; }

int WINAPI GetMenuItemCount(HMENU menu)
{
    const Menu *found = findMenu(menu);
    return found ? static_cast<int>(found->items.size()) : -1;
}

BOOL WINAPI InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    Menu *target = findMenu(menu);
    if (!target)
        return FALSE;
    MENUITEMINFOA normalized;
    if (!normalizeInfo(info, normalized))
        return FALSE;
    MenuItem created;
    if (!applyInfo(created, normalized))
        return FALSE;

    // By position, a position at or beyond the end appends. By command, the
    // new item goes before the item with that id, wherever it is; an id
    // that no item has appends to this menu.
    size_t position = target->items.size();
    if (byPosition) {
        position = std::min<size_t>(item, target->items.size());
    } else {
        Menu *holder = nullptr;
        size_t found = 0;
        if (WindowSystem::instance().menus().findById(menu, item, holder, found)) {
            target = holder;
            position = found;
        }
    }
    target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(position),
                         std::move(created));
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem)
{
    Menu *target = findMenu(menu);
    if (!target)
        return FALSE;
    MenuItem created;
    if (flags & MF_POPUP) {
        auto submenu = reinterpret_cast<HMENU>(idNewItem);
        if (!WindowSystem::instance().menus().find(submenu)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        created.submenu = submenu;
        created.type |= MF_POPUP;
    }
    created.id = static_cast<UINT>(idNewItem);
    if (flags & MF_SEPARATOR) {
        created.type |= MFT_SEPARATOR;
    } else if (flags & (MFT_BITMAP | MFT_OWNERDRAW)) {
        created.type |= flags & (MFT_BITMAP | MFT_OWNERDRAW);
    } else if (newItem) {
        created.text = newItem;
        created.hasText = true;
    }
    created.state = flags & (stateGrayed | MF_DISABLED | MF_CHECKED | MF_HILITE);
    target->items.push_back(std::move(created));
    return TRUE;
}

BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info)
{
    if (!info || !knownInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!findMenu(menu))
        return FALSE;
    const MenuItem *found = findItem(menu, item, byPosition != FALSE);
    if (!found) {
        constexpr DWORD errorMenuItemNotFound = 1456;
        SetLastError(errorMenuItemNotFound);
        return FALSE;
    }
    const UINT mask = info->fMask;
    if (mask & MIIM_TYPE) {
        if (mask & (MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        info->fType = found->type & typeMask;
        if (found->itemBitmap)
            info->fType |= MFT_BITMAP;
        if (fullInfoSize(info->cbSize))
            info->hbmpItem = found->itemBitmap;
        if (info->fType & MFT_BITMAP) {
            info->dwTypeData = reinterpret_cast<LPSTR>(found->itemBitmap);
            info->cch = 0;
        } else if (info->fType & (MFT_OWNERDRAW | MFT_SEPARATOR)) {
            info->dwTypeData = nullptr;
            info->cch = 0;
        }
    }
    if (mask & (MIIM_TYPE | MIIM_STRING)) {
        if (!found->hasText) {
            if (info->dwTypeData && info->cch)
                info->dwTypeData[0] = '\0';
            info->cch = 0;
        } else {
            const UINT length = static_cast<UINT>(found->text.size());
            if (info->dwTypeData && info->cch) {
                // A short buffer gets what fits and its length.
                const UINT copied = std::min(length, info->cch - 1);
                std::memcpy(info->dwTypeData, found->text.data(), copied);
                info->dwTypeData[copied] = '\0';
                info->cch = info->cch <= length + 1 ? info->cch - 1 : length;
            } else {
                info->cch = length;
            }
        }
    }
    if (mask & MIIM_FTYPE)
        info->fType = found->type & typeMask;
    if ((mask & MIIM_BITMAP) && fullInfoSize(info->cbSize))
        info->hbmpItem = found->itemBitmap;
    if (mask & MIIM_STATE)
        info->fState = found->state & stateMask;
    if (mask & MIIM_ID)
        info->wID = found->id;
    // The submenu field is always written: null unless asked for.
    info->hSubMenu = (mask & MIIM_SUBMENU) ? found->submenu : nullptr;
    if (mask & MIIM_CHECKMARKS) {
        info->hbmpChecked = found->checkedBitmap;
        info->hbmpUnchecked = found->uncheckedBitmap;
    }
    if (mask & MIIM_DATA)
        info->dwItemData = found->data;
    return TRUE;
}

UINT WINAPI GetMenuItemID(HMENU menu, int position)
{
    const MenuItem *found = position < 0 ? nullptr : findItem(menu, static_cast<UINT>(position), true);
    if (!found || found->submenu)
        return static_cast<UINT>(-1);
    return found->id;
}

HMENU WINAPI GetSubMenu(HMENU menu, int position)
{
    const MenuItem *found = position < 0 ? nullptr : findItem(menu, static_cast<UINT>(position), true);
    return found ? found->submenu : nullptr;
}

BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT *)
{
    WindowSystem &system = WindowSystem::instance();
    const Menu *shown = findMenu(menu);
    if (!shown)
        return FALSE;
    if (!system.findWindow(owner))
        return FALSE;

    const bool notify = !(flags & TPM_NONOTIFY);
    if (notify) {
        SendMessageA(owner, WM_ENTERMENULOOP, TRUE, 0);
        SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    }
    // The menu as it is now: the owner's messages keep flowing while it is
    // open, and a handler may rebuild or destroy the menu meanwhile.
    std::vector<hp::user32::PopupMenuEntry> items;
    if (const Menu *current = system.menus().find(menu))
        describeItems(*current, items, 0);
    UINT chosen = 0;
    if (system.windows().contains(owner))
        chosen = system.display().trackPopupMenu(owner, POINT{x, y}, items, system);
    if (notify && system.windows().contains(owner))
        SendMessageA(owner, WM_EXITMENULOOP, TRUE, 0);

    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen && notify && system.windows().contains(owner))
        PostMessageA(owner, WM_COMMAND, chosen, 0);
    return TRUE;
}
