// Start-up and shutdown of the front panel: the settings file next to the
// executable with its first-run question, the play queue's file in the
// working folder, the paint resources, the volumes and the menu.
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "app/front_panel.h"
#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "tests/app/support/program_harness.h"

namespace {

using hp::apptest::ProgramHarness;
using hp::apptest::queuedPaths;

const std::string welcomeQuestion = "画像効果をONにしますか？ 画像効果にはCPU処理を多く使います";
const std::string welcomeCaption = "Hollyphoneへようこそ！";
const std::string infoSection = "[INFO]\r\nMessage1=Hollyphone 設定ファイル\r\nIniver=1.00\r\n";

std::string configSection(const std::string &effect, const std::string &device)
{
    return "[CONFIG]\r\nGraphicEffect=" + effect + "\r\nSoundDev=" + device + "\r\n";
}

bool allZero(const char *bytes, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0)
            return false;
    }
    return true;
}

// The check marks of the mixer submenu, as the indexes of checked items.
std::vector<int> checkedMixerItems()
{
    std::vector<int> checked;
    const auto menu = hp::apptest::readMenu(popupMenu);
    if (menu.size() < 2)
        return {-100};
    for (size_t i = 0; i < menu[1].submenu.size(); ++i) {
        if (menu[1].submenu[i].checked)
            checked.push_back(static_cast<int>(i));
    }
    return checked;
}

TEST(StartUp, FirstRunAsksTheQuestionWithoutOwnerAndWritesTheAnswer)
{
    struct Case {
        int answer;
        const char *written;
        int effect;
    };
    for (const Case &c : {Case{IDYES, "1", 1}, Case{IDNO, "0", 0}}) {
        SCOPED_TRACE(c.answer);
        ProgramHarness program;
        hp::testing::messageBoxRecorder().setAnswer(c.answer);
        program.startPanel();

        const auto &boxes = hp::testing::messageBoxRecorder().calls();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(boxes[0].text, welcomeQuestion);
        EXPECT_EQ(boxes[0].caption, welcomeCaption);
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO));
        EXPECT_EQ(program.settingsText(), infoSection + configSection(c.written, "0"));
        EXPECT_EQ(frontPanel.graphicEffect, c.effect);
        EXPECT_EQ(frontPanel.mixerDevice, 0);
        // The settings file lives next to the executable, not in the
        // working folder.
        EXPECT_EQ(program.workFolder().read("Hollyphone.ini"), "<missing>");
        EXPECT_EQ(std::string(frontPanel.iniPath),
                  ProgramHarness::windowsPath(program.programFolder().pathOf("Hollyphone.ini")));
    }
}

TEST(StartUp, FieldsQueueVolumesAndResourcesAfterConstruction)
{
    ProgramHarness program;
    program.writeSettings(infoSection + configSection("1", "0"));
    const std::string first = program.writeMp3("[Singer] First.mp3");
    const std::string second = program.writeMidi("[Composer] Second.mid");
    program.writePlaylist(first + "\r\n" + program.workFolder().pathOf("missing.mp3") + "\r\n" +
                          second + "\r\n");
    program.addMixerDevice("Scripted", 1000, 2000, 3000);
    const hp::apptest::LiveResources before = hp::apptest::liveResources();

    program.startPanel();

    EXPECT_TRUE(hp::testing::messageBoxRecorder().calls().empty());
    EXPECT_EQ(frontPanel.currentIndex, 0);
    EXPECT_EQ(frontPanel.frameCount, 0u);
    EXPECT_EQ(frontPanel.elapsedSeconds, 0);
    EXPECT_EQ(frontPanel.isPlaying, 0);
    EXPECT_EQ(frontPanel.trackSeconds, 30000);
    EXPECT_EQ(frontPanel.marqueeOn, 1);
    EXPECT_EQ(frontPanel.graphicEffect, 1);
    EXPECT_TRUE(allZero(frontPanel.titleText, sizeof frontPanel.titleText));
    EXPECT_TRUE(allZero(frontPanel.statusText, sizeof frontPanel.statusText));
    EXPECT_EQ(frontPanel.waveVolume, 1000);
    EXPECT_EQ(frontPanel.midiVolume, 2000);
    EXPECT_EQ(frontPanel.cdVolume, 3000);

    EXPECT_EQ(queuedPaths(), (std::vector<std::string>{first, second}));
    EXPECT_EQ(std::string(mediaCatalog.lists[playQueueList].name), "再生リスト");

    const auto &mci = hp::testing::recordingMci().calls();
    ASSERT_FALSE(mci.empty());
    EXPECT_EQ(mci[0].command, static_cast<UINT>(MCI_OPEN));
    EXPECT_EQ(mci[0].deviceType, "waveaudio");

    // The font, six brushes and the menu with its four submenus.
    const hp::apptest::LiveResources after = hp::apptest::liveResources();
    EXPECT_EQ(after.gdiObjects, before.gdiObjects + 7);
    EXPECT_EQ(after.userObjects, before.userObjects + 5);
    EXPECT_TRUE(IsMenu(popupMenu));

    // Shutdown deletes the seven paint objects again.
    program.stopPanel();
    EXPECT_EQ(hp::apptest::liveResources().gdiObjects, before.gdiObjects);
}

TEST(StartUp, ExistingSettingsAreReadWithoutAQuestionAndWrittenBackAtShutdown)
{
    struct Case {
        const char *name;
        std::string settings;
        int effect;
        int device;
        int waveVolume;
        std::vector<int> checkedMixer;
        std::string afterShutdown;
    };
    const Case cases[] = {
        {"any non-zero effect is on", infoSection + configSection("2", "0"), 1, 0, 1111, {0},
         infoSection + configSection("1", "0")},
        {"no CONFIG section", infoSection, 0, 0, 1111, {0},
         infoSection + configSection("0", "0")},
        {"the second mixer device", configSection("0", "1"), 0, 1, 2222, {1},
         configSection("0", "1")},
        {"a negative device", configSection("1", "-3"), 1, -3, 0, {},
         configSection("1", "-3")},
        {"a device past the last", configSection("0", "7"), 0, 7, 0, {},
         configSection("0", "7")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ProgramHarness program;
        program.addMixerDevice("First", 1111, 1, 1);
        program.addMixerDevice("Second", 2222, 2, 2);
        program.writeSettings(c.settings);
        program.startPanel();

        EXPECT_TRUE(hp::testing::messageBoxRecorder().calls().empty());
        EXPECT_EQ(frontPanel.graphicEffect, c.effect);
        EXPECT_EQ(frontPanel.mixerDevice, c.device);
        EXPECT_EQ(frontPanel.waveVolume, c.waveVolume);
        EXPECT_EQ(checkedMixerItems(), c.checkedMixer);
        program.stopPanel();
        EXPECT_EQ(program.settingsText(), c.afterShutdown);
    }
}

// The question comes back at every start, and each answer holds for its
// session.
TEST(StartUp, ASettingsFileThatCannotBeWrittenAsksAtEveryStartAndKeepsTheAnswer)
{
    ProgramHarness program;
    hp::testing::setModulePath(program.programFolder().pathOf("no such folder/hollyphone.exe"));
    int start = 0;
    for (int answer : {IDYES, IDNO, IDYES}) {
        hp::testing::messageBoxRecorder().setAnswer(answer);
        program.startPanel();
        EXPECT_EQ(hp::testing::messageBoxRecorder().calls().size(), static_cast<size_t>(++start));
        EXPECT_EQ(frontPanel.graphicEffect, answer == IDYES ? 1 : 0);
        EXPECT_EQ(frontPanel.mixerDevice, 0);
        program.stopPanel();
    }
    EXPECT_EQ(program.programFolder().names(), std::vector<std::string>{});
}

TEST(Shutdown, SavesTheQueueWithoutCdTracksAndLeavesInfoAlone)
{
    ProgramHarness program;
    const std::string oddInfo = "[INFO]\r\nMessage1=changed by hand\r\n";
    program.writeSettings(oddInfo + configSection("0", "0"));
    const std::string a = program.writeMp3("[A] Alpha.mp3");
    const std::string b = program.writeMidi("Beta.mid");
    program.writePlaylist(a + "\r\n" + b + "\r\n" + a);
    int drive = hp::testing::scriptedDrives().addDrive("cd0");
    hp::testing::scriptedDrives().insertAudioDisc(drive, {60, 60, 60});
    program.startPanel();

    // A CD track between the first two files.
    const uint32_t before = mediaCatalog.entryCount;
    addCdTracks();
    ASSERT_EQ(mediaCatalog.entryCount, before + 3);
    mediaCatalog.insertIntoList(playQueueList, 1, mediaCatalog.entries[before + 2].id, 0);
    ASSERT_EQ(mediaCatalog.listCount(playQueueList), 4);
    frontPanel.mixerDevice = 12;

    program.stopPanel();
    EXPECT_EQ(program.playlistText(), a + "\r\n" + b + "\r\n" + a + "\r\n");
    EXPECT_EQ(program.settingsText(), oddInfo + configSection("0", "12"));
}

TEST(Shutdown, ASecondStartTakesTheDeviceAndEffectTheFirstRunLeft)
{
    ProgramHarness program;
    program.addMixerDevice("First", 100, 100, 100);
    program.addMixerDevice("Second", 200, 300, 400);
    hp::testing::messageBoxRecorder().setAnswer(IDYES);
    program.commandAt(1000, commandMixerFirst + 1);
    program.commandAt(2000, commandEffectOff);
    program.quitAt(3000);
    EXPECT_EQ(program.runProgram(), 0);
    program.stopPanel();
    EXPECT_EQ(program.settingsText(), infoSection + configSection("0", "1"));

    program.startPanel();
    EXPECT_EQ(hp::testing::messageBoxRecorder().calls().size(), 1u) << "asked on the first run only";
    EXPECT_EQ(frontPanel.mixerDevice, 1);
    EXPECT_EQ(frontPanel.graphicEffect, 0);
    EXPECT_EQ(frontPanel.waveVolume, 200);
    EXPECT_EQ(frontPanel.midiVolume, 300);
    EXPECT_EQ(frontPanel.cdVolume, 400);
}

}  // namespace
