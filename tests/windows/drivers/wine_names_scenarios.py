"""End-to-end scenarios of the Windows program under Wine about how names
are drawn in the title line."""

import time

from program_scenarios import NEXT, TITLE_BAND, band, greenish
from wine_session_scenarios import WineSessionScenario

SETTINGS = "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"


class WineArtistLineFeed(WineSessionScenario):
    """A found artist ends with a line feed. "[Artist] Title.mp3" shows
    "Title／Artist" and its line feed's cell; "[Artist ] Title.mp3" shows the
    same text with a space in that cell and its own line feed one cell on,
    where the padding is. When neither line feed draws a glyph the two title
    lines are the same picture."""

    def test_the_line_feed_after_the_artist_draws_no_glyph(self):
        self.launcher.write_settings(SETTINGS)
        program = self.start_with(self.mp3("[Artist] Title.mp3"), self.mp3("[Artist ] Title.mp3"))
        program.wait_main_window(timeout=60)
        self.wait_title(program)
        self.display.move(2, 2)
        time.sleep(0.5)
        first = band(program.screenshot(), TITLE_BAND)
        program.click(*NEXT)
        self.display.move(2, 2)
        time.sleep(1.0)
        program.wait_main_window()
        second = band(program.screenshot(), TITLE_BAND)
        self.assertGreater(first.count(greenish), 50, "the title is shown")
        self.assertTrue(first.same_as(second), "a line feed is drawn after the artist")
