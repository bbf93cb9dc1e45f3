// The start-up and shutdown sequences of the program: the front panel's
// constructor and destructor. The global instance is constructed during
// static initialisation, after the sound device and the catalogue; its
// destructor runs at process exit, after the message loop has ended.
#include "app/front_panel.h"

#include <string.h>

#include "app/commands.h"
#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "catalog/playlist.h"
#include "sound/path_helpers.h"
#include "sound/sound_device.h"

namespace {

constexpr const char *settingsFileName = "Hollyphone.ini";
constexpr const char *playQueueName = "再生リスト";

constexpr const char *infoSection = "INFO";
constexpr const char *configSection = "CONFIG";
constexpr const char *graphicEffectKey = "GraphicEffect";
constexpr const char *soundDeviceKey = "SoundDev";

constexpr const char *welcomeQuestion =
    "画像効果をONにしますか？ 画像効果にはCPU処理を多く使います";
constexpr const char *welcomeCaption = "Hollyphoneへようこそ！";

// The settings file is "Hollyphone.ini" in the executable's folder.
void findSettingsFile(char *iniPath)
{
    GetModuleFileNameA(nullptr, iniPath, FrontPanel::textCapacity);
    directoryPart(nullptr, iniPath, iniPath, FrontPanel::textCapacity);
    // A folder too deep to hold the name as well: the working folder's file
    // rather than a path cut short.
    if (lstrlenA(iniPath) + lstrlenA(settingsFileName) >= FrontPanel::textCapacity)
        iniPath[0] = '\0';
    lstrcatA(iniPath, settingsFileName);
}

bool settingsFileExists(const char *iniPath)
{
    HANDLE file = CreateFileA(iniPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// First run: the welcome question decides the graphic effect. Returns the
// answer (1 for Yes), which holds for this session even when the settings
// file cannot be written.
int32_t writeFirstSettings(const char *iniPath)
{
    WritePrivateProfileStringA(infoSection, "Message1", "Hollyphone 設定ファイル", iniPath);
    WritePrivateProfileStringA(infoSection, "Iniver", "1.00", iniPath);
    int answer = MessageBoxA(nullptr, welcomeQuestion, welcomeCaption, MB_YESNO);
    WritePrivateProfileStringA(configSection, graphicEffectKey, answer == IDYES ? "1" : "0",
                               iniPath);
    WritePrivateProfileStringA(configSection, soundDeviceKey, "0", iniPath);
    return answer == IDYES ? 1 : 0;
}

}  // namespace

// Reads the Wave, CD and MIDI volumes of a mixer device, in that order; a
// line that is not found leaves its value as it was.
void readVolumes(FrontPanel &panel)
{
    soundDevice.getVolume(panel.mixerDevice, &panel.waveVolume, VolumeLine::Wave);
    soundDevice.getVolume(panel.mixerDevice, &panel.cdVolume, VolumeLine::Cd);
    soundDevice.getVolume(panel.mixerDevice, &panel.midiVolume, VolumeLine::Midi);
}

FrontPanel::FrontPanel()
{
    findSettingsFile(iniPath);
    const bool firstRun = !settingsFileExists(iniPath);
    const int32_t welcomeAnswer = firstRun ? writeFirstSettings(iniPath) : 0;
    graphicEffect = GetPrivateProfileIntA(configSection, graphicEffectKey, 0, iniPath) != 0 ? 1 : 0;
    if (firstRun)
        graphicEffect = welcomeAnswer;
    mixerDevice = static_cast<int32_t>(GetPrivateProfileIntA(configSection, soundDeviceKey, 0, iniPath));

    soundDevice.initialize(nullptr);
    registerMediaTypes(&mediaCatalog);
    mediaCatalog.setListName(playQueueList, playQueueName);
    loadPlaylist(playlistPath);

    createPaintResources();

    currentIndex = 0;
    frameCount = 0;
    elapsedSeconds = 0;
    isPlaying = 0;
    trackSeconds = 30000;
    memset(statusText, 0, sizeof statusText);
    memset(titleText, 0, sizeof titleText);
    marqueeOn = 1;

    readVolumes(*this);
    buildMenu(&popupMenu);
}

FrontPanel::~FrontPanel()
{
    deletePaintResources();
    saveQueueAndSettings(*this);
}

void saveQueueAndSettings(FrontPanel &panel)
{
    savePlaylist(playlistPath);
    WritePrivateProfileStringA(configSection, graphicEffectKey,
                               panel.graphicEffect == 1 ? "1" : "0", panel.iniPath);
    char deviceText[16];
    wsprintfA(deviceText, "%d", panel.mixerDevice);
    WritePrivateProfileStringA(configSection, soundDeviceKey, deviceText, panel.iniPath);
}

int FrontPanel::isTrackFinished(int32_t elapsed)
{
    return (elapsed >= trackSeconds + 2 && isPlaying == 1) ? 1 : 0;
}
