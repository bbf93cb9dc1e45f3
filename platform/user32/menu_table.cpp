#include "platform/user32/menu_table.h"

#include "platform/user32/user_handle.h"

namespace hp::user32 {
namespace {
constexpr int maximumMenuDepth = 16;  // guards against a menu that contains itself
}

HMENU MenuTable::create()
{
    HMENU handle = reinterpret_cast<HMENU>(nextUserHandleValue());
    menus_.emplace(handle, std::make_unique<Menu>());
    return handle;
}

Menu *MenuTable::find(HMENU handle) const
{
    auto it = menus_.find(handle);
    return it == menus_.end() ? nullptr : it->second.get();
}

bool MenuTable::destroy(HMENU handle)
{
    auto it = menus_.find(handle);
    if (it == menus_.end())
        return false;
    std::unique_ptr<Menu> menu = std::move(it->second);
    menus_.erase(it);
    for (const MenuItem &item : menu->items) {
        if (item.submenu && item.submenu != handle)
            destroy(item.submenu);
    }
    return true;
}

bool MenuTable::findById(HMENU handle, UINT id, Menu *&menu, size_t &position, int depth) const
{
    Menu *searched = find(handle);
    if (!searched || depth > maximumMenuDepth)
        return false;
    for (size_t i = 0; i < searched->items.size(); ++i) {
        const MenuItem &item = searched->items[i];
        if (item.submenu) {
            if (findById(item.submenu, id, menu, position, depth + 1))
                return true;
        } else if (item.id == id) {
            menu = searched;
            position = i;
            return true;
        }
    }
    return false;
}

}  // namespace hp::user32
