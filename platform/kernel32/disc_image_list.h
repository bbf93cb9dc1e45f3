// The disc images the user shows as CD drives (drive_table.h letters them
// after the real drives).
//
// HOLLYPHONE_CD_IMAGES, a colon-separated list of cue sheets, when it is
// set (empty: no images); otherwise the file
// $XDG_CONFIG_HOME/hollyphone/discs (~/.config/hollyphone/discs when
// XDG_CONFIG_HOME is unset or empty), one cue sheet a line, blank lines and
// lines starting with "#" left out. A leading "~/" stands for $HOME; other
// relative paths count from the working directory (variable) or from the
// list file's folder (file). Paths are host paths, in the host's encoding.
#pragma once

#include <string>
#include <vector>

namespace hp::kernel32 {

// Absolute host paths of the listed cue sheets, in list order.
std::vector<std::string> configuredDiscImages();

// The two sources, apart. variableValue is the text of HOLLYPHONE_CD_IMAGES;
// listText the content of the list file in listFolder.
std::vector<std::string> discImagesOfVariable(const std::string &variableValue,
                                              const std::string &workingFolder,
                                              const std::string &home);
std::vector<std::string> discImagesOfListFile(const std::string &listText,
                                              const std::string &listFolder,
                                              const std::string &home);

}  // namespace hp::kernel32
