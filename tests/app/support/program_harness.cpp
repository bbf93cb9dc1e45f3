#include "tests/app/support/program_harness.h"

#include <cstring>
#include <filesystem>
#include <new>
#include <sstream>

#include "app/commands.h"
#include "app/front_panel.h"
#include "catalog/media_catalog.h"
#include "platform/kernel32/path_model.h"
#include "platform/shell32/drop_table.h"
#include "platform/winmm/mci_device_table.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"

namespace hp::apptest {
namespace {

namespace fs = std::filesystem;

// The skin of the source tree, copied into each working folder.
const char *const skinFolder = HP_SKIN_FOLDER;

}  // namespace

bool LiveResources::operator==(const LiveResources &other) const
{
    return gdiObjects == other.gdiObjects && userObjects == other.userObjects &&
           kernelHandles == other.kernelHandles && mciDevices == other.mciDevices &&
           drops == other.drops;
}

LiveResources liveResources()
{
    LiveResources resources;
    resources.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    resources.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    GetProcessHandleCount(GetCurrentProcess(), &resources.kernelHandles);
    resources.mciDevices = hp::winmm::MciDeviceTable::instance().entries().size();
    resources.drops = hp::shell32::DropTable::instance().liveCount();
    return resources;
}

std::string describe(const LiveResources &resources)
{
    std::ostringstream text;
    text << "gdi " << resources.gdiObjects << ", user " << resources.userObjects << ", handles "
         << resources.kernelHandles << ", mci " << resources.mciDevices << ", drops "
         << resources.drops;
    return text.str();
}

ProgramHarness::ProgramHarness() : workingDirectory_(workFolder_.path())
{
    hp::testing::recordingMci().reset();
    hp::testing::scriptedMixer().reset();
    hp::testing::scriptedDrives().reset();
    hp::testing::messageBoxRecorder().reset();
    hp::testing::setModulePath(programFolder_.pathOf("hollyphone.exe"));
    fs::copy(skinFolder, workFolder_.makeFolder("image"), fs::copy_options::recursive);
    workFolder_.makeFolder("music");
}

ProgramHarness::~ProgramHarness()
{
    if (panelRunning_)
        stopPanel();
    hp::testing::setModulePath("");
}

void ProgramHarness::writeSettings(const std::string &bytes) const
{
    programFolder_.write("Hollyphone.ini", bytes);
}

void ProgramHarness::writePlaylist(const std::string &bytes) const
{
    workFolder_.write("default.m3u", bytes);
}

std::string ProgramHarness::writeMp3(const std::string &name) const
{
    std::string bytes("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
    bytes.append(200, '\0');
    return windowsPath(workFolder_.write("music/" + name, bytes));
}

std::string ProgramHarness::writeMidi(const std::string &name) const
{
    const std::string bytes("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0"
                            "MTrk\x00\x00\x00\x04\x00\xFF\x2F\x00",
                            26);
    return windowsPath(workFolder_.write("music/" + name, bytes));
}

std::string ProgramHarness::writeOther(const std::string &name) const
{
    return windowsPath(workFolder_.write("music/" + name, "no sound in here, only words\r\n"));
}

std::string ProgramHarness::windowsPath(const std::string &hostPath)
{
    return hp::kernel32::windowsPathOf(hostPath);
}

MixerLines ProgramHarness::addMixerDevice(const std::string &name, LONG wave, LONG midi,
                                          LONG cd) const
{
    hp::testing::ScriptedDestination &speakers =
        hp::testing::scriptedMixer().addDevice(name).addDestination(
            "Volume Control", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    auto volume = [&speakers](const char *source, DWORD type, LONG value) {
        return &speakers.addSource(source, type)
                    .addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME)
                    .setBounds(0, 65535)
                    .setValues({value, value});
    };
    MixerLines lines;
    lines.wave = volume("Wave", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, wave);
    lines.midi = volume("SW Synth", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, midi);
    lines.cd = volume("CD Audio", MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, cd);
    return lines;
}

void ProgramHarness::setTrackLengthMilliseconds(DWORD milliseconds)
{
    hp::testing::recordingMci().setStatus(MCI_STATUS_LENGTH, 0, milliseconds);
}

void ProgramHarness::startPanel()
{
    // A start is a new process: the two other globals start afresh too.
    hp::test::rebuild(soundDevice);
    hp::test::rebuild(mediaCatalog);
    // Static storage is zeroed before its constructor runs; the constructor
    // relies on it for the volumes of lines a mixer lacks.
    std::memset(static_cast<void *>(&frontPanel), 0, sizeof(FrontPanel));
    new (&frontPanel) FrontPanel();
    panelRunning_ = true;
}

void ProgramHarness::stopPanel()
{
    panelRunning_ = false;
    frontPanel.~FrontPanel();
}

int ProgramHarness::runProgram()
{
    if (!panelRunning_)
        startPanel();
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
}

hp::testing::HeadlessDisplay &ProgramHarness::display() const
{
    return hp::testing::headlessDisplay();
}

void ProgramHarness::at(uint64_t delayMilliseconds, std::function<void()> action) const
{
    display().schedule(delayMilliseconds, std::move(action));
}

void ProgramHarness::clickAt(uint64_t delayMilliseconds, POINT client) const
{
    at(delayMilliseconds, [this, client] { display().click(mainWindow, client); });
}

void ProgramHarness::commandAt(uint64_t delayMilliseconds, int command) const
{
    at(delayMilliseconds,
       [command] { PostMessageA(mainWindow, WM_COMMAND, static_cast<WPARAM>(command), 0); });
}

void ProgramHarness::quitAt(uint64_t delayMilliseconds) const
{
    clickAt(delayMilliseconds, quitButtonPoint);
}

std::vector<MenuItemView> readMenu(HMENU menu)
{
    std::vector<MenuItemView> items;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[512] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        MenuItemView item;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            item.text = text;
            item.id = info.wID;
            item.checked = (info.fState & MFS_CHECKED) != 0;
            if (info.hSubMenu)
                item.submenu = readMenu(info.hSubMenu);
        }
        items.push_back(item);
    }
    return items;
}

std::string queuedPath(int position)
{
    MediaEntry *entry = mediaCatalog.findEntry(mediaCatalog.listItem(playQueueList, position));
    return entry ? std::string(entry->values[0]) : std::string();
}

std::vector<std::string> queuedPaths()
{
    std::vector<std::string> paths;
    for (int i = 0; i < mediaCatalog.listCount(playQueueList); ++i)
        paths.push_back(queuedPath(i));
    return paths;
}

}  // namespace hp::apptest
