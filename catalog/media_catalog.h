// The media catalogue: registered media types with their property names and
// handlers, the catalogued entries, and five named track lists of entry ids
// (list 0 is the play queue).
//
// The catalogue stores, looks up and dispatches; recognising files and
// playing entries is the work of the handlers (catalog/media_handlers.h).
// Arrays grow by one element per addition; types and entries are never
// removed. Every lookup is a linear search in insertion order. Results: 1
// success, 0 failure; lookups answer 255 (type id, list index), -1 (entry
// id at a list position) or null.
#pragma once

#include <stdint.h>

class MediaCatalog;

// Recognises the file and offers an entry to addEntry: 1, or 0 when the file
// is not of the handler's type.
using ProbeHandler = int (*)(MediaCatalog *catalog, const char *path);
// Starts playback of an existing entry: 1 when it started.
using PlayHandler = int (*)(MediaCatalog *catalog, uint32_t entryId);

// Text capacities, terminator included.
constexpr int valueCapacity = 260;
constexpr int nameCapacity = 31;
constexpr int listNameCapacity = 32;

using ValueText = char[valueCapacity];
using NameText = char[nameCapacity];

constexpr int trackListCount = 5;
constexpr uint8_t playQueueList = 0;
constexpr int maxTypeCount = 255;                  // 255 is the "no type" answer
constexpr uint32_t maxEntryCount = 1u << 24;       // range of an entry's serial number
constexpr uint16_t maxListLength = 0xFFFF;
constexpr uint8_t noTypeId = 255;
constexpr uint8_t noListIndex = 255;
constexpr uint32_t noEntryId = 0xFFFFFFFFu;

// Positions 10000 and 20000 lie beyond the end of any list of up to that
// many ids, so inserting there appends.
constexpr int appendPosition = 10000;

// Replace flag of insertIntoList.
enum ListWrite : int {
    insertBefore = 0,
    replaceAt = 1,
};

struct MediaType {
    uint8_t id;  // position in MediaCatalog::types
    char name[nameCapacity];
    ValueText *defaultValues;  // defaultCount texts, never consulted after registration
    NameText *defaultNames;
    uint8_t defaultCount;
    NameText *propertyNames;  // in value order
    uint8_t propertyCount;    // number of values every entry of this type carries
    PlayHandler playHandler;
    int hasPlayHandler;
    ProbeHandler probeHandler;
    int hasProbeHandler;
};

struct MediaEntry {
    uint32_t id;  // type id in the top 8 bits, position among all entries in the low 24
    uint8_t typeId;
    ValueText *values;  // one per property of the type: 0 path, 1 artist, 2 title, ...
};

struct TrackList {
    char name[listNameCapacity];
    uint16_t count;
    uint32_t *ids;  // may repeat ids; not checked against the entries
    int inUse;      // 1 once named
};

class MediaCatalog {
public:
    MediaCatalog();
    // The program never tears the catalogue down before exit; this frees it
    // all the same, so that leak checkers and tests see a clean heap.
    ~MediaCatalog();
    MediaCatalog(const MediaCatalog &) = delete;
    MediaCatalog &operator=(const MediaCatalog &) = delete;

    int registerType(const char *name, const ValueText *defaultValues, const NameText *defaultNames,
                     int defaultCount, const NameText *propertyNames, int propertyCount);
    int setPlayHandler(uint8_t typeId, PlayHandler handler);
    int setProbeHandler(uint8_t typeId, ProbeHandler handler);
    // By id (and name, when one is given); failing that, by name alone.
    MediaType *findType(uint8_t typeId, const char *name);
    uint8_t findTypeId(const char *name);

    int addEntry(uint8_t typeId, const ValueText *values, int valueCount);
    MediaEntry *findEntry(uint32_t entryId);
    // Offers a readable file to every type's probe handler, in type order.
    // 1 when the file could be opened for reading; the new entries are those
    // beyond the entryCount read before the call.
    int addFile(const char *path);
    int playEntry(uint32_t entryId);
    int playAsCurrent(uint32_t entryId);

    // Naming a list puts it in use and empties it.
    int setListName(uint8_t listIndex, const char *name);
    int insertIntoList(uint8_t listIndex, int position, uint32_t entryId, int replace);
    uint16_t listCount(uint8_t listIndex);
    uint8_t findList(const char *name);
    uint32_t listItem(int listIndex, int position);

    MediaType *types;
    uint8_t typeCount;
    MediaEntry *entries;
    uint32_t entryCount;
    TrackList lists[trackListCount];
    uint32_t currentEntryId;
    uint8_t currentTypeId;
};

// Offers a file to the catalogue; when a type catalogues it, the newest
// entry (the last, when two types accept the file) goes into the list at
// `position`. 1 when an entry was added.
int addFileToList(MediaCatalog &catalog, uint8_t listIndex, int position, const char *path);

extern MediaCatalog mediaCatalog;
