// Menus as data: items with type, state, id, submenu, text and item data,
// kept by handle. TrackPopupMenu shows them through the display backend.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32.h"

namespace hp::user32 {

struct MenuItem {
    UINT type = MFT_STRING;     // MFT_* bits
    UINT state = 0;             // MFS_* bits
    UINT id = 0;
    HMENU submenu = nullptr;
    std::string text;           // CP932; empty and hasText false for no text
    bool hasText = false;
    ULONG_PTR data = 0;
    HBITMAP checkedBitmap = nullptr;
    HBITMAP uncheckedBitmap = nullptr;
    HBITMAP itemBitmap = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
};

class MenuTable {
public:
    HMENU create();
    Menu *find(HMENU handle) const;
    // Destroys a menu and, as the platform does, the submenus it owns.
    bool destroy(HMENU handle);
    size_t count() const { return menus_.size(); }

    // The item with this command id, searched depth-first through the
    // submenus; its menu and position are returned.
    bool findById(HMENU handle, UINT id, Menu *&menu, size_t &position, int depth = 0) const;

private:
    std::unordered_map<HMENU, std::unique_ptr<Menu>> menus_;
};

}  // namespace hp::user32
