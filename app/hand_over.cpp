#include "app/hand_over.h"

#include <string.h>

#include "sound/shift_jis.h"

namespace {

// 1 when the bytes from `text` up to its zero byte form one path.
int isCarriablePath(const char *text, size_t length)
{
    if (length == 0 || length >= MAX_PATH)
        return 0;
    bool afterLead = false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20)
            return 0;
        if (afterLead && isTrailByte(byte))
            afterLead = false;
        else
            afterLead = isLeadByte(byte);
    }
    return afterLead ? 0 : 1;
}

}  // namespace

int addHandOverPath(std::string &list, const char *path)
{
    const size_t length = strlen(path);
    if (!isCarriablePath(path, length) || list.size() + length + 2 > handOverMaximumBytes)
        return 0;
    list.append(path, length + 1);
    return 1;
}

std::string finishHandOver(std::string list)
{
    list += '\0';
    return list;
}

int readHandOver(const COPYDATASTRUCT *copy, void (*take)(const char *path, void *context),
                 void *context)
{
    if (!copy || copy->dwData != handOverTag || copy->cbData == 0 ||
        copy->cbData > handOverMaximumBytes || !copy->lpData)
        return -1;
    const char *data = static_cast<const char *>(copy->lpData);
    const size_t size = copy->cbData;
    // The list ends at the first empty path, which must be the last byte.
    int count = 0;
    size_t start = 0;
    for (;;) {
        const void *zero = memchr(data + start, 0, size - start);
        if (!zero)
            return -1;
        const size_t length = static_cast<size_t>(static_cast<const char *>(zero) - data) - start;
        if (length == 0)
            break;
        if (!isCarriablePath(data + start, length))
            return -1;
        ++count;
        start += length + 1;
        if (start >= size)
            return -1;
    }
    if (start != size - 1)
        return -1;
    for (size_t at = 0; at < start; at += strlen(data + at) + 1)
        take(data + at, context);
    return count;
}
