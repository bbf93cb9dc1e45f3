// The output mixer's levels ("Hollyphone Mixer", output_mixer.h) kept per
// user between runs, as a sound server keeps its volumes: a gauge set to
// half is at half after a restart.
//
// They live in the user's data folder (kernel32::userDataFolder(), the
// folder an installed program also keeps its settings in) as the text file
// "mixer-levels", one line per mixer line:
//
//   Master=<left volume>,<right volume>,<left mute>,<right mute>
//   Wave=...
//   Synth=...
//   CdAudio=...
//
// volumes 0 to 65535, mutes 0 or 1, lines ended by LF (CR LF is read too).
// The file is replaced whole at every change (the atomic writer), so a
// crash leaves the old levels or the new. A file that is not exactly this
// (a line missing, twice, unknown or out of range, a stray byte, longer
// than any such file) is damaged: every line keeps full volume, unmuted,
// and the next change writes a sound file over it.
#pragma once

#include <string>
#include <string_view>

#include "platform/winmm/output_mixer.h"

namespace hp::winmm {

std::string formatLevels(const OutputLines::AllLevels &levels);

// False for a damaged text; `levels` is then left as it was.
bool parseLevels(std::string_view text, OutputLines::AllLevels &levels);

// Restores the levels kept in the data folder into OutputLines and keeps
// every later change there. An empty folder name (the user has no home)
// keeps nothing. The folder is made (owner-only) at the first change.
void keepOutputLevels(const std::string &dataFolder);

}  // namespace hp::winmm
