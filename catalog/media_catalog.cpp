#include "catalog/media_catalog.h"

#include <stdlib.h>
#include <string.h>

#include "platform/win32.h"
#include "sound/text_copy.h"

namespace {

constexpr uint32_t serialMask = 0x00FFFFFFu;
constexpr int typeIdShift = 24;

// Grows an array of trivially copyable records by one; null when memory runs
// out, with the old array still valid.
template <typename T>
T *grownByOne(T *array, size_t count)
{
    return static_cast<T *>(realloc(array, (count + 1) * sizeof(T)));
}

template <typename Text>
Text *zeroedTexts(int count)
{
    return static_cast<Text *>(calloc(count == 0 ? 1 : static_cast<size_t>(count), sizeof(Text)));
}

template <size_t capacity>
void copyTexts(char (*destination)[capacity], const char (*source)[capacity], int count)
{
    for (int i = 0; i < count; ++i) {
        copyTruncated(destination[i], static_cast<int>(capacity), source[i]);
    }
}

bool sameText(const char *first, const char *second) { return lstrcmpA(first, second) == 0; }

}  // namespace

MediaCatalog::MediaCatalog()
    : types(nullptr),
      typeCount(0),
      entries(nullptr),
      entryCount(0),
      lists(),
      currentEntryId(0),
      currentTypeId(0)
{
}

MediaCatalog::~MediaCatalog()
{
    for (uint32_t i = 0; i < entryCount; ++i) {
        free(entries[i].values);
    }
    free(entries);
    for (int i = 0; i < typeCount; ++i) {
        free(types[i].defaultValues);
        free(types[i].defaultNames);
        free(types[i].propertyNames);
    }
    free(types);
    for (TrackList &list : lists) {
        free(list.ids);
    }
}

int MediaCatalog::registerType(const char *name, const ValueText *defaultValues,
                               const NameText *defaultNames, int defaultCount,
                               const NameText *propertyNames, int propertyCount)
{
    // typeCount is a byte and 255 answers "no type": a 256th type would wrap.
    if (typeCount >= maxTypeCount || !name || defaultCount < 0 || defaultCount > 255
        || propertyCount < 0 || propertyCount > 255) {
        return 0;
    }
    if ((defaultCount > 0 && (!defaultValues || !defaultNames))
        || (propertyCount > 0 && !propertyNames)) {
        return 0;
    }
    // Everything is allocated before the type joins the array, so a failure
    // leaves the catalogue as it was.
    ValueText *values = zeroedTexts<ValueText>(defaultCount);
    NameText *names = zeroedTexts<NameText>(defaultCount);
    NameText *properties = zeroedTexts<NameText>(propertyCount);
    MediaType *grown = values && names && properties ? grownByOne(types, typeCount) : nullptr;
    if (!grown) {
        free(values);
        free(names);
        free(properties);
        return 0;
    }
    types = grown;
    MediaType &type = types[typeCount];
    memset(&type, 0, sizeof type);
    type.id = typeCount;
    copyTruncated(type.name, nameCapacity, name);
    type.defaultCount = static_cast<uint8_t>(defaultCount);
    type.defaultValues = values;
    type.defaultNames = names;
    copyTexts(values, defaultValues, defaultCount);
    copyTexts(names, defaultNames, defaultCount);
    type.propertyCount = static_cast<uint8_t>(propertyCount);
    type.propertyNames = properties;
    copyTexts(properties, propertyNames, propertyCount);
    type.hasPlayHandler = 0;
    type.hasProbeHandler = 0;
    ++typeCount;
    return 1;
}

int MediaCatalog::setPlayHandler(uint8_t typeId, PlayHandler handler)
{
    if (!handler) {
        return 0;
    }
    MediaType *type = findType(typeId, nullptr);
    if (!type) {
        return 0;
    }
    type->playHandler = handler;
    type->hasPlayHandler = 1;
    return 1;
}

int MediaCatalog::setProbeHandler(uint8_t typeId, ProbeHandler handler)
{
    if (!handler) {
        return 0;
    }
    MediaType *type = findType(typeId, nullptr);
    if (!type) {
        return 0;
    }
    type->probeHandler = handler;
    type->hasProbeHandler = 1;
    return 1;
}

MediaType *MediaCatalog::findType(uint8_t typeId, const char *name)
{
    for (int i = 0; i < typeCount; ++i) {
        if (types[i].id == typeId && (!name || sameText(types[i].name, name))) {
            return &types[i];
        }
    }
    if (name) {
        for (int i = 0; i < typeCount; ++i) {
            if (sameText(types[i].name, name)) {
                return &types[i];
            }
        }
    }
    return nullptr;
}

uint8_t MediaCatalog::findTypeId(const char *name)
{
    if (!name) {
        return noTypeId;
    }
    for (int i = 0; i < typeCount; ++i) {
        if (sameText(types[i].name, name)) {
            return types[i].id;
        }
    }
    return noTypeId;
}

int MediaCatalog::addEntry(uint8_t typeId, const ValueText *values, int valueCount)
{
    const MediaType *type = findType(typeId, nullptr);
    // The serial number has 24 bits: one more entry would reuse an id.
    if (!type || entryCount >= maxEntryCount) {
        return 0;
    }
    int propertyCount = type->propertyCount;
    ValueText *entryValues = zeroedTexts<ValueText>(propertyCount);
    MediaEntry *grown = entryValues ? grownByOne(entries, entryCount) : nullptr;
    if (!grown) {
        free(entryValues);
        return 0;
    }
    entries = grown;
    MediaEntry &entry = entries[entryCount];
    memset(&entry, 0, sizeof entry);
    entry.typeId = typeId;
    entry.id = (static_cast<uint32_t>(typeId) << typeIdShift) | (entryCount & serialMask);
    entry.values = entryValues;
    // Surplus values are ignored; values not supplied stay empty.
    int copied = values ? (valueCount < propertyCount ? valueCount : propertyCount) : 0;
    copyTexts(entryValues, values, copied);
    ++entryCount;
    return 1;
}

MediaEntry *MediaCatalog::findEntry(uint32_t entryId)
{
    for (uint32_t i = 0; i < entryCount; ++i) {
        if (entries[i].id == entryId) {
            return &entries[i];
        }
    }
    return nullptr;
}

int MediaCatalog::addFile(const char *path)
{
    if (!path) {
        return 0;
    }
    // Only proves that the file exists and can be read.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    CloseHandle(file);
    // Every type gets its turn, so a file that two handlers accept is
    // catalogued twice. A probe handler adds entries, never types; the type
    // is looked up again on each step all the same.
    for (int typeId = 0; typeId < typeCount; ++typeId) {
        MediaType *type = findType(static_cast<uint8_t>(typeId), nullptr);
        if (type && type->hasProbeHandler == 1) {
            type->probeHandler(this, path);
        }
    }
    return 1;
}

int MediaCatalog::playEntry(uint32_t entryId)
{
    MediaEntry *entry = findEntry(entryId);
    if (!entry) {
        return 0;
    }
    MediaType *type = findType(entry->typeId, nullptr);
    // A type without a play handler cannot play its entries.
    if (!type || type->hasPlayHandler != 1) {
        return 0;
    }
    type->playHandler(this, entryId);
    return 1;
}

int MediaCatalog::playAsCurrent(uint32_t entryId)
{
    if (!playEntry(entryId)) {
        return 0;
    }
    MediaEntry *entry = findEntry(entryId);
    if (!entry) {
        return 0;
    }
    currentEntryId = entryId;
    currentTypeId = entry->typeId;
    return 1;
}

int MediaCatalog::setListName(uint8_t listIndex, const char *name)
{
    if (listIndex >= trackListCount || !name || name[0] == '\0') {
        return 0;
    }
    TrackList &list = lists[listIndex];
    if (list.inUse) {
        free(list.ids);
        memset(&list, 0, sizeof list);
    }
    copyTruncated(list.name, listNameCapacity, name);
    list.inUse = 1;
    return 1;
}

int MediaCatalog::insertIntoList(uint8_t listIndex, int position, uint32_t entryId, int replace)
{
    if (listIndex >= trackListCount || position < 0) {
        return 0;
    }
    TrackList &list = lists[listIndex];
    if (!list.inUse) {
        return 0;
    }
    int count = list.count;
    if (position < count && replace == replaceAt) {
        list.ids[position] = entryId;
        return 1;
    }
    // The count is 16 bits wide: a further id would wrap it.
    if (list.count >= maxListLength) {
        return 0;
    }
    uint32_t *grown = grownByOne(list.ids, list.count);
    if (!grown) {
        return 0;
    }
    list.ids = grown;
    if (position > count - 1) {
        list.ids[count] = entryId;
    } else {
        memmove(&list.ids[position + 1], &list.ids[position],
                static_cast<size_t>(count - position) * sizeof(uint32_t));
        list.ids[position] = entryId;
    }
    ++list.count;
    return 1;
}

uint16_t MediaCatalog::listCount(uint8_t listIndex)
{
    if (listIndex >= trackListCount || !lists[listIndex].inUse) {
        return 0;
    }
    return lists[listIndex].count;
}

uint8_t MediaCatalog::findList(const char *name)
{
    if (!name) {
        return noListIndex;
    }
    for (int i = 0; i < trackListCount; ++i) {
        if (lists[i].inUse && sameText(lists[i].name, name)) {
            return static_cast<uint8_t>(i);
        }
    }
    return noListIndex;
}

uint32_t MediaCatalog::listItem(int listIndex, int position)
{
    if (listIndex < 0 || listIndex >= trackListCount) {
        return noEntryId;
    }
    const TrackList &list = lists[listIndex];
    if (!list.inUse || position < 0 || position >= list.count) {
        return noEntryId;
    }
    return list.ids[position];
}

int addFileToList(MediaCatalog &catalog, uint8_t listIndex, int position, const char *path)
{
    uint32_t before = catalog.entryCount;
    catalog.addFile(path);
    if (catalog.entryCount <= before) {
        return 0;
    }
    catalog.insertIntoList(listIndex, position, catalog.entries[catalog.entryCount - 1].id,
                           insertBefore);
    return 1;
}
