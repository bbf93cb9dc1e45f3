"""End-to-end scenarios of the Hollyphone program on a private X display and
a private sound server: what a user does and sees, with the files the
program leaves behind checked byte for byte.

The scenarios take a launcher factory (harness.ProgramLauncher), so they
drive the Linux build here and can drive the Windows build under Wine."""

import os
import time
import unittest

import harness
from harness.sound import rms

SKIN_FOLDER = os.environ.get("HOLLYPHONE_E2E_SKIN", "")

FIRST_RUN_SETTINGS = ("[INFO]\r\nMessage1=Hollyphone 設定ファイル\r\nIniver=1.00\r\n"
                      "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n").encode("cp932")

# Client areas that the program paints over the skin (left, top, right, bottom).
TWINKLES = [(583, 46), (594, 87), (491, 135), (431, 34), (381, 40), (257, 83), (246, 29),
            (274, 36), (108, 20), (90, 41), (80, 35), (40, 59), (65, 110), (155, 39), (153, 48),
            (221, 59), (220, 76), (342, 55), (480, 39), (604, 140), (380, 77), (440, 76),
            (459, 51)]
SLOW_TWINKLES = [(119, 46), (411, 22), (490, 88)]
PAINTED = [(185, 135, 470, 205), (230, 200, 395, 220), (500, 20, 575, 295),
           (340, 305, 410, 420), (50, 190, 90, 206)] + \
    [(x - 1, y - 1, x + 9, y + 9) for x, y in TWINKLES + SLOW_TWINKLES]

TITLE_BAND = (193, 140, 193 + 27 * 9, 157)
STATUS_BAND = (193, 185, 193 + 27 * 9, 202)
# (client left, top, width, full height, full column x, column top) of the gauges.
GAUGES = {"cd": (557, 67, 14, 219, 186, 74), "midi": (533, 26, 14, 219, 186, 74),
          "wave": (504, 66, 18, 221, 131, 72)}
WAVE_EMPTY_X = 102
QUIT = (593, 325)
PLAY = (540, 430)
NEXT = (498, 313)
WAVE_BOTTOM = (512, 287)


def painted(x, y):
    return any(left <= x < right and top <= y < bottom for left, top, right, bottom in PAINTED)


def greenish(pixel):
    red, green, blue = pixel
    return green > red + 40 and green > blue + 40


def band(image, area):
    left, top, right, bottom = area
    return image.crop(left, top, right - left, bottom - top)


def gauge_rows_matching(image, sheet, gauge, column_x):
    """The rows of a gauge that show the given column of the sprite sheet."""
    left, top, width, height, _, column_top = GAUGES[gauge]
    rows = []
    for row in range(height):
        if all(image.pixel(left + x, top + row) == sheet.pixel(column_x + x, column_top + row)
               for x in range(width)):
            rows.append(row)
    return rows


def twinkle_picture(image):
    return b"".join(image.crop(x, y, 8, 8).rgb for x, y in TWINKLES + SLOW_TWINKLES)


class ProgramScenario(unittest.TestCase):
    """Each test gets a display, a launcher and, when it asks, the sink."""

    make_launcher = None  # set by the runner: () -> harness.ProgramLauncher

    def setUp(self):
        try:
            self.display = harness.XDisplay()
        except harness.DisplayMissing as missing:
            self.skipTest(str(missing))
        self.addCleanup(self.display.close)
        self.launcher = type(self).make_launcher()
        self.addCleanup(self.launcher.cleanup)
        self.background = harness.Bitmap.load(os.path.join(SKIN_FOLDER, "swbase1.bmp"))
        self.sheet = harness.Bitmap.load(os.path.join(SKIN_FOLDER, "parts.bmp"))

    def start(self, sound=None):
        program = self.launcher.start(self.display,
                                      sound.environment() if sound else None)
        self.addCleanup(program.stop)
        self.program = program
        return program

    def hold_sound(self):
        try:
            sound = harness.SoundServer()
        except harness.SoundMissing as missing:
            self.skipTest(str(missing))
        self.addCleanup(sound.close)
        return sound

    def quit(self, program):
        program.click(*QUIT)
        code = program.wait_exit(15)
        self.assertEqual(code, 0, "the quit button ends the program\n" + program.output())

    def assert_skin_shown(self, image):
        mismatched = [(x, y) for y in range(2, 500, 7) for x in range(2, 632, 7)
                      if not painted(x, y) and image.pixel(x, y) != self.background.pixel(x, y)]
        self.assertEqual(mismatched[:5], [], "the skin shows where nothing is painted")

    def assert_gauge_full(self, image, gauge):
        full_x = GAUGES[gauge][4]
        self.assertEqual(len(gauge_rows_matching(image, self.sheet, gauge, full_x)),
                         GAUGES[gauge][3], gauge + " gauge at full volume")


class FirstRun(ProgramScenario):
    def test_yes_in_the_question_then_quit_writes_the_settings(self):
        program = self.start()
        program.answer_welcome(yes=True)
        program.wait_main_window()
        time.sleep(1.0)
        image = program.screenshot()
        self.assert_skin_shown(image)
        for gauge in GAUGES:
            self.assert_gauge_full(image, gauge)
        self.assertEqual(band(image, TITLE_BAND).count(greenish), 0, "no title without a queue")
        self.assertGreater(band(image, STATUS_BAND).count(greenish), 50, "the greeting")
        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path), FIRST_RUN_SETTINGS)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), b"",
                         "an empty queue is saved as an empty playlist")


class Playback(ProgramScenario):
    def prepare_queue(self):
        music = self.launcher.music_folder()
        mp3 = harness.write_tone_mp3(music)
        if mp3 is None:
            self.skipTest("lame is not installed")
        midi = os.path.join(music, "[Composer] Tune.mid")
        harness.write_midi(midi, [(69, 20.0)])
        settings = "[INFO]\r\nIniver=1.00\r\n[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n"
        self.launcher.write_settings(settings)
        return self.launcher.write_playlist([mp3, midi]), settings.encode("cp932")

    def test_play_next_and_the_wave_gauge_on_a_prepared_playlist(self):
        sound = self.hold_sound()
        playlist, settings = self.prepare_queue()
        program = self.start(sound)
        program.wait_main_window()
        time.sleep(1.0)
        before = program.screenshot()
        self.assertGreater(band(before, TITLE_BAND).count(greenish), 50,
                           "the first queued title is shown")

        recorder = sound.recorder()
        recorder.start()
        time.sleep(0.5)
        silent_until = recorder.seconds_so_far()
        program.click(*PLAY)
        time.sleep(3.0)
        playing = program.screenshot()
        loud_from = recorder.seconds_so_far() - 2.0
        loud_until = recorder.seconds_so_far()
        time.sleep(1.2)
        later = program.screenshot()
        self.assertFalse(band(playing, STATUS_BAND).same_as(band(later, STATUS_BAND)),
                         "the play clock runs")

        # Thirty presses on the bottom row of the Wave gauge, 500 down each.
        for _ in range(30):
            program.click(*WAVE_BOTTOM)
            time.sleep(0.05)
        time.sleep(1.0)
        quiet_from = recorder.seconds_so_far()
        time.sleep(2.0)
        quiet_until = recorder.seconds_so_far()
        lowered = program.screenshot()

        program.click(*NEXT)
        time.sleep(2.5)
        moved_on = program.screenshot()
        midi_from = recorder.seconds_so_far() - 1.5
        midi_until = recorder.seconds_so_far()
        samples = recorder.stop()

        silence = rms(samples, 0.0, silent_until)
        tone = rms(samples, loud_from, loud_until)
        quieter = rms(samples, quiet_from, quiet_until)
        tune = rms(samples, midi_from, midi_until)
        print("levels (rms): before play %.0f, MP3 %.0f, after the Wave presses %.0f (%.3f), "
              "MIDI %.0f" % (silence, tone, quieter, quieter / max(tone, 1), tune))
        self.assertLess(silence, 30, "nothing plays before the play button")
        self.assertGreater(tone, 2000, "the MP3 is heard")
        # 30 x 500 below full: 50535 / 65535 of the level.
        self.assertAlmostEqual(quieter / tone, 50535 / 65535, delta=0.06)
        empty_rows = gauge_rows_matching(lowered, self.sheet, "wave", WAVE_EMPTY_X)
        self.assertEqual(empty_rows, list(range(len(empty_rows))))
        self.assertEqual(len(empty_rows), int(222 * (4294967296 - 65537 * 50535) / 4294967296))
        self.assertGreater(tune, 300, "the MIDI file is heard after next")
        self.assertFalse(band(playing, TITLE_BAND).same_as(band(moved_on, TITLE_BAND)),
                         "the title line shows the next entry")

        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), playlist)
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path), settings)


class EffectMenu(ProgramScenario):
    def test_off_in_the_menu_stops_the_animation(self):
        self.launcher.write_settings("[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n")
        program = self.start()
        program.wait_main_window()
        time.sleep(0.5)
        running = set()
        for _ in range(4):
            running.add(twinkle_picture(program.screenshot()))
            time.sleep(0.23)
        self.assertGreater(len(running), 1, "the twinkles change while the effect is on")

        program.click(150, 420, button=3)
        top = program.wait_popups(1)[0]
        program.display.move(*harness.menu_item_point(top, 0, 7))
        submenu = program.wait_popups(2)[-1]
        program.display.click(*harness.menu_item_point(submenu, 1, 2))
        time.sleep(0.5)
        self.assertEqual(program.popup_windows(), [], "the menu closed")
        stopped = set()
        for _ in range(4):
            stopped.add(twinkle_picture(program.screenshot()))
            time.sleep(0.23)
        self.assertEqual(len(stopped), 1, "OFF(&F) stops the twinkles")

        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path),
                         b"[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n")
