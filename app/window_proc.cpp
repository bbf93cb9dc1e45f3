// The window procedure: every message goes first to the three pointer
// handlers, then the procedure acts on it with the flat steps below.
#include <string.h>

#include "app/commands.h"
#include "app/front_panel.h"
#include "app/one_player.h"
#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "panel/hot_spots.h"
#include "panel/play_steps.h"
#include "sound/path_helpers.h"
#include "sound/shift_jis.h"
#include "sound/sound_device.h"

namespace {

constexpr const char *noTitleText = "タイトル情報なし";
constexpr int titleValue = 2;
constexpr int artistValue = 1;
constexpr int pathValue = 0;

// Copies at most capacity - 1 bytes of text, never ending on the first
// byte of a double-byte character.
void copyWholeCharacters(char *destination, const char *text, int capacity)
{
    int end = 0;
    for (int i = 0; text[i] && i < capacity - 1;) {
        int width = (isLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1]) ? 2 : 1;
        if (i + width > capacity - 1)
            break;
        i += width;
        end = i;
    }
    memcpy(destination, text, end);
    destination[end] = '\0';
}

// ---------------------------------------------------------------- paint ----

// The title line shows the current queue entry: "Title／Artist", or the
// file name when the entry has no title. Without an entry it keeps its text.
void composeTitleLine(FrontPanel &panel)
{
    MediaEntry *entry = mediaCatalog.findEntry(mediaCatalog.listItem(playQueueList, panel.currentIndex));
    if (!entry)
        return;
    // Room for wsprintfA's longest output; the line keeps what fits.
    char line[1024];
    if (strcmp(entry->values[titleValue], noTitleText) != 0)
        wsprintfA(line, "%s／%s", entry->values[titleValue], entry->values[artistValue]);
    else if (!fileNamePart(nullptr, entry->values[pathValue], line, sizeof line))
        line[0] = '\0';
    memset(panel.titleText, 0, sizeof panel.titleText);
    copyWholeCharacters(panel.titleText, line, FrontPanel::textCapacity);
}

void paintFrontPanel(FrontPanel &panel, HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    composeTitleLine(panel);
    panel.drawScene(dc);
    panel.drawTreeLights(dc, panel.graphicEffect);
    panel.drawGauges(dc);
    panel.drawStatusLine(dc);
    panel.drawTitleLine(dc);
    panel.drawProgressBar(dc);
    EndPaint(window, &paint);
}

// --------------------------------------------------------------- timers ----

void animationTick(FrontPanel &panel, HWND window)
{
    HDC dc = GetDC(window);
    panel.drawScene(dc);
    panel.drawTreeLights(dc, panel.graphicEffect);
    panel.drawTitleLine(dc);
    ++panel.frameCount;
    ReleaseDC(window, dc);
}

void playClockTick(FrontPanel &panel, HWND window)
{
    HDC dc = GetDC(window);
    if (panel.isPlaying == 1) {
        ++panel.elapsedSeconds;
        char clock[FrontPanel::textCapacity];
        wsprintfA(clock, "[Play] %02d:%02d", panel.elapsedSeconds / 60, panel.elapsedSeconds % 60);
        setStatusText(panel, clock);
        panel.drawStatusLine(dc);
        if (panel.isTrackFinished(panel.elapsedSeconds) == 1)
            PostMessageA(window, WM_COMMAND, commandNextTrack, 0);
    }
    panel.drawProgressBar(dc);
    ReleaseDC(window, dc);
}

// ------------------------------------------------------------- commands ----

// Moves to the next queue item, wrapping to the first; while playing, the
// current track stops and the next one starts.
void nextTrack(FrontPanel &panel, HWND window)
{
    int queued = mediaCatalog.listCount(playQueueList);
    if (panel.currentIndex < queued - 1)
        ++panel.currentIndex;
    else
        panel.currentIndex = 0;
    restartAtCurrentEntry(panel, window);
    invalidateWholeWindow(window);
}

void switchEffectOff(FrontPanel &panel, HWND window)
{
    KillTimer(window, animationTimer);
    panel.graphicEffect = 0;
    panel.marqueeOn = 0;
    panel.buildMenu(&popupMenu);
    invalidateWholeWindow(window);  // the scene is painted at rest
}

void switchEffectOn(FrontPanel &panel, HWND window)
{
    SetTimer(window, animationTimer, animationPeriodMs, nullptr);
    panel.graphicEffect = 1;
    panel.marqueeOn = 1;
    panel.buildMenu(&popupMenu);
}

// Appends every entry that a catalogue operation added after `firstNew`.
void queueEntriesFrom(uint32_t firstNew)
{
    for (uint32_t i = firstNew; i < mediaCatalog.entryCount; ++i)
        mediaCatalog.insertIntoList(playQueueList, appendPosition, mediaCatalog.entries[i].id,
                                    insertBefore);
}

void addAudioCds(HWND window)
{
    uint32_t before = mediaCatalog.entryCount;
    addCdTracks();
    queueEntriesFrom(before);
    invalidateWholeWindow(window);
}

void moveTray(int letterCode, int (SoundDevice::*operation)(const char *, int))
{
    char drive[8];
    wsprintfA(drive, "%c:\\", letterCode);
    (soundDevice.*operation)(drive, 0);
}

void useMixerDevice(FrontPanel &panel, HWND window, int device)
{
    panel.mixerDevice = device;
    readVolumes(panel);
    invalidateWholeWindow(window);
    panel.buildMenu(&popupMenu);
}

void carryOutCommand(FrontPanel &panel, HWND window, int command)
{
    switch (command) {
    case commandNextTrack:
        nextTrack(panel, window);
        break;
    case commandQuit:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case commandEffectOff:
        switchEffectOff(panel, window);
        break;
    case commandEffectOn:
        switchEffectOn(panel, window);
        break;
    case commandAddAudioCds:
        addAudioCds(window);
        break;
    case commandAbout:
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(aboutDialogResource), window,
                        aboutDialogProc, 0);
        break;
    default:
        break;
    }
    if (command >= commandOpenTrayFirst && command <= commandOpenTrayLast)
        moveTray(command - openTrayBase, &SoundDevice::openTray);
    if (command >= commandCloseTrayFirst && command <= commandCloseTrayLast)
        moveTray(command - closeTrayBase, &SoundDevice::closeTray);
    if (command >= commandMixerFirst && command <= commandMixerLast)
        useMixerDevice(panel, window, command - commandMixerFirst);
}

// The media commands of keyboards and the desktop's media controls
// (WM_APPCOMMAND) take the buttons' steps. The player has no pause: a
// track always starts from its beginning, so pause is the stop button, play
// starts the current entry only while stopped (a second play would restart
// it), and play/pause plays while stopped and stops while playing. Returns
// whether the command is one of these.
bool carryOutMediaCommand(FrontPanel &panel, HWND window, short command)
{
    switch (command) {
    case APPCOMMAND_MEDIA_PLAY:
        if (panel.isPlaying != 1)
            startCurrentEntry(panel, window);
        return true;
    case APPCOMMAND_MEDIA_PAUSE:
    case APPCOMMAND_MEDIA_STOP:
        stopByUser(panel, window);
        return true;
    case APPCOMMAND_MEDIA_PLAY_PAUSE:
        if (panel.isPlaying == 1)
            stopByUser(panel, window);
        else
            startCurrentEntry(panel, window);
        return true;
    case APPCOMMAND_MEDIA_NEXTTRACK:
        nextTrack(panel, window);
        return true;
    case APPCOMMAND_MEDIA_PREVIOUSTRACK:
        previousTrack(panel, window);
        return true;
    default:
        return false;
    }
}

// ------------------------------------------------------- other messages ----

void startWindow(FrontPanel &panel, HWND window)
{
    if (panel.graphicEffect == 1) {
        SetTimer(window, animationTimer, animationPeriodMs, nullptr);
        panel.marqueeOn = 1;
    } else {
        panel.marqueeOn = 0;
    }
}

void showPopupMenu(HWND window)
{
    GetCursorPos(&pointerPos);
    TrackPopupMenu(popupMenu, 0, pointerPos.x, pointerPos.y, 0, window, nullptr);
}

// The session ends under the program (log-off, or on Linux a signal or the
// display gone): the platform may end the process as soon as this returns,
// without the front panel's destructor, so the sound stops and what the
// shutdown keeps is saved now. The paint resources stay: the windows live
// until the process ends, and the destructor deletes them if it runs.
void endSession(FrontPanel &panel)
{
    soundDevice.stop(nullptr);
    soundDevice.close();
    saveQueueAndSettings(panel);
}

// Each dropped file joins the queue as queueFile takes it. The drop is
// released afterwards.
void takeDroppedFiles(HWND window, HDROP drop)
{
    dropHandle = drop;
    dropIndex = 0;
    char path[MAX_PATH];
    while (DragQueryFileA(dropHandle, static_cast<UINT>(dropIndex), path, MAX_PATH)) {
        queueFile(path);
        ++dropIndex;
    }
    DragFinish(dropHandle);
    invalidateWholeWindow(window);
}

}  // namespace

int queueFile(const char *path)
{
    return addFileToList(mediaCatalog, playQueueList, appendPosition, path);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    frontPanel.handleButtons(window, message, wParam, lParam);
    frontPanel.handleGaugeClick(window, message, wParam, lParam);
    frontPanel.handleSeekClick(window, message, wParam, lParam);

    switch (message) {
    case WM_CREATE:
        startWindow(frontPanel, window);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        paintFrontPanel(frontPanel, window);
        break;
    case WM_COMMAND:
        carryOutCommand(frontPanel, window, LOWORD(wParam));
        break;
    case WM_TIMER:
        if (wParam == animationTimer)
            animationTick(frontPanel, window);
        else if (wParam == playClockTimer)
            playClockTick(frontPanel, window);
        break;
    case WM_LBUTTONDOWN:
        // A press anywhere, buttons included, moves the window as if its
        // caption had been grabbed.
        PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        break;
    case WM_RBUTTONDOWN:
        showPopupMenu(window);
        break;
    case WM_DROPFILES:
        takeDroppedFiles(window, reinterpret_cast<HDROP>(wParam));
        break;
    case WM_ENDSESSION:
        if (wParam)
            endSession(frontPanel);
        break;
    case WM_APPCOMMAND:
        if (carryOutMediaCommand(frontPanel, window, GET_APPCOMMAND_LPARAM(lParam)))
            return TRUE;
        break;
    case WM_COPYDATA:
        // Files a second start handed over; the answer goes back to it.
        return takeHandedOverFiles(window, reinterpret_cast<const COPYDATASTRUCT *>(lParam));
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
