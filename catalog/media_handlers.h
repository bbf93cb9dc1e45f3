// The three media types of the player, "MP3" (id 0), "MIDI" (1) and "CDA"
// (2), and their handlers.
//
// Files are recognised by content: MP3 by "ID3" or FF FB 92 at the start or
// "TAG" 128 bytes before the end, MIDI by "MThd" at the start. Artist and
// title come from a file name of the form "[Artist] Title.ext". CD tracks
// enter the catalogue only through addCdTracks and always play on the
// default CD audio device.
#pragma once

#include <stdint.h>

#include "catalog/media_catalog.h"

// Start-up steps, called once in this order; each answers 1.
int registerMp3Type(MediaCatalog *catalog);
int setMp3PlayHandler(MediaCatalog *catalog);
int setMp3ProbeHandler(MediaCatalog *catalog);
int registerMidiType(MediaCatalog *catalog);
int setMidiPlayHandler(MediaCatalog *catalog);
int setMidiProbeHandler(MediaCatalog *catalog);
int registerCdaType(MediaCatalog *catalog);
int setCdaPlayHandler(MediaCatalog *catalog);
// The eight steps above, in that order: the player's three types with
// their handlers.
void registerMediaTypes(MediaCatalog *catalog);

int probeMp3(MediaCatalog *catalog, const char *path);
int probeMidi(MediaCatalog *catalog, const char *path);

// Artist and title of a file entry, taken from the whole path (folders
// included). A found artist ends with a line feed; texts that cannot be
// found are the default texts. Both outputs hold valueCapacity bytes.
void parseArtistTitle(const char *path, char *artist, char *title);

int playFileEntry(MediaCatalog *catalog, uint32_t entryId);
int playCdTrackEntry(MediaCatalog *catalog, uint32_t entryId);

// Catalogues every track of every audio CD in the machine as a "CDA" entry,
// drive by drive in letter order, into the global catalogue.
void addCdTracks();
