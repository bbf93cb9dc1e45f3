// The program's three global objects, in one translation unit so that
// static initialisation builds them in this order: the sound device, the
// catalogue, then the front panel, whose constructor is the start-up
// sequence and whose destructor runs at process exit. Before them all, a
// second start hands its files to the running player and ends.
#include "app/front_panel.h"
#include "app/one_player.h"
#include "catalog/media_catalog.h"
#include "sound/sound_device.h"

[[maybe_unused]] static const int thisStartIsThePlayer = claimThePlayer();

SoundDevice soundDevice;
MediaCatalog mediaCatalog;
FrontPanel frontPanel;
