"""End-to-end scenario of the program on a high-density screen: at a
desktop scale of 2 the window is twice as large in device pixels, the skin
is doubled without blur, the text is drawn at the device scale, and the
pointer lands where things are drawn."""

import time

import harness
from harness.sound import rms
from program_scenarios import PLAY, QUIT, TITLE_BAND, ProgramScenario, greenish, painted

SETTINGS = "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"
SCALE = 2


def blocks(image, area):
    """The scale x scale blocks of device pixels covering a logical area:
    (uniform blocks, blocks in all)."""
    left, top, right, bottom = area
    uniform = total = 0
    for y in range(top, bottom):
        for x in range(left, right):
            pixels = {image.pixel(SCALE * x + i, SCALE * y + j)
                      for i in range(SCALE) for j in range(SCALE)}
            uniform += len(pixels) == 1
            total += 1
    return uniform, total


class HighDensityScreen(ProgramScenario):
    def test_at_scale_two_the_window_doubles_text_is_sharp_and_play_lands(self):
        sound = self.hold_sound()
        music = self.launcher.music_folder()
        mp3 = harness.write_tone_mp3(music)
        if mp3 is None:
            self.skipTest("lame is not installed")
        self.launcher.write_playlist([mp3])
        self.launcher.write_settings(SETTINGS)
        self.launcher.environment["GDK_SCALE"] = str(SCALE)
        program = self.start(sound)
        window = program.wait_main_window()
        self.assertEqual((window.width, window.height), (632 * SCALE, 500 * SCALE))
        # The screen is 640 x 512 of the desktop's pixels: the program
        # centres its window partly off it. Moved fully onto it, as a user
        # would.
        deadline = time.monotonic() + 10
        while (window.x, window.y) != (8, 8) and time.monotonic() < deadline:
            self.display.xdotool("windowmove", window.id, 8, 8)
            time.sleep(0.5)
            window = program.wait_main_window()
        self.assertEqual((window.x, window.y), (8, 8))
        time.sleep(1.0)
        image = program.screenshot()

        # The skin: every logical pixel a uniform block of its own colour.
        mismatched = [(x, y) for y in range(2, 500, 7) for x in range(2, 632, 7)
                      if not painted(x, y) and
                      {image.pixel(SCALE * x + i, SCALE * y + j) for i in range(SCALE)
                       for j in range(SCALE)} != {self.background.pixel(x, y)}]
        self.assertEqual(mismatched[:5], [], "the skin is doubled without blur")

        # The title: green ink drawn at the device scale, not doubled pixels.
        uniform, total = blocks(image, TITLE_BAND)
        green = sum(1 for y in range(SCALE * TITLE_BAND[1], SCALE * TITLE_BAND[3])
                    for x in range(SCALE * TITLE_BAND[0], SCALE * TITLE_BAND[2])
                    if greenish(image.pixel(x, y)))
        print("title: %d of %d blocks uniform, %d green device pixels" % (uniform, total, green))
        self.assertGreater(green, 400, "the title is shown")
        self.assertGreater(total - uniform, 100, "the title is drawn at the device scale")

        recorder = sound.recorder()
        recorder.start()
        time.sleep(0.5)
        silent_until = recorder.seconds_so_far()
        self.display.click(window.x + SCALE * PLAY[0], window.y + SCALE * PLAY[1])
        self.display.move(2, 2)
        time.sleep(2.5)
        heard_until = recorder.seconds_so_far()
        samples = recorder.stop()
        self.assertLess(rms(samples, 0.0, silent_until), 30, "nothing plays before the click")
        self.assertGreater(rms(samples, heard_until - 1.5, heard_until), 2000,
                           "the play button plays when clicked at its doubled place")

        self.display.click(window.x + SCALE * QUIT[0], window.y + SCALE * QUIT[1])
        self.assertEqual(program.wait_exit(15), 0, "the quit button lands\n" + program.output())
