// The table behind every GDI handle: pens, brushes, fonts, bitmaps, palettes
// and device contexts, with the stock objects.
//
// Handles carry a slot index and a generation, so a deleted handle does not
// name the object that later takes its slot. Stock objects exist from the
// first use to the end of the process and are not counted as live objects.
//
// Threading: GUI thread only, like the rest of GDI here.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi32/gdi_object.h"

namespace hp::gdi32 {

class ObjectTable {
public:
    static ObjectTable &instance();

    // Takes the object; null (ERROR_NOT_ENOUGH_MEMORY) when the table is full.
    HGDIOBJ insert(std::unique_ptr<GdiObject> object);

    GdiObject *find(HGDIOBJ handle) const;
    template <typename T>
    T *findAs(HGDIOBJ handle, ObjectKind kind) const
    {
        GdiObject *object = find(handle);
        return object && object->kind() == kind ? static_cast<T *>(object) : nullptr;
    }

    // Destroys the object now (DeleteObject checks stock and selection).
    void erase(HGDIOBJ handle);

    // A context takes or lets go of an object. Letting go of the last
    // selection of an object whose deletion was asked for destroys it.
    void noteSelected(HGDIOBJ handle);
    void noteDeselected(HGDIOBJ handle);

    // GetStockObject; null for an index with no stock object.
    HGDIOBJ stockObject(int index) const;
    // The 1 x 1 monochrome bitmap that new memory contexts hold.
    HGDIOBJ defaultBitmap() const { return defaultBitmap_; }

    // Live objects, stock objects excluded.
    DWORD liveCount() const { return liveCount_; }

private:
    ObjectTable();
    HGDIOBJ insertStock(int index, std::unique_ptr<GdiObject> object);

    struct Slot {
        std::unique_ptr<GdiObject> object;
        uint32_t generation = 0;
    };
    std::vector<Slot> slots_;
    std::vector<uint32_t> freeSlots_;
    std::vector<HGDIOBJ> stock_;
    HGDIOBJ defaultBitmap_ = nullptr;
    DWORD liveCount_ = 0;
};

}  // namespace hp::gdi32
