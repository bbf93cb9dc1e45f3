// The playlist file: one file path per line, CP932 bytes, CR LF after every
// line. Loading appends what the catalogue makes of each line to the play
// queue (list 0); saving writes the file paths of the list named
// "再生リスト", without the audio-CD tracks. Both work on the global
// catalogue.
//
// Lines that a save would drop (files missing or not recognised, comment
// lines, text in another encoding) are not destroyed without a copy: when
// the queue lacks lines of the file as it was loaded, that file is first
// kept as "<path>.bak" beside it (one copy, replaced by the next such
// save).
#pragma once

// 0 when the file cannot be opened or read, else 1.
int loadPlaylist(const char *path);

// 0 when the file could not be written completely, or when the copy of the
// loaded file it needed could not be kept, or when the file was there at
// loading but could not be read; the old file is then left exactly as it
// was. Else 1.
int savePlaylist(const char *path);
