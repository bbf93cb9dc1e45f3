// The live windows by handle.
//
// Windows are created, changed and destroyed on the GUI thread only; the
// table's lock exists so that other threads can ask whether a handle names
// a window (PostMessageA from a playback thread).
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/user32/window.h"

namespace hp::user32 {

class WindowTable {
public:
    // Adds a window with a fresh handle and returns it.
    Window &add(std::unique_ptr<Window> window);
    void remove(HWND handle);

    // GUI thread. Null when the handle names no window.
    Window *find(HWND handle) const;

    // Any thread.
    bool contains(HWND handle) const;

    // Handles in creation order (GUI thread).
    std::vector<HWND> handles() const;
    size_t count() const;

private:
    mutable std::mutex lock_;
    std::unordered_map<HWND, std::unique_ptr<Window>> windows_;
    std::vector<HWND> order_;
};

}  // namespace hp::user32
