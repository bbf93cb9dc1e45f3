"""Audio CDs end to end on the Linux program: a BIN/CUE image made on the
spot with sox is listed in HOLLYPHONE_CD_IMAGES and shows as drive D:, so
the menu, the "cdaudio" device, the CD gauge and the playlist file are
driven as with a disc in a drive. Bad images make empty drives."""

import os
import shutil
import subprocess
import time

import harness
from harness.sound import pitch, rms
from program_scenarios import (GAUGES, NEXT, PLAY, TITLE_BAND, ProgramScenario, band,
                               gauge_rows_matching, greenish)

CD_RATE = 44100
CD_BYTES_PER_SECOND = CD_RATE * 4  # 16-bit stereo
CD_FRAMES_PER_SECOND = 75
MENU_ITEMS = 7
ADD_AUDIO_CDS = 4  # "音楽CDを再生リストに追加(&A)"
CD_GAUGE_BOTTOM = (564, 287)
SEEK_BAR_Y = 210
CELL = 9  # pixels per byte of the fixed-pitch text lines


def write_cd_image(folder, name, tracks):
    """A BIN/CUE image of sine tones; each track is a list of (frequency in
    Hz, whole seconds) played one after another. Returns the cue sheet's
    path."""
    bin_path = os.path.join(folder, name + ".bin")
    offset = 0
    sheet = ['FILE "%s.bin" BINARY' % name]
    with open(bin_path, "wb") as disc:
        for number, tones in enumerate(tracks, 1):
            frames = offset // 2352
            sheet += ["  TRACK %02d AUDIO" % number,
                      "    INDEX 01 %02d:%02d:%02d" % (frames // (60 * CD_FRAMES_PER_SECOND),
                                                      frames // CD_FRAMES_PER_SECOND % 60,
                                                      frames % CD_FRAMES_PER_SECOND)]
            for frequency, seconds in tones:
                tone = subprocess.run(
                    ["sox", "-n", "-r", str(CD_RATE), "-c", "2", "-b", "16", "-e", "signed",
                     "-L", "-t", "raw", "-", "synth", str(seconds), "sine", str(frequency),
                     "vol", "0.5"], stdout=subprocess.PIPE, check=True).stdout
                disc.write(tone)
                offset += len(tone)
    cue_path = os.path.join(folder, name + ".cue")
    with open(cue_path, "w") as cue:
        cue.write("\r\n".join(sheet) + "\r\n")
    return cue_path


class CdScenario(ProgramScenario):
    def setUp(self):
        super().setUp()
        self.launcher.write_settings("[INFO]\r\nIniver=1.00\r\n[CONFIG]\r\n"
                                     "GraphicEffect=0\r\nSoundDev=0\r\n")

    def list_images(self, *cue_paths):
        self.launcher.environment["HOLLYPHONE_CD_IMAGES"] = ":".join(cue_paths)

    def add_audio_cds(self, program):
        program.click(150, 420, button=3)
        top = program.wait_popups(1)[0]
        program.display.click(*harness.menu_item_point(top, ADD_AUDIO_CDS, MENU_ITEMS))
        time.sleep(0.8)
        self.assertEqual(program.popup_windows(), [], "the menu closed")


class AudioCdImage(CdScenario):
    # Track 2 changes its tone 16 s in, so that a seek is heard.
    TRACKS = [[(440, 5)], [(660, 16), (550, 8)], [(880, 4)]]

    def test_tracks_queue_play_seek_and_the_cd_gauge_on_an_image(self):
        if not shutil.which("sox"):
            self.skipTest("sox is not installed (scripts/install-deps.sh test)")
        sound = self.hold_sound()
        music = self.launcher.music_folder()
        self.list_images(write_cd_image(music, "disc", self.TRACKS))
        # A file named as the first track's title line begins, up to the
        # drive's colon (no file name holds one): the title line shows its
        # name, for comparison. It is never played.
        reference = os.path.join(music, "トラック1／音楽CD [D")
        with open(reference, "wb") as handle:
            handle.write(b"ID3" + bytes(125))
        playlist = self.launcher.write_playlist([reference])

        program = self.start(sound)
        program.wait_main_window()
        time.sleep(0.5)
        self.add_audio_cds(program)
        reference_line = band(program.screenshot(), TITLE_BAND)
        program.click(*NEXT)  # stopped: only moves to the first track
        time.sleep(0.8)
        first_line = band(program.screenshot(), TITLE_BAND)
        same_cells = len("トラック1／音楽CD [D".encode("cp932"))
        self.assertTrue(first_line.crop(0, 0, same_cells * CELL, first_line.height).same_as(
            reference_line.crop(0, 0, same_cells * CELL, reference_line.height)),
            "track 1 is titled トラック1／音楽CD [D:\\]")
        self.assertFalse(first_line.same_as(reference_line), "the line goes on after D")

        recorder = sound.recorder()
        recorder.start()
        program.click(*PLAY)
        time.sleep(2.5)
        first = (recorder.seconds_so_far() - 1.5, recorder.seconds_so_far())

        program.click(*NEXT)
        time.sleep(2.5)
        second = (recorder.seconds_so_far() - 1.5, recorder.seconds_so_far())
        second_line = band(program.screenshot(), TITLE_BAND)

        for _ in range(30):
            program.click(*CD_GAUGE_BOTTOM)
            time.sleep(0.05)
        time.sleep(1.0)
        quieter = (recorder.seconds_so_far(), recorder.seconds_so_far() + 1.5)
        time.sleep(1.5)
        lowered = program.screenshot()

        # Three quarters into the 24-second track: second 18 of it, where the
        # tone has changed. It ends 6 s after the click, and the last track
        # starts 2 s later.
        program.click(236 + 114, SEEK_BAR_Y)
        clicked = recorder.seconds_so_far()
        time.sleep(2.5)
        after_seek = (clicked + 1.0, recorder.seconds_so_far())
        time.sleep(8.0)
        last = (recorder.seconds_so_far() - 1.5, recorder.seconds_so_far())
        samples = recorder.stop()

        heard = {name: (pitch(samples, *span), rms(samples, *span)) for name, span in
                 (("track 1", first), ("track 2", second), ("lowered", quieter),
                  ("after the seek", after_seek), ("track 3", last))}
        print("pitch (Hz) and level (rms): " +
              ", ".join("%s %.0f %.0f" % (name, hz, level) for name, (hz, level) in heard.items()))
        self.assertAlmostEqual(heard["track 1"][0], 440, delta=15, msg="play: track 1's tone")
        self.assertAlmostEqual(heard["track 2"][0], 660, delta=15, msg="next: track 2's tone")
        self.assertAlmostEqual(heard["lowered"][1] / heard["track 2"][1], 50535 / 65535,
                               delta=0.06, msg="the CD gauge's 30 steps down")
        self.assertAlmostEqual(heard["after the seek"][0], 550, delta=15,
                               msg="the seek bar: the end of track 2")
        self.assertAlmostEqual(heard["track 3"][0], 880, delta=15, msg="the last track plays")

        differing = [x for x in range(first_line.width)
                     if first_line.crop(x, 0, 1, first_line.height).rgb !=
                     second_line.crop(x, 0, 1, second_line.height).rgb]
        digit = len("トラック".encode("cp932")) * CELL
        # The semibold digit may reach one pixel into the next cell.
        self.assertTrue(differing and digit <= differing[0] and differing[-1] <= digit + CELL,
                        "track 2's title differs from track 1's in the digit alone")
        empty_rows = gauge_rows_matching(lowered, self.sheet, "cd", 164)
        self.assertEqual(len(empty_rows), int(220 * (4294967296 - 65537 * 50535) / 4294967296))

        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), playlist,
                         "the CD tracks are left out of the playlist")


class BadCdImages(CdScenario):
    def test_missing_and_malformed_images_are_empty_drives(self):
        music = self.launcher.music_folder()
        missing_bin = os.path.join(music, "gone.cue")
        with open(missing_bin, "w") as cue:
            cue.write('FILE "gone.bin" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n')
        empty = os.path.join(music, "empty.cue")
        open(empty, "w").close()
        self.list_images(os.path.join(music, "nothere.cue"), missing_bin, empty)

        program = self.start()
        program.wait_main_window()
        time.sleep(0.5)
        # The tray menu lists C: and the three image drives; opening the
        # tray of D: is accepted and changes nothing.
        program.click(150, 420, button=3)
        top = program.wait_popups(1)[0]
        program.display.move(*harness.menu_item_point(top, 2, MENU_ITEMS))
        trays = program.wait_popups(2)[-1]
        self.assertEqual(round(trays.height / (top.height / MENU_ITEMS)), 4, "C:, D:, E:, F:")
        program.display.click(*harness.menu_item_point(trays, 1, 4))
        time.sleep(0.5)

        self.add_audio_cds(program)
        program.click(*PLAY)
        time.sleep(1.0)
        self.assertEqual(band(program.screenshot(), TITLE_BAND).count(greenish), 0,
                         "nothing was queued")
        for image in ("nothere.cue", "gone.cue", "empty.cue"):
            self.assertIn(image, program.output(), "why the drive of %s is empty" % image)
        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), b"")
