// Where the running executable is, as GetModuleFileNameA reports it.
#pragma once

#include <string>

namespace hp::kernel32 {

// Absolute host path of the executable: the override when one is set, else
// what /proc/self/exe names.
std::string moduleHostPath();

// Makes moduleHostPath answer hostPath ("" restores the real answer).
void setModulePathOverride(const std::string &hostPath);

}  // namespace hp::kernel32
