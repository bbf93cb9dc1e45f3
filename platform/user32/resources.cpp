// Resource lookup over the .res bytes that hp_embed_resources links into the
// executable.
//
// The .res format is a sequence of records, each DWORD-aligned:
//   DWORD DataSize, DWORD HeaderSize,
//   TYPE and NAME (each 0xFFFF + WORD ordinal, or a zero-terminated UTF-16
//   string), padding to a DWORD, DWORD DataVersion, WORD MemoryFlags,
//   WORD LanguageId, DWORD Version, DWORD Characteristics,
//   then DataSize bytes of data, padded to a DWORD.
// The first record is an empty marker (DataSize 0, both ids 0).
#include "platform/user32/resources.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/kernel32/little_endian.h"

// Defined by the source that hp_embed_resources generates; absent (null)
// in executables that embed no resources.
extern "C" {
extern const unsigned char hp_resource_data[] __attribute__((weak));
extern const size_t hp_resource_size __attribute__((weak));
}

namespace hp::user32 {

namespace {

struct ResourceId {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::u16string name;  // upper-cased (ASCII) when not an ordinal
};

using kernel32::readLe16;
using kernel32::readLe32;

char16_t upperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

// Reads an id at p (inside [p, end)); returns the byte count or 0 when the
// record is malformed.
size_t readId(const unsigned char *p, const unsigned char *end, ResourceId &id)
{
    if (end - p < 2)
        return 0;
    if (readLe16(p) == 0xFFFF) {
        if (end - p < 4)
            return 0;
        id.isOrdinal = true;
        id.ordinal = readLe16(p + 2);
        return 4;
    }
    id.isOrdinal = false;
    id.name.clear();
    const unsigned char *q = p;
    while (end - q >= 2) {
        char16_t c = readLe16(q);
        q += 2;
        if (c == 0)
            return static_cast<size_t>(q - p);
        id.name.push_back(upperAscii(c));
    }
    return 0;
}

// The program's ids as LPCSTR: MAKEINTRESOURCE values, "#123" (an ordinal,
// as the platform reads it), or a name.
ResourceId idFromArgument(LPCSTR argument)
{
    ResourceId id;
    if (IS_INTRESOURCE(argument)) {
        id.isOrdinal = true;
        id.ordinal = static_cast<WORD>(reinterpret_cast<uintptr_t>(argument));
        return id;
    }
    if (argument[0] == '#') {
        unsigned value = 0;
        const char *p = argument + 1;
        bool digits = *p != '\0';
        for (; *p; ++p) {
            if (*p < '0' || *p > '9') {
                digits = false;
                break;
            }
            value = value * 10 + static_cast<unsigned>(*p - '0');
            if (value > 0xFFFF) {
                digits = false;
                break;
            }
        }
        if (digits) {
            id.isOrdinal = true;
            id.ordinal = static_cast<WORD>(value);
            return id;
        }
    }
    // Names in resource scripts are ASCII in practice; other bytes compare
    // as themselves.
    for (const char *p = argument; *p; ++p)
        id.name.push_back(upperAscii(static_cast<unsigned char>(*p)));
    return id;
}

bool sameId(const ResourceId &a, const ResourceId &b)
{
    if (a.isOrdinal != b.isOrdinal)
        return false;
    return a.isOrdinal ? a.ordinal == b.ordinal : a.name == b.name;
}

}  // namespace

bool findResourceIn(const void *resBytes, size_t resSize, LPCSTR type, LPCSTR name,
                    ResourceBytes &bytes)
{
    if (!type || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const ResourceId wantedType = idFromArgument(type);
    const ResourceId wantedName = idFromArgument(name);
    bool typeSeen = false;

    const auto *begin = static_cast<const unsigned char *>(resBytes);
    const unsigned char *end = begin ? begin + resSize : begin;
    const unsigned char *p = begin;
    while (p && end - p >= 8) {
        const uint32_t dataSize = readLe32(p);
        const uint32_t headerSize = readLe32(p + 4);
        if (headerSize < 8 || headerSize > static_cast<size_t>(end - p) ||
            dataSize > static_cast<size_t>(end - p) - headerSize)
            break;  // truncated or corrupt: stop at what we could read
        const unsigned char *headerEnd = p + headerSize;
        ResourceId recordType;
        ResourceId recordName;
        size_t used = readId(p + 8, headerEnd, recordType);
        size_t usedName = used ? readId(p + 8 + used, headerEnd, recordName) : 0;
        if (used && usedName) {
            if (sameId(recordType, wantedType)) {
                typeSeen = true;
                if (sameId(recordName, wantedName)) {
                    bytes.data = headerEnd;
                    bytes.size = dataSize;
                    return true;
                }
            }
        }
        size_t advance = headerSize + ((dataSize + 3u) & ~3u);
        if (advance > static_cast<size_t>(end - p))
            break;
        p += advance;
    }
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return false;
}

bool findResource(HINSTANCE module, LPCSTR type, LPCSTR name, ResourceBytes &bytes)
{
    // One module: the program. Any instance handle names it.
    (void)module;
    const void *data = &hp_resource_size ? hp_resource_data : nullptr;
    const size_t size = &hp_resource_size ? hp_resource_size : 0;
    return findResourceIn(data, size, type, name, bytes);
}

}  // namespace hp::user32
