"""The Windows program end to end under Wine, on the private X server and
sound server, driven as a user drives it: clicks and keys through xdotool,
the screen through screenshots, the platform's own view of windows and
menus through the window inspector.

  e2e_test.py <windows build folder>

The program runs from a folder of its own (its settings file lives beside
it) with a working folder holding image/ and a prepared default.m3u, both
inside the Wine prefix's C: drive.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import media_files  # noqa: E402
import test_runner  # noqa: E402
import x_display  # noqa: E402
from bitmap_file import BitmapFile  # noqa: E402
from inspector import Inspector  # noqa: E402
from wine_session import WineSession, wait_until  # noqa: E402

BUILD_DIR = None
SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))


def sjis(text):
    return text.encode("cp932")


WINDOW_CLASS = "Hoollyphone"
WIDTH, HEIGHT = 632, 500
QUIT_BUTTON = (593, 325)       # client point inside the quit button
NEXT_BUTTON = (498, 313)       # client point inside the next-track button
EMPTY_SKIN = (150, 420)        # client point on plain snow, away from every hot spot
IDYES, IDNO = 6, 7

FIRST_RUN_SETTINGS = sjis("[INFO]\r\nMessage1=Hollyphone 設定ファイル\r\nIniver=1.00\r\n"
                          "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n")

# Gauges: left, top, width, height, empty column (x, y) in parts.bmp.
GAUGES = {"CD": (557, 67, 14, 219, 164, 74),
          "MIDI": (533, 26, 14, 219, 164, 74),
          "Wave": (504, 66, 18, 221, 102, 72)}
TITLE_AREA = (193, 140, 440, 157)
TEXT_BACKGROUND = (255, 204, 204)


class WindowsProgramEndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not x_display.display_available():
            raise unittest.SkipTest("no X display (run under scripts/with-display.sh)")
        cls.session = WineSession(BUILD_DIR)
        cls.session.prepare()
        cls.inspector = Inspector(cls.session)
        cls.root = tempfile.mkdtemp(dir=os.path.join(cls.session.prefix, "drive_c"),
                                    prefix="hp-e2e-")
        cls.program_folder = os.path.join(cls.root, "program")
        cls.work_folder = os.path.join(cls.root, "work")
        os.makedirs(cls.program_folder)
        os.makedirs(os.path.join(cls.work_folder, "music"))
        shutil.copy(os.path.join(BUILD_DIR, "app", "Hollyphone.exe"), cls.program_folder)
        shutil.copytree(os.path.join(SOURCE_DIR, "image"), os.path.join(cls.work_folder, "image"))
        cls.skin = BitmapFile(os.path.join(SOURCE_DIR, "image", "swbase1.bmp"))
        cls.parts = BitmapFile(os.path.join(SOURCE_DIR, "image", "parts.bmp"))

        # The queue: an MP3 and a MIDI file, the second with a Japanese name.
        mp3 = os.path.join(cls.work_folder, "music", "[Wine Artist] Tone.mp3")
        midi = os.path.join(cls.work_folder, "music", "[作曲者] 小曲.mid")
        if not media_files.write_tone_mp3(mp3, seconds=2):
            with open(mp3, "wb") as target:  # recognised by its mark alone
                target.write(b"ID3\x03" + bytes(60))
        media_files.write_note_midi(midi, seconds=2)
        cls.queue_lines = [sjis(cls.session.windows_path(path)) for path in (mp3, midi)]
        cls.playlist = b"".join(line + b"\r\n" for line in cls.queue_lines)
        with open(os.path.join(cls.work_folder, "default.m3u"), "wb") as target:
            target.write(cls.playlist)
        cls.metrics = cls.inspector.metrics()
        cls.process = None
        cls.drive_link = None

    @classmethod
    def tearDownClass(cls):
        # Only the program's own process: other tests may be using the
        # prefix's session at the same time.
        if cls.process and cls.process.poll() is None:
            cls.process.kill()
            cls.process.wait()
        if cls.drive_link and os.path.islink(cls.drive_link):
            os.remove(cls.drive_link)
        shutil.rmtree(cls.root, ignore_errors=True)

    # ----- helpers -----

    def start_program(self):
        program = self.session.windows_path(os.path.join(self.program_folder, "Hollyphone.exe"))
        with open(os.path.join(self.root, "program.log"), "ab") as log:
            type(self).process = self.session.start(program, cwd=self.work_folder, log=log)

    def wait_for_exit(self, timeout=20):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            self.fail("the program did not end")

    def main_window(self, timeout=30):
        record = wait_until(lambda: self.inspector.window(WINDOW_CLASS), timeout, 0.3)
        self.assertIsNotNone(record, "the main window did not open")
        return record

    def dialog(self, timeout):
        return wait_until(lambda: self.inspector.window("#32770", with_controls=True),
                          timeout, 0.3)

    def click_client(self, window, point, button=1):
        x, y = window["client-origin"]
        x_display.click(x + point[0], y + point[1], button)

    def open_menu(self, window):
        self.click_client(window, EMPTY_SKIN, button=3)
        menu = wait_until(self.inspector.menu, 10, 0.3)
        self.assertIsNotNone(menu, "the popup menu did not open")
        return menu

    def settings(self):
        path = os.path.join(self.program_folder, "Hollyphone.ini")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as source:
            return source.read()

    def title_pixels(self, window):
        shot = x_display.Screenshot()
        ox, oy = window["client-origin"]
        left, top, right, bottom = TITLE_AREA
        return [shot.pixel(ox + x, oy + y) for y in range(top, bottom) for x in range(left, right)]

    def add_audio_cd_drive(self, tracks):
        """Maps the first free drive letter from M on to a folder holding only
        track files, which is what an audio CD's root shows; returns the
        letter. The mapping goes when the test ends."""
        folder = os.path.join(self.root, "audio-cd")
        os.makedirs(folder, exist_ok=True)
        for n in range(1, tracks + 1):
            with open(os.path.join(folder, f"Track{n:02d}.cda"), "wb") as track:
                track.write(b"RIFF" + bytes(40))
        taken = self.session.drive_links()
        letter = next(c for c in "MNOPQRSTUVWXY" if c not in taken)
        link = os.path.join(self.session.prefix, "dosdevices", letter.lower() + ":")
        os.symlink(folder, link)
        type(self).drive_link = link
        return letter

    # ----- the checks of one screen -----

    def check_centred(self, window):
        full_width, full_height = self.metrics["full-screen"]
        left, top = full_width // 2 - WIDTH // 2, full_height // 2 - HEIGHT // 2
        self.assertEqual(window["frame"], (left, top, left + WIDTH, top + HEIGHT))
        self.assertEqual(window["client"], (0, 0, WIDTH, HEIGHT))
        self.assertEqual(window["title"], b"** Hollyphone *** Ver1.00  VELDAN **")

    def check_screen(self, window):
        shot = x_display.Screenshot()
        shot.save(os.path.join(self.root, "screen.ppm"))
        ox, oy = window["client-origin"]

        # The skin: the background picture wherever nothing is drawn over it
        # (scene, lights, text lines, progress bar and gauges cover a small
        # part of the window).
        same = sum(1 for y in range(0, HEIGHT, 2) for x in range(0, WIDTH, 2)
                   if shot.pixel(ox + x, oy + y) == self.skin.pixel(x, y))
        self.assertGreater(same / ((WIDTH // 2) * (HEIGHT // 2)), 0.8, "the skin is not shown")

        # Wine's mixers offer no line the gauges look for: every gauge shows
        # its empty column, pixel for pixel.
        for name, (left, top, width, height, column_x, column_y) in GAUGES.items():
            with self.subTest(gauge=name):
                wrong = [(x, y) for y in range(height) for x in range(width)
                         if shot.pixel(ox + left + x, oy + top + y)
                         != self.parts.pixel(column_x + x, column_y + y)]
                self.assertEqual(wrong[:5], [], f"{len(wrong)} pixels differ")

        # The title line shows the first queued entry: green text on the
        # line's pink cells.
        left, top, right, bottom = TITLE_AREA
        area = [shot.pixel(ox + x, oy + y) for y in range(top, bottom) for x in range(left, right)]
        self.assertGreater(area.count(TEXT_BACKGROUND), len(area) // 3)
        green = [p for p in area if p[1] > p[0] + 60 and p[1] > p[2] + 60]
        self.assertGreater(len(green), 40, "no text in the title line")

    def check_menu(self, menu, graphic_effect, mixer_device):
        items = menu["items"]
        top = {path: item for path, item in items.items() if "." not in path}
        self.assertEqual([top[str(i)]["text"] for i in range(1, 8)],
                         [sjis(t) for t in ("画像効果", "音量設定デバイス(&d)", "CDトレイを開く(&O)",
                                            "CDトレイを閉じる(&C)", "音楽CDを再生リストに追加(&A)",
                                            "バージョン情報を表示する(&V)", "終了(&Q)")])
        self.assertEqual([top[str(i)]["id"] for i in (5, 6, 7)], [2003, 2004, 2000])
        self.assertEqual((items["1.1"]["text"], items["1.1"]["id"], items["1.1"]["checked"]),
                         (b"ON(&N)", 2002, graphic_effect == 1))
        self.assertEqual((items["1.2"]["text"], items["1.2"]["id"], items["1.2"]["checked"]),
                         (b"OFF(&F)", 2001, graphic_effect == 0))

        # One item per mixer device that Wine offers (up to 25), "index：name".
        mixers = self.metrics["mixers"][:25]
        self.assertGreater(len(mixers), 0, "Wine offers no mixer device (no sound server?)")
        listed = sorted((p, i) for p, i in items.items() if p.startswith("2."))
        self.assertEqual([i["text"] for _, i in listed],
                         [str(n).encode() + sjis("：") + name for n, name in enumerate(mixers)])
        self.assertEqual([i["id"] for _, i in listed], [2080 + n for n in range(len(mixers))])
        self.assertEqual([n for n, (_, i) in enumerate(listed) if i["checked"]], [mixer_device])

        # Every drive Wine has, in letter order, in both tray menus.
        letters = [chr(65 + i) for i in range(26) if self.metrics["drives"] & (1 << i)]
        for menu_index, base in ((3, 1955), (4, 1985)):
            listed = [items[f"{menu_index}.{n + 1}"] for n in range(len(letters))]
            self.assertEqual([i["text"] for i in listed], [f"{c}:\\".encode() for c in letters])
            self.assertEqual([i["id"] for i in listed], [base + ord(c) for c in letters])
            self.assertNotIn(f"{menu_index}.{len(letters) + 1}", items)

    def check_about_box(self, main):
        box = self.dialog(10)
        self.assertIsNotNone(box, "the About box did not open")
        self.assertEqual(box["title"], sjis("バージョン情報"))
        self.assertEqual(box["owner"], main["handle"])
        # Centred on the main window by the box's client size, truncated.
        mx0, my0, mx1, my1 = main["frame"]
        _, _, client_width, client_height = box["client"]
        left = int((mx1 - mx0) * 0.5 + mx0 - client_width * 0.5)
        top = int((my1 - my0) * 0.5 + my0 - client_height * 0.5)
        self.assertEqual(box["frame"][:2], (left, top))
        texts = {c["text"] for c in box["controls"]}
        self.assertTrue({b"OK", b"Hollyphone", b"Version : 1.00"} <= texts)
        self.assertIn(1005, [c["id"] for c in box["controls"]])

        x_display.key("Escape")   # ignored: the box stays
        time.sleep(1.0)
        self.assertIsNotNone(self.inspector.window("#32770"), "Escape closed the About box")
        x_display.key("Return")   # the default button
        self.assertTrue(wait_until(lambda: self.inspector.window("#32770") is None, 10, 0.3),
                        "Enter did not close the About box")

    # ----- the runs -----

    def test_1_first_run(self):
        self.assertEqual(self.metrics.get("code-page"), 932, "Wine does not run in Japanese")
        x_display.move(2, 2)
        self.start_program()

        box = self.dialog(60)
        self.assertIsNotNone(box, "the first-run question did not come")
        self.assertEqual(box["title"], sjis("Hollyphoneへようこそ！"))
        self.assertEqual(box["owner"], 0)
        texts = {c["id"]: c for c in box["controls"]}
        self.assertEqual(texts[0xFFFF]["text"],
                         sjis("画像効果をONにしますか？ 画像効果にはCPU処理を多く使います"))
        buttons = sorted(i for i, c in texts.items() if c["class"].lower() == b"button")
        self.assertEqual(buttons, [IDYES, IDNO])
        left, top, right, bottom = texts[IDYES]["rect"]
        x_display.click((left + right) // 2, (top + bottom) // 2)
        x_display.move(2, 2)

        main = self.main_window()
        self.check_centred(main)
        time.sleep(2.0)
        self.check_screen(main)

        menu = self.open_menu(main)
        self.check_menu(menu, graphic_effect=1, mixer_device=0)
        x_display.key("v")  # バージョン情報を表示する(&V)
        self.check_about_box(main)

        self.click_client(main, QUIT_BUTTON)
        self.assertEqual(self.wait_for_exit(), 0)
        self.assertEqual(self.settings(), FIRST_RUN_SETTINGS)
        with open(os.path.join(self.work_folder, "default.m3u"), "rb") as saved:
            self.assertEqual(saved.read(), self.playlist)

    def test_2_second_run_with_an_audio_cd(self):
        if self.settings() != FIRST_RUN_SETTINGS:
            self.skipTest("the first run did not leave its settings")
        letter = self.add_audio_cd_drive(tracks=3)
        # Wine reads its drive folder when its session starts: end the
        # session (this test runs alone) so that the next one sees the drive.
        self.session.stop()
        type(self).metrics = self.inspector.metrics()
        self.assertTrue(self.metrics["drives"] & (1 << (ord(letter) - 65)),
                        "Wine does not show the new drive")
        x_display.move(2, 2)
        self.start_program()
        main = self.main_window()
        self.assertIsNone(self.inspector.window("#32770"), "asked again on the second run")

        # Graphic effect off: first item, its submenu, "OFF(&F)". The menu is
        # built anew and lists the new drive.
        self.open_menu(main)
        for name in ("Down", "Right", "f"):
            x_display.key(name)
            time.sleep(0.3)
        time.sleep(0.5)
        menu = self.open_menu(main)
        self.check_menu(menu, graphic_effect=0, mixer_device=0)

        # Add the audio CD's tracks behind the two files, then step through
        # the queue: file, file, CD track, each with its own title.
        x_display.key("a")  # 音楽CDを再生リストに追加(&A)
        time.sleep(1.0)
        titles = [self.title_pixels(main)]
        for _ in range(2):
            self.click_client(main, NEXT_BUTTON)
            x_display.move(2, 2)
            time.sleep(1.0)
            # A press also starts a move of the window: read where it is.
            main = self.main_window()
            titles.append(self.title_pixels(main))
        # (Compared as truth values: a failure need not print every pixel.)
        self.assertTrue(titles[1] != titles[0], "the second entry shows the first's title")
        self.assertTrue(titles[2] != titles[0], "no CD track joined the queue")
        self.assertTrue(titles[2] != titles[1], "the third entry shows the second's title")

        self.open_menu(main)
        x_display.key("q")  # 終了(&Q)
        self.assertEqual(self.wait_for_exit(), 0)
        self.assertEqual(self.settings(), FIRST_RUN_SETTINGS.replace(b"GraphicEffect=1",
                                                                     b"GraphicEffect=0"))
        # The CD tracks are left out of the saved queue.
        with open(os.path.join(self.work_folder, "default.m3u"), "rb") as saved:
            self.assertEqual(saved.read(), self.playlist)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD_DIR = os.path.abspath(sys.argv.pop(1))
    sys.exit(test_runner.run(WindowsProgramEndToEnd))
