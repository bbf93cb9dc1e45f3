// SHELL32: files dropped on a window (WM_DROPFILES).
#include <algorithm>
#include <cstring>

#include "platform/shell32/drop_table.h"
#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::shell32::DropTable;
using hp::user32::WindowSystem;

void WINAPI DragAcceptFiles(HWND window, BOOL accept)
{
    WindowSystem &system = WindowSystem::instance();
    hp::user32::Window *target = system.windows().find(window);
    if (!target)
        return;
    if (accept)
        target->exStyle |= WS_EX_ACCEPTFILES;
    else
        target->exStyle &= ~static_cast<DWORD>(WS_EX_ACCEPTFILES);
    if (target->nativeCreated)
        system.display().acceptDrops(window, accept != FALSE);
}

UINT WINAPI DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size)
{
    // A handle that is not a drop reads as an empty drop, as the platform's
    // GlobalLock failure does.
    const hp::shell32::DroppedFiles *files = DropTable::instance().find(drop);
    if (!files)
        return 0;
    if (index == 0xFFFFFFFF)
        return static_cast<UINT>(files->paths.size());
    if (index >= files->paths.size())
        return 0;
    const std::string &path = files->paths[index];
    if (!file)
        return static_cast<UINT>(path.size());
    if (size == 0)
        return 0;
    // Too small a buffer gets size - 1 bytes and the terminator, and the
    // count of bytes copied.
    const size_t copied = std::min<size_t>(path.size(), size - 1);
    std::memcpy(file, path.data(), copied);
    file[copied] = '\0';
    return static_cast<UINT>(copied);
}

BOOL WINAPI DragQueryPoint(HDROP drop, LPPOINT point)
{
    const hp::shell32::DroppedFiles *files = DropTable::instance().find(drop);
    if (!files || !point)
        return FALSE;
    *point = files->point;
    // TRUE when the drop landed in the client area.
    return files->nonClient ? FALSE : TRUE;
}

void WINAPI DragFinish(HDROP drop) { DropTable::instance().release(drop); }
