// parseArtistTitle on arbitrary bytes: the outputs stay terminated within
// their capacity, and a found title is a run of the path's bytes.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "sound/sound_device.h"

SoundDevice soundDevice;
MediaCatalog mediaCatalog;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string path(reinterpret_cast<const char *>(data), size);
    path = path.c_str();  // the path ends at its first zero byte
    char *artist = static_cast<char *>(malloc(valueCapacity));
    char *title = static_cast<char *>(malloc(valueCapacity));
    memset(artist, 0x7F, valueCapacity);
    memset(title, 0x7F, valueCapacity);
    parseArtistTitle(path.c_str(), artist, title);
    if (!memchr(artist, '\0', valueCapacity) || !memchr(title, '\0', valueCapacity)) {
        abort();
    }
    char noArtist[valueCapacity];
    char noTitle[valueCapacity];
    parseArtistTitle("", noArtist, noTitle);
    // Without a bracket there is nothing to find.
    if (path.find('[') == std::string::npos
        && (strcmp(artist, noArtist) != 0 || strcmp(title, noTitle) != 0)) {
        abort();
    }
    // A found title is one run of the path's bytes.
    if (strcmp(title, noTitle) != 0 && path.find(title) == std::string::npos) {
        abort();
    }
    free(artist);
    free(title);
    return 0;
}
