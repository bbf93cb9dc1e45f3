// Handles of the process as a whole: closing, counting, the process's own
// pseudo handle; and the process's end.
#include <cstdlib>

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
    HandleTable &handles = HandleTable::instance();
    if (!handles.close(object, KernelObject::Kind::File) &&
        !handles.close(object, KernelObject::Kind::Mutex))
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

// The exit list runs (the C runtime's, where the program's static objects
// are torn down), as the platform runs it on ExitProcess.
void WINAPI ExitProcess(UINT exitCode) { std::exit(static_cast<int>(exitCode)); }
