#include "platform/user32/window_table.h"

#include <algorithm>

#include "platform/user32/user_handle.h"

namespace hp::user32 {

Window &WindowTable::add(std::unique_ptr<Window> window)
{
    std::lock_guard<std::mutex> guard(lock_);
    HWND handle = reinterpret_cast<HWND>(nextUserHandleValue());
    window->handle = handle;
    Window &stored = *window;
    windows_.emplace(handle, std::move(window));
    order_.push_back(handle);
    return stored;
}

void WindowTable::remove(HWND handle)
{
    std::unique_ptr<Window> removed;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = windows_.find(handle);
        if (it == windows_.end())
            return;
        removed = std::move(it->second);
        windows_.erase(it);
        order_.erase(std::remove(order_.begin(), order_.end(), handle), order_.end());
    }
    // The window's own resources go after the lock is released.
}

Window *WindowTable::find(HWND handle) const
{
    if (!handle)
        return nullptr;
    std::lock_guard<std::mutex> guard(lock_);
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : it->second.get();
}

bool WindowTable::contains(HWND handle) const { return find(handle) != nullptr; }

std::vector<HWND> WindowTable::handles() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return order_;
}

size_t WindowTable::count() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return windows_.size();
}

}  // namespace hp::user32
