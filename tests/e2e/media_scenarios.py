"""End-to-end scenarios of the player's media controls: the keyboard's
media keys on its window, the desktop's media controls on the session bus,
and the gauges' levels kept across a restart."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
import urllib.parse

import harness
from harness.sound import rms
from program_scenarios import (QUIT, TITLE_BAND, WAVE_BOTTOM, WAVE_EMPTY_X, ProgramScenario,
                               band, gauge_rows_matching, greenish)

EMPTY_SKIN = (150, 420)


class MediaScenario(ProgramScenario):
    def mp3(self, name, seconds=30.0, frequency=440.0):
        music = self.launcher.music_folder()
        wav = os.path.join(music, "tone.wav")
        harness.write_tone_wav(wav, frequency, seconds)
        path = os.path.join(music, name)
        encoded = harness.encode_mp3(wav, path)
        os.unlink(wav)
        if not encoded:
            self.skipTest("lame is not installed")
        return path

    def start_queued(self, sound, *paths):
        self.launcher.write_settings("[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n")
        self.launcher.write_playlist(list(paths))
        program = self.start(sound)
        program.wait_main_window()
        time.sleep(1.0)
        return program

    def level(self, recorder, seconds=1.5):
        """The sound's level over the next seconds."""
        time.sleep(0.6)
        first = recorder.seconds_so_far()
        time.sleep(seconds)
        return first, recorder.seconds_so_far()


class MediaKeys(MediaScenario):
    def test_media_keys_on_the_window_play_skip_and_stop(self):
        sound = self.hold_sound()
        program = self.start_queued(sound, self.mp3("[One] First.mp3"),
                                    self.mp3("[Two] Second.mp3", frequency=660.0))
        # The keyboard's keys go to the window under the pointer.
        program.move(*EMPTY_SKIN)
        first_title = band(program.screenshot(), TITLE_BAND)
        recorder = sound.recorder()
        recorder.start()

        program.display.key("XF86AudioPause")  # pause while stopped starts nothing
        quiet = self.level(recorder)
        program.display.key("XF86AudioPlay")
        playing = self.level(recorder)
        program.display.key("XF86AudioNext")
        next_playing = self.level(recorder)
        second_title = band(program.screenshot(), TITLE_BAND)
        program.display.key("XF86AudioStop")
        stopped = self.level(recorder)
        program.display.key("XF86AudioPrev")
        time.sleep(0.6)
        back_title = band(program.screenshot(), TITLE_BAND)
        program.display.key("XF86AudioPlay")
        toggled_on = self.level(recorder)
        program.display.key("XF86AudioPlay")
        toggled_off = self.level(recorder)
        samples = recorder.stop()

        levels = [rms(samples, *span) for span in
                  (quiet, playing, next_playing, stopped, toggled_on, toggled_off)]
        print("levels (rms): pause %.0f, play %.0f, next %.0f, stop %.0f, "
              "play/pause %.0f, again %.0f" % tuple(levels))
        self.assertLess(levels[0], 30, "pause does not start playback")
        self.assertGreater(levels[1], 2000, "play/pause plays while stopped")
        self.assertGreater(levels[2], 2000, "next goes on playing")
        self.assertLess(levels[3], 30, "stop stops")
        self.assertGreater(levels[4], 2000, "play/pause plays again")
        self.assertLess(levels[5], 30, "play/pause stops while playing")
        self.assertFalse(first_title.same_as(second_title), "next moved to the second entry")
        self.assertTrue(first_title.same_as(back_title), "previous moved back to the first")
        self.assertGreater(first_title.count(greenish), 50)
        self.assertTrue(program.alive())


class GaugesKeepTheirLevels(MediaScenario):
    def wave_empty_rows(self, program):
        rows = gauge_rows_matching(program.screenshot(), self.sheet, "wave", WAVE_EMPTY_X)
        self.assertEqual(rows, list(range(len(rows))), "the gauge empties from its top")
        return len(rows)

    def test_a_lowered_gauge_is_still_lowered_after_a_restart(self):
        self.launcher.write_settings("[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n")
        program = self.start()
        program.wait_main_window()
        time.sleep(0.5)
        self.assertEqual(self.wave_empty_rows(program), 0, "full at the first start")
        # Thirty presses on the bottom row of the Wave gauge, 500 down each.
        for _ in range(30):
            program.click(*WAVE_BOTTOM)
            time.sleep(0.05)
        time.sleep(1.0)
        lowered = self.wave_empty_rows(program)
        self.assertEqual(lowered, int(222 * (4294967296 - 65537 * 50535) / 4294967296))
        program.click(*QUIT)
        self.assertEqual(program.wait_exit(15), 0, program.output())
        kept = os.path.join(self.launcher.environment["XDG_DATA_HOME"], "hollyphone",
                            "mixer-levels")
        with open(kept, "rb") as levels:
            self.assertIn(b"\nWave=50535,50535,0,0\n", levels.read())

        again = self.start()
        again.wait_main_window()
        time.sleep(0.5)
        self.assertEqual(self.wave_empty_rows(again), lowered, "still lowered after the restart")


MPRIS_NAME = "org.mpris.MediaPlayer2.hollyphone"
MPRIS_PATH = "/org/mpris/MediaPlayer2"
PLAYER = "org.mpris.MediaPlayer2.Player"


class SessionBus:
    """A private session bus (the daemon dbus-run-session starts), its
    address, and gdbus calls on it."""

    def __init__(self):
        if not shutil.which("dbus-daemon") or not shutil.which("gdbus"):
            raise unittest.SkipTest("dbus-daemon or gdbus is not installed")
        self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                                       stdout=subprocess.PIPE, text=True)
        self.address = self.daemon.stdout.readline().strip()

    def close(self):
        self.daemon.kill()
        self.daemon.wait()

    def environment(self):
        return {"DBUS_SESSION_BUS_ADDRESS": self.address}

    def gdbus(self, *arguments):
        result = subprocess.run(["gdbus", "call", "--address", self.address] + list(arguments),
                                capture_output=True, text=True, timeout=20)
        return result.returncode, result.stdout.strip() + result.stderr.strip()

    def call(self, method, *arguments):
        code, output = self.gdbus("--dest", MPRIS_NAME, "--object-path", MPRIS_PATH,
                                  "--method", method, *arguments)
        if code != 0:
            raise AssertionError("%s failed: %s" % (method, output))
        return output

    def get(self, interface, name):
        return self.call("org.freedesktop.DBus.Properties.Get", interface, name)

    def wait_name(self, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            code, output = self.gdbus("--dest", "org.freedesktop.DBus", "--object-path",
                                      "/org/freedesktop/DBus", "--method",
                                      "org.freedesktop.DBus.NameHasOwner", MPRIS_NAME)
            if code == 0 and "true" in output:
                return
            time.sleep(0.2)
        raise AssertionError(MPRIS_NAME + " never appeared on the bus")


class MprisControls(MediaScenario):
    def test_the_desktop_media_controls_play_skip_pause_stop_and_quit(self):
        try:
            bus = SessionBus()
        except unittest.SkipTest as missing:
            self.skipTest(str(missing))
        self.addCleanup(bus.close)
        sound = self.hold_sound()
        first = self.mp3("[One] First.mp3", seconds=20.0)
        second = self.mp3("[Two] Second.mp3", seconds=25.0, frequency=660.0)
        self.launcher.environment.update(bus.environment())
        program = self.start_queued(sound, first, second)
        bus.wait_name()
        monitor_log = tempfile.TemporaryFile()
        monitor = subprocess.Popen(
            ["dbus-monitor", "--address", bus.address,
             "type='signal',interface='org.freedesktop.DBus.Properties',"
             "member='PropertiesChanged'"], stdout=monitor_log, stderr=subprocess.STDOUT)
        self.addCleanup(monitor.wait)
        self.addCleanup(monitor.kill)

        root = bus.call("org.freedesktop.DBus.Properties.GetAll", "org.mpris.MediaPlayer2")
        for expected in ("'Identity': <'Hollyphone'>", "'DesktopEntry': <'hollyphone'>",
                         "'CanQuit': <true>", "'CanRaise': <true>"):
            self.assertIn(expected, root)
        player = bus.call("org.freedesktop.DBus.Properties.GetAll", PLAYER)
        for expected in ("'PlaybackStatus': <'Stopped'>", "'CanPlay': <true>",
                         "'CanGoNext': <true>", "'CanSeek': <false>"):
            self.assertIn(expected, player)
        self.assertIn("TrackList/NoTrack", bus.get(PLAYER, "Metadata"), "nothing played yet")

        recorder = sound.recorder()
        recorder.start()
        bus.call(PLAYER + ".Play")
        playing = self.level(recorder)
        status_playing = bus.get(PLAYER, "PlaybackStatus")
        metadata_first = bus.get(PLAYER, "Metadata")
        bus.call(PLAYER + ".Next")
        time.sleep(1.0)
        metadata_second = bus.get(PLAYER, "Metadata")
        bus.call(PLAYER + ".Pause")
        paused = self.level(recorder)
        status_paused = bus.get(PLAYER, "PlaybackStatus")
        bus.call(PLAYER + ".PlayPause")
        resumed = self.level(recorder)
        bus.call(PLAYER + ".Stop")
        stopped = self.level(recorder)
        status_stopped = bus.get(PLAYER, "PlaybackStatus")
        samples = recorder.stop()

        levels = [rms(samples, *span) for span in (playing, paused, resumed, stopped)]
        print("levels (rms): Play %.0f, Pause %.0f, PlayPause %.0f, Stop %.0f" % tuple(levels))
        self.assertGreater(levels[0], 2000, "Play plays")
        self.assertLess(levels[1], 30, "Pause stops: the player has no pause")
        self.assertGreater(levels[2], 2000, "PlayPause plays while stopped")
        self.assertLess(levels[3], 30, "Stop stops")
        self.assertIn("'Playing'", status_playing)
        self.assertIn("'Stopped'", status_paused)
        self.assertIn("'Stopped'", status_stopped)

        uri = "file://" + urllib.parse.quote(first)
        self.assertIn("'xesam:url': <'%s'>" % uri, metadata_first)
        self.assertIn("'xesam:title': <'[One] First'>", metadata_first)
        self.assertRegex(metadata_first, r"'mpris:length': <int64 (\d+)>")
        length = int(re.search(r"'mpris:length': <int64 (\d+)>", metadata_first).group(1))
        self.assertAlmostEqual(length / 1e6, 20.0, delta=0.5, msg="the length in microseconds")
        self.assertIn("'xesam:title': <'[Two] Second'>", metadata_second, "Next moved on")
        self.assertNotEqual(re.search(r"'mpris:trackid': <objectpath '([^']+)'>",
                                      metadata_first).group(1),
                            re.search(r"'mpris:trackid': <objectpath '([^']+)'>",
                                      metadata_second).group(1))

        bus.call("org.mpris.MediaPlayer2.Quit")
        self.assertEqual(program.wait_exit(15), 0, "Quit ends the program\n" + program.output())
        monitor.kill()
        monitor.wait()
        monitor_log.seek(0)
        signals = monitor_log.read().decode(errors="replace")
        self.assertIn('string "PlaybackStatus"', signals)
        self.assertIn('string "Playing"', signals)
        self.assertIn('string "xesam:title"', signals)
        self.assertIn('string "[Two] Second"', signals, "the next track was announced")
