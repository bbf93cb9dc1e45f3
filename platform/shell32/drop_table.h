// The drops that WM_DROPFILES hands to the program, by HDROP.
//
// The window system adds one when files are dropped on a window that
// accepts them; DragFinish releases it. A drop that is never finished stays
// alive (and counted), as the platform's global memory block would.
// GUI thread only.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32.h"

namespace hp::shell32 {

struct DroppedFiles {
    std::vector<std::string> paths;  // Win32 paths, CP932
    POINT point{0, 0};               // client coordinates of the drop
    bool nonClient = false;
};

class DropTable {
public:
    static DropTable &instance();

    HDROP add(DroppedFiles files);
    // Null when the handle names no live drop.
    const DroppedFiles *find(HDROP drop) const;
    bool release(HDROP drop);
    size_t liveCount() const { return drops_.size(); }

private:
    std::unordered_map<HDROP, std::unique_ptr<DroppedFiles>> drops_;
    uintptr_t nextHandle_ = 0x00D10000;
};

}  // namespace hp::shell32
