#include "sound/text_copy.h"

#include <string.h>

void copyTruncated(char *destination, int capacity, const char *source)
{
    if (capacity <= 0) {
        return;
    }
    size_t length = source ? strlen(source) : 0;
    if (length > static_cast<size_t>(capacity - 1)) {
        length = static_cast<size_t>(capacity - 1);
    }
    if (length > 0) {
        memmove(destination, source, length);
    }
    destination[length] = '\0';
}
