"""End-to-end scenarios of the player's media controls: the keyboard's
media keys on its window, the desktop's media controls on the session bus,
and the gauges' levels kept across a restart."""

import os
import time

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
