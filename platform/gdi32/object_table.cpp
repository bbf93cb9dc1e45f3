#include "platform/gdi32/object_table.h"

#include <cstring>

#include "platform/gdi32/bitmap.h"

namespace hp::gdi32 {

namespace {

// Handle layout: tag | generation (8 bits) << 16 | slot index + 1 (16 bits).
constexpr uintptr_t handleTag = 0x10000000;
constexpr uint32_t maxSlots = 0xFFFF;
constexpr int stockObjectCount = 18;  // WHITE_BRUSH .. DEFAULT_GUI_FONT

LOGFONTA stockFont(LONG height, LONG weight, BYTE charSet, BYTE pitchAndFamily, const char *face)
{
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = charSet;
    font.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

}  // namespace

ObjectTable &ObjectTable::instance()
{
    static ObjectTable table;
    return table;
}

ObjectTable::ObjectTable() : stock_(stockObjectCount, nullptr)
{
    insertStock(WHITE_BRUSH, std::make_unique<Brush>(BS_SOLID, RGB(255, 255, 255)));
    insertStock(LTGRAY_BRUSH, std::make_unique<Brush>(BS_SOLID, RGB(192, 192, 192)));
    insertStock(GRAY_BRUSH, std::make_unique<Brush>(BS_SOLID, RGB(128, 128, 128)));
    insertStock(DKGRAY_BRUSH, std::make_unique<Brush>(BS_SOLID, RGB(64, 64, 64)));
    insertStock(BLACK_BRUSH, std::make_unique<Brush>(BS_SOLID, RGB(0, 0, 0)));
    insertStock(NULL_BRUSH, std::make_unique<Brush>(BS_NULL, 0));
    insertStock(WHITE_PEN, std::make_unique<Pen>(PS_SOLID, 0, RGB(255, 255, 255)));
    insertStock(BLACK_PEN, std::make_unique<Pen>(PS_SOLID, 0, RGB(0, 0, 0)));
    insertStock(NULL_PEN, std::make_unique<Pen>(PS_NULL, 0, 0));
    // The stock fonts of a Japanese system.
    const char *gothic = "ＭＳ ゴシック";
    const char *proportionalGothic = "ＭＳ Ｐゴシック";
    insertStock(OEM_FIXED_FONT, std::make_unique<Font>(stockFont(
                                    16, FW_NORMAL, SHIFTJIS_CHARSET, FIXED_PITCH | FF_MODERN, gothic)));
    insertStock(ANSI_FIXED_FONT, std::make_unique<Font>(stockFont(
                                     16, FW_NORMAL, SHIFTJIS_CHARSET, FIXED_PITCH | FF_MODERN, gothic)));
    insertStock(ANSI_VAR_FONT, std::make_unique<Font>(stockFont(
                                   -12, FW_NORMAL, SHIFTJIS_CHARSET, VARIABLE_PITCH | FF_SWISS,
                                   proportionalGothic)));
    insertStock(SYSTEM_FONT, std::make_unique<Font>(stockFont(
                                 18, FW_BOLD, SHIFTJIS_CHARSET, VARIABLE_PITCH | FF_SWISS, "System")));
    insertStock(DEVICE_DEFAULT_FONT, std::make_unique<Font>(stockFont(
                                         18, FW_BOLD, SHIFTJIS_CHARSET, VARIABLE_PITCH | FF_SWISS,
                                         "System")));
    insertStock(DEFAULT_PALETTE, std::make_unique<Palette>());
    insertStock(SYSTEM_FIXED_FONT, std::make_unique<Font>(stockFont(
                                       16, FW_NORMAL, SHIFTJIS_CHARSET, FIXED_PITCH | FF_MODERN, gothic)));
    insertStock(DEFAULT_GUI_FONT, std::make_unique<Font>(stockFont(
                                      -12, FW_NORMAL, SHIFTJIS_CHARSET, VARIABLE_PITCH | FF_SWISS,
                                      proportionalGothic)));
    defaultBitmap_ = insertStock(-1, Bitmap::createDevice(1, 1, 1));
    // The default monochrome bitmap is white where nothing was drawn.
    if (auto *bitmap = findAs<Bitmap>(defaultBitmap_, ObjectKind::Bitmap))
        bitmap->pixelsForWrite().row(0)[0] = 0xFFFFFF;
}

HGDIOBJ ObjectTable::insertStock(int index, std::unique_ptr<GdiObject> object)
{
    object->markStock();
    HGDIOBJ handle = insert(std::move(object));
    --liveCount_;
    if (index >= 0)
        stock_[index] = handle;
    return handle;
}

HGDIOBJ ObjectTable::insert(std::unique_ptr<GdiObject> object)
{
    if (!object)
        return nullptr;
    uint32_t index;
    if (!freeSlots_.empty()) {
        index = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        if (slots_.size() >= maxSlots) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        index = static_cast<uint32_t>(slots_.size());
        slots_.emplace_back();
    }
    Slot &slot = slots_[index];
    slot.generation = (slot.generation + 1) & 0xFF;
    slot.object = std::move(object);
    ++liveCount_;
    return reinterpret_cast<HGDIOBJ>(handleTag | (uintptr_t(slot.generation) << 16) |
                                     (uintptr_t(index) + 1));
}

GdiObject *ObjectTable::find(HGDIOBJ handle) const
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if ((value & ~uintptr_t(0xFFFFFF)) != handleTag)
        return nullptr;
    const uint32_t index = static_cast<uint32_t>(value & 0xFFFF);
    const uint32_t generation = static_cast<uint32_t>((value >> 16) & 0xFF);
    if (index == 0 || index > slots_.size())
        return nullptr;
    const Slot &slot = slots_[index - 1];
    if (!slot.object || slot.generation != generation)
        return nullptr;
    return slot.object.get();
}

void ObjectTable::erase(HGDIOBJ handle)
{
    if (!find(handle))
        return;
    const uint32_t index = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle) & 0xFFFF) - 1;
    // Take the object out first: its destructor may not reach the table.
    std::unique_ptr<GdiObject> object = std::move(slots_[index].object);
    if (!object->isStock())
        --liveCount_;
    freeSlots_.push_back(index);
}

void ObjectTable::noteSelected(HGDIOBJ handle)
{
    if (GdiObject *object = find(handle))
        ++object->selectionCount;
}

void ObjectTable::noteDeselected(HGDIOBJ handle)
{
    GdiObject *object = find(handle);
    if (!object)
        return;
    if (object->selectionCount > 0)
        --object->selectionCount;
    if (object->selectionCount == 0 && object->deletePending)
        erase(handle);
}

HGDIOBJ ObjectTable::stockObject(int index) const
{
    if (index < 0 || index >= static_cast<int>(stock_.size()))
        return nullptr;
    return stock_[index];
}

}  // namespace hp::gdi32
