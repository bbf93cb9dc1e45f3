// Handles of the process as a whole: closing, counting, the process's own
// pseudo handle.
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/host_errors.h"

using namespace hp::kernel32;

namespace {

// The platform's pseudo handle for the calling process.
HANDLE const currentProcessHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

}  // namespace

HANDLE WINAPI GetCurrentProcess(void) { return currentProcessHandle; }

BOOL WINAPI CloseHandle(HANDLE object)
{
    if (object == currentProcessHandle)
        return TRUE;
    // Search handles are closed with FindClose only.
    if (!HandleTable::instance().close(object, KernelObject::Kind::File))
        return failWith(ERROR_INVALID_HANDLE, FALSE);
    return TRUE;
}

BOOL WINAPI GetProcessHandleCount(HANDLE process, DWORD *handleCount)
{
    if (process != currentProcessHandle)
        return failWith(ERROR_INVALID_HANDLE, FALSE);
    if (!handleCount)
        return failWith(ERROR_NOACCESS, FALSE);
    *handleCount = HandleTable::instance().count();
    return TRUE;
}
