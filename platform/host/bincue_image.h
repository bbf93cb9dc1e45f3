// BIN/CUE disc images as libcdio 2.1 opens them.
//
// libcdio (Debian 12 ships 2.1.0) does not read the file that the sheet's
// FILE line names: it reads the cue sheet's own name with "cue" turned into
// "bin", and it may read out of bounds on a sheet without tracks. So a
// sheet is checked here before libcdio or cdiocddasrc see it.
#pragma once

#include <string>

namespace hp::host {

// Why the image of this cue sheet cannot be played, or "" when it can: the
// sheet is a regular .cue file of at most a few kilobytes, names exactly one
// BINARY (or MOTOROLA) file, lists at least one track, and the file it names
// exists and is the very file libcdio will read. Never blocks on a FIFO.
std::string binCueProblem(const std::string &cuePath);

}  // namespace hp::host
