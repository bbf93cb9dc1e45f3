"""End-to-end scenario of file names with characters code page 932 lacks:
each shows as itself, one double-byte cell pair per character, and the
queue holding them is saved and loaded again, also when a second start
hands such a name over."""

import os
import time

from program_scenarios import NEXT, TITLE_BAND, band, greenish
from session_scenarios import SessionScenario

SETTINGS = "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"
MP3_BY_ITS_MARK = b"ID3\x03" + bytes(60)
CELL = 9  # the panel font's half-width advance
NAMES = ["[Café] Noël.mp3", "[Ελληνικά] Τραγούδι.mp3", "[歌手] 冬の歌.mp3",
         "[🎄] Tree.mp3"]


def title_bytes(name):
    """Bytes of the title line "Title／Artist" + line feed: ASCII one byte,
    every other character two (its code page code or a user-defined one)."""
    artist, title = name[1:].split("] ", 1)
    text = title.rsplit(".", 1)[0] + "／" + artist
    return sum(1 if ord(c) < 0x80 else 2 for c in text) + 1


def ink_right_edge(image):
    """First column right of the title line's ink, in band coordinates."""
    columns = [x for y in range(image.height) for x in range(image.width)
               if greenish(image.pixel(x, y))]
    return max(columns) + 1 if columns else 0


class NamesShownAsThemselves(SessionScenario):
    def mark_file(self, name):
        path = os.path.join(self.launcher.music_folder(), name)
        with open(path, "wb") as handle:
            handle.write(MP3_BY_ITS_MARK)
        return path

    def titles(self, program, count):
        shown = []
        for i in range(count):
            if i:
                program.click(*NEXT)
                self.display.move(2, 2)
                time.sleep(0.8)
                program.wait_main_window()
            shown.append(band(program.screenshot(), TITLE_BAND))
        return shown

    def test_names_show_as_themselves_and_stay_in_the_queue(self):
        paths = [self.mark_file(name) for name in NAMES]
        self.launcher.write_settings(SETTINGS)
        program = self.start_with(paths)
        program.wait_main_window()
        self.wait_title(program)
        self.display.move(2, 2)
        first_run = self.titles(program, len(NAMES))
        for name, title in zip(NAMES, first_run):
            self.assertGreater(title.count(greenish), 50, name)
            # An escape would take 8 cells per character.
            self.assertLessEqual(ink_right_edge(title),
                                 min(title_bytes(name) - 1, 27) * CELL + 2, name)
        for i in range(len(NAMES)):
            for j in range(i):
                self.assertFalse(first_run[i].same_as(first_run[j]), NAMES[i] + " / " + NAMES[j])

        # A second start hands another such name over.
        handed = self.mark_file("[Ñandú] Ave.mp3")
        second = self.start_with([handed])
        self.assertEqual(second.wait_exit(10), 0, second.output())
        time.sleep(0.5)
        self.quit(program)
        saved = self.launcher.read_bytes(self.launcher.playlist_path)
        lines = saved.split(b"\r\n")
        self.assertEqual(len(lines), len(NAMES) + 2, saved)  # and the final empty piece
        self.assertNotIn(b"\xff", saved, "an escape was saved")

        # The next start loads the same entries: the same titles, the same
        # playlist saved again.
        program = self.start_with()
        program.wait_main_window()
        self.wait_title(program)
        self.display.move(2, 2)
        second_run = self.titles(program, len(NAMES) + 1)
        for name, before, after in zip(NAMES, first_run, second_run):
            self.assertTrue(before.same_as(after), name)
        self.assertGreater(second_run[-1].count(greenish), 50, "the handed-over name")
        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), saved)
