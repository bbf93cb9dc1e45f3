"""End-to-end scenarios of the program in the user's session: the session
ending under it (a signal, the display server gone), one player per
session, and files named on the command line."""

import os
import signal
import subprocess
import time
import urllib.parse

import harness
from harness.sound import rms
from program_scenarios import PLAY, TITLE_BAND, ProgramScenario, band, greenish

# Written back at shutdown as "1": a saved file tells the shutdown ran.
SETTINGS = "[CONFIG]\r\nGraphicEffect=2\r\nSoundDev=0\r\n"
SAVED_SETTINGS = b"[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n"
DRAG_SOURCE = os.environ.get("HOLLYPHONE_E2E_DRAG_SOURCE", "")
EMPTY_SKIN = (150, 420)


class SessionScenario(ProgramScenario):
    def mp3(self, name, seconds=2.0):
        music = self.launcher.music_folder()
        wav = os.path.join(music, "tone.wav")
        harness.write_tone_wav(wav, 440.0, seconds)
        path = os.path.join(music, name)
        encoded = harness.encode_mp3(wav, path)
        os.unlink(wav)
        if not encoded:
            self.skipTest("lame is not installed")
        return path

    def midi(self, name):
        path = os.path.join(self.launcher.music_folder(), name)
        harness.write_midi(path, [(69, 1.0)])
        return path

    def lines(self, *host_paths):
        return b"".join(self.launcher.windows_path(p).encode("cp932") + b"\r\n"
                        for p in host_paths)

    def start_with(self, arguments=(), sound=None):
        program = self.launcher.start(self.display, sound.environment() if sound else None,
                                      arguments)
        self.addCleanup(program.stop)
        return program

    def wait_title(self, program, timeout=10.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if band(program.screenshot(), TITLE_BAND).count(greenish) > 50:
                return
            time.sleep(0.2)
        self.fail("no title was shown\n" + program.output())

    def timed_exit(self, program, what):
        """Waits for the program to end; prints how long it took."""
        started = time.monotonic()
        code = program.wait_exit(10)
        self.assertIsNotNone(code, "the program kept running after " + what)
        print("%s: ended after %.2f s with %d" % (what, time.monotonic() - started, code))
        return code

    def drop(self, program, host_path):
        """Drags a file from a file manager's window onto the player's skin."""
        if not DRAG_SOURCE or not os.access(DRAG_SOURCE, os.X_OK):
            self.skipTest("no drag source (HOLLYPHONE_E2E_DRAG_SOURCE)")
        env = dict(os.environ, **self.display.environment())
        uri = "file://" + urllib.parse.quote(host_path)
        source = subprocess.Popen([DRAG_SOURCE, "600", "100", uri], env=env,
                                  stdout=subprocess.PIPE, text=True)
        self.addCleanup(source.kill)
        self.assertEqual(source.stdout.readline().strip(), "SOURCE_READY")
        time.sleep(0.3)
        target_x, target_y = program.client_point(*EMPTY_SKIN)
        self.display.xdotool("mousemove", 650, 150)
        self.display.xdotool("mousedown", 1)
        for step in range(1, 7):
            x = 650 + (target_x - 650) * step // 6
            y = 150 + (target_y - 150) * step // 6
            self.display.xdotool("mousemove", x + 10, y + 10)
            time.sleep(0.15)
            self.display.xdotool("mousemove", x, y)
            time.sleep(0.15)
        self.display.xdotool("mouseup", 1)
        self.assertEqual(source.stdout.readline().strip(), "DRAG_END")


class SessionEnd(SessionScenario):
    def test_sigterm_after_a_drop_saves_the_drop_and_the_settings(self):
        mp3 = self.mp3("[Band] Dropped.mp3")
        self.launcher.write_settings(SETTINGS)
        program = self.start_with()
        program.wait_main_window()
        self.drop(program, mp3)
        self.wait_title(program)

        program.process.send_signal(signal.SIGTERM)
        code = self.timed_exit(program, "SIGTERM")
        self.assertEqual(code, -signal.SIGTERM, "the process ends by the signal")
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), self.lines(mp3))
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path), SAVED_SETTINGS)

    def test_the_display_server_gone_saves_the_queue(self):
        mp3 = self.mp3("[Band] Queued.mp3")
        self.launcher.write_settings(SETTINGS)
        program = self.start_with([os.path.relpath(mp3, self.launcher.working_folder)])
        program.wait_main_window()
        self.wait_title(program)

        self.display.close()
        code = self.timed_exit(program, "the display server ended")
        self.assertEqual(code, 1, program.output())
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), self.lines(mp3))
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path), SAVED_SETTINGS)


class OnePlayer(SessionScenario):
    def test_a_second_start_hands_its_files_over_while_the_first_plays_on(self):
        sound = self.hold_sound()
        tone = self.mp3("[Band] Long Tone.mp3", seconds=25.0)
        tune = self.midi("[Composer] Tune.mid")
        self.launcher.write_settings(SETTINGS)
        playlist = self.launcher.write_playlist([tone])
        first = self.start_with(sound=sound)
        first.wait_main_window()
        first.click(*PLAY)
        time.sleep(1.0)

        # A second start that read its settings would ask the first-run
        # question now, and stay.
        os.unlink(self.launcher.settings_path)
        before = os.stat(self.launcher.playlist_path)
        recorder = sound.recorder()
        recorder.start()
        second = self.start_with([os.path.relpath(tune, self.launcher.working_folder)], sound)
        self.assertEqual(self.timed_exit(second, "a second start"), 0, second.output())
        after = os.stat(self.launcher.playlist_path)
        self.assertEqual((after.st_mtime_ns, after.st_size), (before.st_mtime_ns, before.st_size))
        self.assertFalse(os.path.exists(self.launcher.settings_path))
        time.sleep(1.0)
        heard_until = recorder.seconds_so_far()
        level = rms(recorder.stop(), heard_until - 1.0, heard_until)
        self.assertTrue(first.alive())
        self.assertGreater(level, 2000, "the first player plays on")

        self.quit(first)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path),
                         playlist + self.lines(tune))


class CommandLine(SessionScenario):
    def test_files_named_on_the_command_line_join_the_queue_as_a_drop_would(self):
        # The second byte of 表 in code page 932 is a backslash.
        mp3 = self.mp3("[表] Tone One.mp3")
        midi = self.midi("tune.mid")
        text = os.path.join(self.launcher.music_folder(), "notes.txt")
        with open(text, "w") as handle:
            handle.write("not music\n")
        self.launcher.write_settings(SETTINGS)
        program = self.start_with(["music/[表] Tone One.mp3", text, "./music/../music/tune.mid"])
        program.wait_main_window()
        self.wait_title(program)
        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path),
                         self.lines(mp3, midi))
