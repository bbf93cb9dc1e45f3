"""End-to-end scenarios of the program in the user's session: files named
on the command line."""

import os
import time

import harness
from program_scenarios import TITLE_BAND, ProgramScenario, band, greenish

# Written back at shutdown as "1": a saved file tells the shutdown ran.
SETTINGS = "[CONFIG]\r\nGraphicEffect=2\r\nSoundDev=0\r\n"
SAVED_SETTINGS = b"[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n"


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
