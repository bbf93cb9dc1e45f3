"""Playback of the Windows build under Wine: an MP3 and a MIDI file played
through the player's sound device on Wine's MCI (the play probe), heard on
the private sound server (scripts/with-sound-server.sh).

  playback_test.py <windows build folder>

MP3 must be heard as the tone it holds. MIDI needs a synthesiser behind
Wine's MIDI mapper; when Wine offers no MIDI output the sound check is
skipped with that reason, and only the MCI side (the sequencer opens the
file and knows its length) is checked.
"""

import math
import os
import sys
import tempfile
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
sys.path.insert(0, os.path.join(here, "..", "..", "e2e"))

import harness  # noqa: E402
import test_runner  # noqa: E402
from wine_session import WineSession  # noqa: E402

BUILD_DIR = None
RATE = 44100
TONE_HZ = 440.0
TONE_SECONDS = 4
PLAY_SECONDS = 3
WINDOW_SECONDS = 0.1
SOUNDING_RMS = 300.0


def probe_report(output):
    report = {}
    for line in output.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[1].lstrip("-").isdigit():
            report[parts[0]] = int(parts[1])
    return report


def sounding_windows(samples):
    """(rms, zero-crossing frequency) of each 100 ms that holds sound."""
    size = int(RATE * WINDOW_SECONDS)
    found = []
    for start in range(0, len(samples) - size + 1, size):
        part = samples[start:start + size]
        level = math.sqrt(sum(x * x for x in part) / size)
        if level >= SOUNDING_RMS:
            crossings = sum(1 for a, b in zip(part, part[1:]) if (a < 0) != (b < 0))
            found.append((level, crossings / 2 / WINDOW_SECONDS))
    return found


class PlaybackUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = WineSession(BUILD_DIR)
        cls.session.prepare()
        cls.probe = os.path.join(BUILD_DIR, "tests", "windows", "hp_windows_play_probe.exe")
        # Inside the prefix's C: drive, where every Wine program finds it.
        cls.folder = tempfile.TemporaryDirectory(
            dir=os.path.join(cls.session.prefix, "drive_c"), prefix="hp-playback-")

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def setUp(self):
        try:
            self.sound = harness.SoundServer()
        except harness.SoundMissing as missing:
            self.skipTest(str(missing))
        self.addCleanup(self.sound.close)

    def play(self, path):
        """Plays a file while recording; returns the probe's report and the
        sound heard (left channel)."""
        env = dict(os.environ, **self.sound.environment())
        recorder = self.sound.recorder()
        recorder.start()
        result = self.session.run(self.probe, self.session.windows_path(path),
                                  str(PLAY_SECONDS), timeout=60, env=env)
        samples = recorder.stop()
        report = probe_report(result.stdout)
        self.assertIn("play", report, "the probe did not run:\n%s\n%s"
                      % (result.stdout, result.stderr))
        return report, samples

    def test_mp3_is_heard(self):
        wav = os.path.join(self.folder.name, "tone.wav")
        mp3 = os.path.join(self.folder.name, "tone.mp3")
        harness.write_tone_wav(wav, TONE_HZ, TONE_SECONDS)
        if not harness.encode_mp3(wav, mp3):
            self.skipTest("lame is not installed")
        report, samples = self.play(mp3)
        self.assertEqual(report["play"], 1, "the MP3 did not open")
        self.assertEqual(report["length-seconds"], TONE_SECONDS)
        self.assertGreaterEqual(report["position-seconds"], PLAY_SECONDS - 1)
        self.assertEqual(report["stop"], 1)

        windows = sounding_windows(samples)
        seconds = len(windows) * WINDOW_SECONDS
        # The probe plays for PLAY_SECONDS; the stream's start takes a little.
        self.assertGreaterEqual(seconds, PLAY_SECONDS - 1.0, "too little sound was heard")
        self.assertLessEqual(seconds, PLAY_SECONDS + 0.5, "sound went on after the stop")
        steady = windows[2:-2] or windows
        pitch = sorted(frequency for _, frequency in steady)[len(steady) // 2]
        self.assertAlmostEqual(pitch, TONE_HZ, delta=TONE_HZ * 0.03)
        # The tone's amplitude is half of full scale: RMS 11585; the MCI path
        # at full volume keeps it within 3 dB.
        level = sorted(rms for rms, _ in steady)[len(steady) // 2]
        self.assertGreater(level, 11585 / 1.42)
        self.assertLess(level, 11585 * 1.42)

    def test_midi(self):
        midi = os.path.join(self.folder.name, "note.mid")
        harness.write_midi(midi, [(69, float(TONE_SECONDS))])
        report, samples = self.play(midi)
        self.assertEqual(report["play"], 1, "the sequencer did not open the MIDI file")
        self.assertEqual(report["length-seconds"], TONE_SECONDS)
        heard = len(sounding_windows(samples)) * WINDOW_SECONDS
        if report.get("midi-outputs", 0) == 0:
            self.assertLess(heard, 0.2)
            self.skipTest("Wine offers no MIDI output (no synthesiser on an ALSA sequencer): "
                          "the file opens and plays silently")
        self.assertGreater(heard, 1.0, "the MIDI note was not heard")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD_DIR = os.path.abspath(sys.argv.pop(1))
    sys.exit(test_runner.run(PlaybackUnderWine))
