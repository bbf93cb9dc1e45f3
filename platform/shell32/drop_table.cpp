#include "platform/shell32/drop_table.h"

namespace hp::shell32 {

DropTable &DropTable::instance()
{
    static DropTable table;
    return table;
}

HDROP DropTable::add(DroppedFiles files)
{
    // Handles look like the platform's global memory handles: aligned and
    // never reused within the process.
    HDROP drop = reinterpret_cast<HDROP>(nextHandle_);
    nextHandle_ += 0x10;
    drops_.emplace(drop, std::make_unique<DroppedFiles>(std::move(files)));
    return drop;
}

const DroppedFiles *DropTable::find(HDROP drop) const
{
    auto it = drops_.find(drop);
    return it == drops_.end() ? nullptr : it->second.get();
}

bool DropTable::release(HDROP drop) { return drops_.erase(drop) > 0; }

}  // namespace hp::shell32
