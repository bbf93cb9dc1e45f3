#include "platform/user32/ico_decoder.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi32/bmp_decoder.h"
#include "platform/kernel32/little_endian.h"

namespace hp::user32 {

namespace {

constexpr WORD directoryTypeIcon = 1;
constexpr WORD directoryTypeCursor = 2;

using kernel32::readLe16;
using kernel32::readLe32;

// An icon or cursor image (a DIB with its AND mask) as a picture.
bool pictureFromDib(const uint8_t *bytes, size_t size, IconPicture &picture)
{
    if (size >= 8 && std::memcmp(bytes, "\x89PNG", 4) == 0)
        return false;  // PNG-compressed entries are not read; others are preferred
    gdi32::DecodedImage image;
    std::vector<uint8_t> mask;
    if (!gdi32::decodeDib(bytes, size, image, INT_MAX / 2, &mask))
        return false;
    const int width = image.pixels->width();
    const int height = image.pixels->height();
    picture.width = width;
    picture.height = height;
    picture.argb.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            uint32_t alpha;
            if (!image.alpha.empty())
                alpha = image.alpha[i];
            else
                alpha = (i < mask.size() && mask[i]) ? 0 : 255;
            picture.argb[i] = (alpha << 24) | image.pixels->at(x, y);
        }
    }
    return true;
}

// The platform's choice: the entry whose size is nearest the wanted one,
// then the deepest colour.
int bestEntry(const std::vector<IconDirectoryEntry> &entries, int wantedWidth, int wantedHeight)
{
    int best = -1;
    int bestDistance = INT_MAX;
    int bestBits = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int distance =
            std::abs(entries[i].width - wantedWidth) + std::abs(entries[i].height - wantedHeight);
        if (distance < bestDistance || (distance == bestDistance && entries[i].bitCount > bestBits)) {
            best = static_cast<int>(i);
            bestDistance = distance;
            bestBits = entries[i].bitCount;
        }
    }
    return best;
}

bool parseDirectory(const uint8_t *bytes, size_t size, bool group, WORD expectedType,
                    std::vector<IconDirectoryEntry> &entries)
{
    if (size < 6 || readLe16(bytes) != 0 || readLe16(bytes + 2) != expectedType)
        return false;
    const size_t count = readLe16(bytes + 4);
    const size_t entrySize = group ? 14 : 16;
    if (count == 0 || 6 + count * entrySize > size)
        return false;
    entries.clear();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t *e = bytes + 6 + i * entrySize;
        IconDirectoryEntry entry;
        if (group && expectedType == directoryTypeCursor) {
            // Cursor groups: WORD width, WORD height (of image and mask).
            entry.width = readLe16(e);
            entry.height = readLe16(e + 2) / 2;
            entry.bitCount = readLe16(e + 6);
        } else {
            entry.width = e[0] ? e[0] : 256;
            entry.height = e[1] ? e[1] : 256;
            entry.bitCount = readLe16(e + 6);
            if (!group && expectedType == directoryTypeCursor) {
                entry.hotspot = POINT{readLe16(e + 4), readLe16(e + 6)};
                entry.bitCount = 0;
            }
        }
        entry.size = readLe32(e + 8);
        if (group)
            entry.resourceId = readLe16(e + 12);
        else
            entry.offset = readLe32(e + 12);
        entries.push_back(entry);
    }
    return true;
}

}  // namespace

bool decodeIconDirectory(const uint8_t *bytes, size_t size, IconDirectoryLayout layout,
                         bool cursor, int wantedWidth, int wantedHeight,
                         const IconImageBytes &imageBytes, IconPicture &picture)
{
    const bool group = layout == IconDirectoryLayout::ResourceGroup;
    std::vector<IconDirectoryEntry> entries;
    if (!bytes || !parseDirectory(bytes, size, group,
                                  cursor ? directoryTypeCursor : directoryTypeIcon, entries))
        return false;
    while (!entries.empty()) {
        const int chosen = bestEntry(entries, wantedWidth, wantedHeight);
        const IconDirectoryEntry entry = entries[chosen];
        entries.erase(entries.begin() + chosen);
        const uint8_t *data = nullptr;
        size_t dataSize = 0;
        if (!imageBytes(entry, data, dataSize) || !data)
            continue;
        POINT hotspot = entry.hotspot;
        if (group && cursor) {
            // Cursor images start with their hot spot.
            if (dataSize < 4)
                continue;
            hotspot = POINT{readLe16(data), readLe16(data + 2)};
            data += 4;
            dataSize -= 4;
        }
        IconPicture decoded;
        if (pictureFromDib(data, dataSize, decoded)) {
            decoded.hotspot = hotspot;
            decoded.isCursor = cursor;
            picture = std::move(decoded);
            return true;
        }
    }
    return false;
}

bool decodeIconFile(const uint8_t *bytes, size_t size, bool cursor, int wantedWidth,
                    int wantedHeight, IconPicture &picture)
{
    auto imageInFile = [&](const IconDirectoryEntry &entry, const uint8_t *&data,
                           size_t &dataSize) {
        if (entry.offset > size || entry.size > size - entry.offset)
            return false;
        data = bytes + entry.offset;
        dataSize = entry.size;
        return true;
    };
    return decodeIconDirectory(bytes, size, IconDirectoryLayout::File, cursor, wantedWidth,
                               wantedHeight, imageInFile, picture);
}

}  // namespace hp::user32
