// The playlist file: one file path per line, CP932 bytes, CR LF after every
// line. Loading appends what the catalogue makes of each line to the play
// queue (list 0); saving writes the file paths of the list named
// "再生リスト", without the audio-CD tracks. Both work on the global
// catalogue.
#pragma once

// 0 when the file cannot be opened for reading, else 1.
int loadPlaylist(const char *path);

// 0 when the file could not be written completely; the old file is then
// left exactly as it was. Else 1.
int savePlaylist(const char *path);
