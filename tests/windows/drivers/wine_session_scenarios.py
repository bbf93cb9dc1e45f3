"""End-to-end scenarios of the Windows program's session under Wine: the
session's end (Wine's wineboot ends it as a log-off does), a second start
handing its files to the running player, files named on the command line."""

import os
import time

import harness
from program_scenarios import TITLE_BAND, band, greenish
from wine_scenarios import WineScenario
from wine_session import wait_until

SETTINGS = "[CONFIG]\r\nGraphicEffect=2\r\nSoundDev=0\r\n"
SAVED_SETTINGS = b"[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n"


class WineSessionScenario(WineScenario):
    def music_file(self, name, mark):
        """A file known by its content's mark alone."""
        path = os.path.join(self.launcher.music_folder(), name)
        with open(path, "wb") as handle:
            handle.write(mark)
        return path

    def mp3(self, name):
        return self.music_file(name, b"ID3\x03" + bytes(60))

    def midi(self, name):
        path = os.path.join(self.launcher.music_folder(), name)
        harness.write_midi(path, [(69, 1.0)])
        return path

    def lines(self, *host_paths):
        return b"".join(self.launcher.windows_path(p).encode("cp932") + b"\r\n"
                        for p in host_paths)

    def start_with(self, *host_paths):
        program = self.launcher.start(self.display, None,
                                      [self.launcher.windows_path(p) for p in host_paths])
        self.addCleanup(program.stop)
        return program

    def wait_title(self, program):
        shown = wait_until(lambda: band(program.screenshot(), TITLE_BAND).count(greenish) > 50,
                           30, 0.3)
        self.assertTrue(shown, "no title was shown\n" + program.output())

    def playlist(self):
        path = self.launcher.playlist_path
        return self.launcher.read_bytes(path) if os.path.exists(path) else None


class WineSessionEnd(WineSessionScenario):
    def test_the_end_of_the_session_saves_the_queue_and_the_settings(self):
        mp3 = self.mp3("[Band] Named.mp3")
        self.launcher.write_settings(SETTINGS)
        program = self.start_with(mp3)
        program.wait_main_window(timeout=60)
        self.wait_title(program)
        self.assertIsNone(self.playlist())

        ended = self.launcher.session.run("wineboot", "--end-session",
                                          env=dict(os.environ, **self.display.environment()))
        self.assertEqual(ended.returncode, 0, ended.stderr)
        self.assertTrue(wait_until(lambda: self.playlist() is not None, 20, 0.3),
                        "nothing was saved\n" + program.output())
        self.assertEqual(self.playlist(), self.lines(mp3))
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path), SAVED_SETTINGS)
        lives_on = wait_until(lambda: not program.alive(), 10, 0.3) is False
        print("the program %s after the session's end" % ("lives on" if lives_on else "ended"))
        # Where the process lives on, its own shutdown at exit changes nothing.
        if lives_on:
            self.quit(program)
            self.assertEqual(self.playlist(), self.lines(mp3))


class WineOnePlayer(WineSessionScenario):
    def test_a_second_start_hands_its_files_to_the_player(self):
        first_file = self.mp3("[Band] First.mp3")
        second_file = self.midi("[作曲者] 二番.mid")
        self.launcher.write_settings(SETTINGS)
        first = self.start_with(first_file)
        first.wait_main_window(timeout=60)
        self.wait_title(first)

        os.unlink(self.launcher.settings_path)
        second = self.start_with(second_file)
        code = second.wait_exit(60)
        self.assertEqual(code, 0, "the second start ended\n" + second.output())
        self.assertFalse(os.path.exists(self.launcher.settings_path),
                         "the second start left the settings alone")
        self.assertIsNone(self.playlist(), "and the queue's file")
        self.assertTrue(first.alive())
        time.sleep(1.0)

        self.quit(first)
        self.assertEqual(self.playlist(), self.lines(first_file, second_file))
