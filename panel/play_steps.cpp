#include "panel/play_steps.h"

#include "catalog/media_catalog.h"
#include "panel/window_identifiers.h"
#include "sound/sound_device.h"

bool startCurrentEntry(Panel &panel, HWND window)
{
    DWORD entryId = mediaCatalog.listItem(playQueueList, panel.currentIndex);
    if (!mediaCatalog.playAsCurrent(entryId))
        return false;
    panel.elapsedSeconds = 0;
    SetTimer(window, playClockTimer, playClockPeriodMs, nullptr);
    panel.isPlaying = 1;
    soundDevice.getLength(nullptr, nullptr, 0, 1, &panel.trackSeconds);
    return true;
}

void stopPlaying(Panel &panel, HWND window, HWND messageOwner)
{
    soundDevice.stop(messageOwner);
    KillTimer(window, playClockTimer);
    panel.elapsedSeconds = 0;
    panel.isPlaying = 0;
}

void restartAtCurrentEntry(Panel &panel, HWND window)
{
    if (panel.isPlaying != 1)
        return;
    stopPlaying(panel, window, nullptr);
    startCurrentEntry(panel, window);
}

void stopByUser(Panel &panel, HWND window)
{
    if (panel.isPlaying != 1)
        return;
    stopPlaying(panel, window, window);
    invalidateWholeWindow(window);
}

void previousTrack(Panel &panel, HWND window)
{
    if (panel.currentIndex > 0) {
        --panel.currentIndex;
    } else {
        int queued = mediaCatalog.listCount(playQueueList);
        panel.currentIndex = queued > 0 ? queued - 1 : 0;
    }
    restartAtCurrentEntry(panel, window);
    invalidateWholeWindow(window);
}
