// The process's current directory, which relative Win32 paths start from.
// It is the host process's working directory: always on drive C:.
#pragma once

#include <string>

namespace hp::kernel32 {

// Absolute host path of the working directory ("/" when the host cannot
// tell, for instance after the folder was removed).
std::string currentHostDirectory();

}  // namespace hp::kernel32
