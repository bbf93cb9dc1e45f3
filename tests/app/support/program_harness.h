// The whole program on the headless display, for one test: folders of its
// own (the executable's, where the settings file lives, and a working folder
// holding the skin and the playlist), twins scripted before start-up, the
// front panel constructed in place and destroyed when the test says so, and
// WinMain run on the virtual clock with the user's actions scheduled on it.
//
// Each test case runs in its own process, so the window class, the catalogue
// and the twins start clean; one harness per test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/testing/headless_display.h"
#include "platform/testing/twins.h"
#include "platform/win32.h"
#include "tests/support/scratch_folder.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

namespace hp::apptest {

// Points inside the skin's buttons (client coordinates).
constexpr POINT stopButtonPoint{462, 345};
constexpr POINT playButtonPoint{540, 430};
constexpr POINT nextButtonPoint{498, 313};
constexpr POINT previousButtonPoint{448, 385};
constexpr POINT quitButtonPoint{593, 325};
constexpr POINT emptySkinPoint{100, 400};

// The volume controls of one scripted mixer device.
struct MixerLines {
    hp::testing::ScriptedControl *wave = nullptr;
    hp::testing::ScriptedControl *midi = nullptr;
    hp::testing::ScriptedControl *cd = nullptr;
};

// What the process holds, for leak checks.
struct LiveResources {
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;  // windows and menus
    DWORD kernelHandles = 0;
    size_t mciDevices = 0;
    size_t drops = 0;
    bool operator==(const LiveResources &other) const;
};
LiveResources liveResources();
std::string describe(const LiveResources &resources);

class ProgramHarness {
public:
    ProgramHarness();
    ~ProgramHarness();
    ProgramHarness(const ProgramHarness &) = delete;
    ProgramHarness &operator=(const ProgramHarness &) = delete;

    // ----- files -----
    const hp::test::ScratchFolder &programFolder() const { return programFolder_; }
    const hp::test::ScratchFolder &workFolder() const { return workFolder_; }
    std::string settingsText() const { return programFolder_.read("Hollyphone.ini"); }
    void writeSettings(const std::string &bytes) const;
    std::string playlistText() const { return workFolder_.read("default.m3u"); }
    void writePlaylist(const std::string &bytes) const;
    // Files in the working folder's "music" folder, by their Win32 paths.
    std::string writeMp3(const std::string &name) const;   // starts with an ID3 tag
    std::string writeMidi(const std::string &name) const;  // a Standard MIDI File
    std::string writeOther(const std::string &name) const; // text no handler knows
    static std::string windowsPath(const std::string &hostPath);

    // ----- machine -----
    // A mixer device with a playback destination holding Wave, SW Synth and
    // CD Audio sources, each with a stereo volume control at these values.
    MixerLines addMixerDevice(const std::string &name, LONG wave, LONG midi, LONG cd) const;
    // Lengths the MCI twin reports for the next files played.
    static void setTrackLengthMilliseconds(DWORD milliseconds);

    // ----- the program -----
    void startPanel();  // the start-up sequence
    void stopPanel();   // the shutdown sequence
    bool panelRunning() const { return panelRunning_; }
    // Constructs the front panel if need be, then runs WinMain until the
    // window is closed; returns WinMain's result. Schedule the actions
    // first, a quit among them.
    int runProgram();

    hp::testing::HeadlessDisplay &display() const;
    // Schedules an action `delayMilliseconds` of virtual time from now.
    void at(uint64_t delayMilliseconds, std::function<void()> action) const;
    // The user: a left click on the main window's client area.
    void clickAt(uint64_t delayMilliseconds, POINT client) const;
    // A command as the menu or the buttons send it.
    void commandAt(uint64_t delayMilliseconds, int command) const;
    void quitAt(uint64_t delayMilliseconds) const;

private:
    hp::test::ScratchFolder programFolder_;
    hp::test::ScratchFolder workFolder_;
    hp::test::CurrentDirectory workingDirectory_;
    bool panelRunning_ = false;
};

// A menu as the user would read it.
struct MenuItemView {
    std::string text;  // CP932
    UINT id = 0;
    bool checked = false;
    std::vector<MenuItemView> submenu;
};
std::vector<MenuItemView> readMenu(HMENU menu);

// The Win32 path of a queue position's entry ("" when there is none).
std::string queuedPath(int position);
// The queue as paths, in order.
std::vector<std::string> queuedPaths();

}  // namespace hp::apptest
