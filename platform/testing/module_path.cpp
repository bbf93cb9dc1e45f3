// hp::testing::setModulePath: where GetModuleFileNameA says the executable
// is, so a test can give the settings file a folder of its own.
#include "platform/kernel32/module_file.h"
#include "platform/testing/twins.h"

namespace hp::testing {

void setModulePath(const std::string &hostPath) { kernel32::setModulePathOverride(hostPath); }

}  // namespace hp::testing
