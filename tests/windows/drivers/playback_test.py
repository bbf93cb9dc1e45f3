"""Playback of the Windows build under Wine: an MP3 and a MIDI file played
through the player's sound device on Wine's MCI, heard on the private sound
server (scripts/with-sound-server.sh).

  playback_test.py <windows build folder>

MP3 must be heard as the tone it holds. MIDI needs a synthesiser behind
Wine's MIDI mapper; when Wine offers no MIDI output the sound check is
skipped with that reason, and only the MCI side (the sequencer opens the
file and knows its length) is checked.
"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import media_files  # noqa: E402
import test_runner  # noqa: E402
import recording  # noqa: E402
from wine_session import WineSession  # noqa: E402

BUILD_DIR = None
TONE_HZ = 440.0
TONE_SECONDS = 4
PLAY_SECONDS = 3


def probe_report(output):
    report = {}
    for line in output.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[1].lstrip("-").isdigit():
            report[parts[0]] = int(parts[1])
    return report


class PlaybackUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not recording.sound_server_available():
            raise unittest.SkipTest("no private sound server (run under scripts/with-sound-server.sh)")
        cls.session = WineSession(BUILD_DIR)
        cls.session.prepare()
        cls.probe = os.path.join(BUILD_DIR, "tests", "windows", "hp_windows_play_probe.exe")
        # Inside the prefix's C: drive, where every Wine program finds it.
        cls.folder = tempfile.TemporaryDirectory(
            dir=os.path.join(cls.session.prefix, "drive_c"), prefix="hp-playback-")

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def play(self, name):
        """Plays a file of the test folder while recording; returns the
        probe's report and the recording."""
        path = os.path.join(self.folder.name, name)
        recorder = recording.Recorder(path + ".recorded.wav")
        with recording.exclusive_sound():
            recorder.start()
            result = self.session.run(self.probe, self.session.windows_path(path),
                                      str(PLAY_SECONDS), timeout=60)
            heard = recorder.stop()
        report = probe_report(result.stdout)
        self.assertIn("play", report, f"the probe did not run:\n{result.stdout}\n{result.stderr}")
        return report, heard

    def assert_tone(self, heard):
        windows = heard.sounding_windows()
        seconds = len(windows) * heard.window_seconds
        # The probe plays for PLAY_SECONDS; start-up of the stream takes a
        # little of it.
        self.assertGreaterEqual(seconds, PLAY_SECONDS - 1.0, "too little sound was heard")
        self.assertLessEqual(seconds, PLAY_SECONDS + 0.5, "sound went on after the stop")
        steady = windows[2:-2] or windows
        pitch = sorted(frequency for _, frequency in steady)[len(steady) // 2]
        self.assertAlmostEqual(pitch, TONE_HZ, delta=TONE_HZ * 0.03)
        # A sine of amplitude 16000 has an RMS of 11314; the MCI path at full
        # volume keeps it within 3 dB.
        level = sorted(rms for rms, _ in steady)[len(steady) // 2]
        self.assertGreater(level, 11314 / 1.42)
        self.assertLess(level, 11314 * 1.42)

    def test_mp3_is_heard(self):
        path = os.path.join(self.folder.name, "tone.mp3")
        if not media_files.write_tone_mp3(path, TONE_HZ, TONE_SECONDS):
            self.skipTest("lame is not installed")
        report, heard = self.play("tone.mp3")
        self.assertEqual(report["play"], 1, "the MP3 did not open")
        self.assertEqual(report["length-seconds"], TONE_SECONDS)
        self.assertGreaterEqual(report["position-seconds"], PLAY_SECONDS - 1)
        self.assertEqual(report["stop"], 1)
        self.assert_tone(heard)

    def test_midi(self):
        media_files.write_note_midi(os.path.join(self.folder.name, "note.mid"), 69, TONE_SECONDS)
        report, heard = self.play("note.mid")
        self.assertEqual(report["play"], 1, "the sequencer did not open the MIDI file")
        self.assertEqual(report["length-seconds"], TONE_SECONDS)
        if report.get("midi-outputs", 0) == 0:
            self.assertLess(heard.sounding_seconds(), 0.2)
            self.skipTest("Wine offers no MIDI output (no synthesiser on an ALSA sequencer): "
                          "the file opens and plays silently")
        self.assertGreater(heard.sounding_seconds(), 1.0, "the MIDI note was not heard")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD_DIR = os.path.abspath(sys.argv.pop(1))
    sys.exit(test_runner.run(PlaybackUnderWine))
