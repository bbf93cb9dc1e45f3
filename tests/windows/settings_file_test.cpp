// The settings file and the play queue's file through the program's
// start-up and shutdown sequences on the real platform: its private-profile
// calls, its message box, its files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/front_panel.h"
#include "catalog/media_catalog.h"
#include "platform/win32.h"
#include "tests/windows/support/front_panel_run.h"
#include "tests/windows/support/message_box_answerer.h"
#include "tests/windows/support/platform_check.h"

namespace {

using hp::wintest::FrontPanelRun;
using hp::wintest::MessageBoxAnswerer;
using hp::wintest::SeenMessageBox;

const std::string firstRunInfo = "[INFO]\r\nMessage1=Hollyphone 設定ファイル\r\nIniver=1.00\r\n";

// The texts compare as code page 932 bytes: the process must run with the
// Japanese system code page, as the program's users do.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetACP(), hp::wintest::japaneseCodePage) << hp::wintest::japaneseLocaleHint;
    }
};

TEST_F(SettingsFile, FirstRunAsksWithoutAnOwnerAndWritesTheAnswer)
{
    struct Case {
        int button;
        const char *written;
        int graphicEffect;
    };
    for (const Case &c : {Case{IDYES, "1", 1}, Case{IDNO, "0", 0}}) {
        SCOPED_TRACE(c.button == IDYES ? "answered Yes" : "answered No");
        FrontPanelRun run;
        MessageBoxAnswerer answerer(c.button);
        run.startUp();
        const SeenMessageBox &box = answerer.seen();
        ASSERT_TRUE(box.shown);
        EXPECT_EQ(box.caption, "Hollyphoneへようこそ！");
        EXPECT_EQ(box.text, "画像効果をONにしますか？ 画像効果にはCPU処理を多く使います");
        EXPECT_EQ(box.owner, nullptr);
        std::vector<int> buttons = box.buttons;
        std::sort(buttons.begin(), buttons.end());
        EXPECT_EQ(buttons, (std::vector<int>{IDYES, IDNO}));

        EXPECT_EQ(frontPanel.graphicEffect, c.graphicEffect);
        EXPECT_EQ(frontPanel.mixerDevice, 0);
        const std::string expected = firstRunInfo + "[CONFIG]\r\nGraphicEffect=" + c.written +
                                     "\r\nSoundDev=0\r\n";
        EXPECT_EQ(run.settings(), expected);
        run.shutDown();
        EXPECT_EQ(run.settings(), expected);
    }
}

TEST_F(SettingsFile, ExistingFileIsReadWithoutAQuestionAndWrittenBackAtShutdown)
{
    struct Case {
        const char *name;
        std::string before;
        int graphicEffect;
        int mixerDevice;
        std::string after;
    };
    const Case cases[] = {
        {"effect 2 reads as on", firstRunInfo + "[CONFIG]\r\nGraphicEffect=2\r\nSoundDev=1\r\n", 1,
         1, firstRunInfo + "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=1\r\n"},
        {"a device no mixer has", "[CONFIG]\r\nSoundDev=-3\r\nGraphicEffect=0\r\n", 0, -3,
         "[CONFIG]\r\nSoundDev=-3\r\nGraphicEffect=0\r\n"},
        {"no CONFIG section", "[INFO]\r\nIniver=1.00\r\n", 0, 0,
         "[INFO]\r\nIniver=1.00\r\n[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"},
        {"an empty file", "", 0, 0, "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FrontPanelRun run;
        run.writeSettings(c.before);
        MessageBoxAnswerer answerer(IDYES);
        run.startUp();
        EXPECT_FALSE(answerer.seen().shown);
        EXPECT_EQ(frontPanel.graphicEffect, c.graphicEffect);
        EXPECT_EQ(frontPanel.mixerDevice, c.mixerDevice);
        if (c.mixerDevice < 0) {
            EXPECT_EQ(frontPanel.waveVolume, 0);
            EXPECT_EQ(frontPanel.midiVolume, 0);
            EXPECT_EQ(frontPanel.cdVolume, 0);
        }
        EXPECT_EQ(run.settings(), c.before) << "start-up writes nothing";
        run.shutDown();
        EXPECT_EQ(run.settings(), c.after);
    }
}

TEST_F(SettingsFile, NextStartTakesWhatTheLastRunLeft)
{
    FrontPanelRun run;
    run.writeSettings(firstRunInfo + "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n");
    run.startUp();
    ASSERT_EQ(frontPanel.graphicEffect, 1);
    frontPanel.graphicEffect = 0;
    frontPanel.mixerDevice = 2;
    run.shutDown();
    run.startUp();
    EXPECT_EQ(frontPanel.graphicEffect, 0);
    EXPECT_EQ(frontPanel.mixerDevice, 2);
    run.shutDown();
    EXPECT_EQ(run.settings(), firstRunInfo + "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=2\r\n");
}

// The settings file lives next to the executable; the playlist file, read
// at start-up and rewritten at shutdown, in the working folder.
TEST_F(SettingsFile, PlayQueueComesFromAndGoesBackToTheWorkingFolder)
{
    FrontPanelRun run;
    run.writeSettings("[CONFIG]\r\nGraphicEffect=0\r\n");
    const hp::test::ScratchFolder &folder = run.workFolder();
    std::string song = folder.write("[歌手] 曲ソ.mp3", "ID3\x03" + std::string(60, '\0'));
    std::string piece = folder.write("piece.mid", "MThd" + std::string(60, '\0'));
    std::string text = folder.write("notes.txt", "plain text");
    folder.write("default.m3u",
                 song + "\r\n" + text + "\r\n" + folder.pathOf("gone.mp3") + "\r\n" + piece + "\r\n");

    run.startUp();
    ASSERT_EQ(mediaCatalog.listCount(0), 2);
    MediaEntry *first = mediaCatalog.findEntry(mediaCatalog.listItem(0, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->values[0], song.c_str());
    EXPECT_STREQ(first->values[1], "歌手\n");
    EXPECT_STREQ(first->values[2], "曲ソ");
    run.shutDown();

    EXPECT_EQ(folder.read("default.m3u"), song + "\r\n" + piece + "\r\n");
    std::vector<std::string> names = folder.names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "Hollyphone.ini"), 0);
    EXPECT_EQ(run.settings(), "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n");
}

}  // namespace
