#include "app/one_player.h"

#include <string>

#include "app/command_line.h"
#include "app/commands.h"
#include "app/front_panel.h"
#include "app/hand_over.h"

namespace {

constexpr const char *playerMutexName = "Hollyphone.Player";

void addFullPath(const char *argument, void *list)
{
    char fullPath[MAX_PATH];
    if (fullPathOf(argument, fullPath))
        addHandOverPath(*static_cast<std::string *>(list), fullPath);
}

// The files of this start's command line, by their full paths.
std::string filesToHandOver()
{
    std::string list;
    forEachArgument(commandLineArguments(GetCommandLineA()), addFullPath, &list);
    return finishHandOver(std::move(list));
}

int handOver(HWND player, const std::string &files)
{
    COPYDATASTRUCT copy;
    copy.dwData = handOverTag;
    copy.cbData = static_cast<DWORD>(files.size());
    copy.lpData = const_cast<char *>(files.data());
    return SendMessageA(player, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)) == TRUE;
}

void queueHandedOverFile(const char *path, void *queued)
{
    *static_cast<int *>(queued) += queueFile(path);
}

}  // namespace

int claimThePlayer()
{
    const std::string files = filesToHandOver();
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE name = CreateMutexA(nullptr, FALSE, playerMutexName);
        // Without the name there is no telling: this start plays. The
        // handle stays open for the process's life.
        if (!name || GetLastError() != ERROR_ALREADY_EXISTS)
            return 1;
        HWND player = FindWindowA(mainWindowClass, nullptr);
        if (player && handOver(player, files)) {
            SetForegroundWindow(player);
            CloseHandle(name);
            ExitProcess(0);
        }
        CloseHandle(name);
        if (GetTickCount() - start >= playerWaitMs)
            ExitProcess(1);
        Sleep(playerRetryMs);
    }
}

LRESULT takeHandedOverFiles(HWND window, const COPYDATASTRUCT *copy)
{
    int queued = 0;
    if (readHandOver(copy, queueHandedOverFile, &queued) < 0)
        return FALSE;
    if (queued)
        invalidateWholeWindow(window);
    return TRUE;
}
