// The global objects of the program, for the test executables (the program
// defines its own in app/, together with the front panel).
#include "catalog/media_catalog.h"
#include "sound/sound_device.h"

SoundDevice soundDevice;
MediaCatalog mediaCatalog;
