"""End-to-end scenarios of what the program does with the user's files: a
playlist written by another program, a playlist kept behind a link and
private permissions, a folder full of old temporary files, and settings
that cannot be written. Each checks the files the program leaves, byte for
byte."""

import os
import stat
import time

import harness
from harness.sound import rms
from program_scenarios import PLAY, TITLE_BAND, ProgramScenario, band, greenish
from program_scenarios import twinkle_picture

MP3_BY_ITS_MARK = b"ID3\x03" + bytes(60)
SETTINGS = "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"


class FileScenario(ProgramScenario):
    def start_shown(self, sound=None):
        program = self.start(sound)
        program.wait_main_window()
        time.sleep(0.5)
        return program


class ForeignPlaylist(FileScenario):
    """A playlist of a Linux player: UTF-8 paths, comment lines, a URI and a
    missing file. The UTF-8 lines play and are saved back byte for byte;
    the file as it was is kept as default.m3u.bak."""

    def test_utf8_lines_play_and_the_rest_is_kept_in_a_copy(self):
        sound = self.hold_sound()
        music = self.launcher.music_folder()
        tune = os.path.join(music, "[作曲家] クリスマスの歌.mid")
        harness.write_midi(tune, [(69, 20.0)])
        accented = os.path.join(music, "[Chorale] Noël à l'église.mp3")
        with open(accented, "wb") as handle:
            handle.write(MP3_BY_ITS_MARK)
        windows_form = os.path.join(music, "Été.mp3")
        with open(windows_form, "wb") as handle:
            handle.write(MP3_BY_ITS_MARK)
        loadable = [tune.encode(), accented.encode(),
                    ("C:" + windows_form.replace("/", "\\")).encode()]
        original = (b"#EXTM3U\n#EXTINF:20,Composer - Tune\n" + loadable[0] + b"\n"
                    + b"#EXTINF:-1,Noel\n" + loadable[1] + b"\n"
                    + b"file://" + accented.encode() + b"\n"
                    + os.path.join(music, "gone.mp3").encode() + b"\n"
                    + loadable[2] + b"\n")
        with open(self.launcher.playlist_path, "wb") as handle:
            handle.write(original)
        self.launcher.write_settings(SETTINGS)

        program = self.start_shown(sound)
        self.assertGreater(band(program.screenshot(), TITLE_BAND).count(greenish), 50,
                           "the first UTF-8 line is the queue's title")
        recorder = sound.recorder()
        recorder.start()
        program.click(*PLAY)
        time.sleep(3.0)
        heard_until = recorder.seconds_so_far()
        samples = recorder.stop()
        level = rms(samples, heard_until - 1.5, heard_until)
        print("level of the UTF-8 named MIDI file (rms): %.0f" % level)
        self.assertGreater(level, 300, "the file named in UTF-8 plays")

        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path + ".bak"),
                         original)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path),
                         b"".join(line + b"\r\n" for line in loadable))


class LinkedPrivatePlaylist(FileScenario):
    """default.m3u is a link to a playlist kept elsewhere with mode 600: the
    save writes the linked file, which keeps its mode."""

    def test_the_link_stays_and_the_file_keeps_mode_600(self):
        song = os.path.join(self.launcher.music_folder(), "song.mp3")
        with open(song, "wb") as handle:
            handle.write(MP3_BY_ITS_MARK)
        lists = os.path.join(self.launcher.working_folder, "lists")
        os.makedirs(lists)
        kept = os.path.join(lists, "mine.m3u")
        line = self.launcher.windows_path(song).encode("cp932")
        with open(kept, "wb") as handle:
            handle.write(line + b"\n")  # rewritten with CR LF at the save
        os.chmod(kept, 0o600)
        os.symlink(os.path.join("lists", "mine.m3u"), self.launcher.playlist_path)
        self.launcher.write_settings(SETTINGS)
        names = os.listdir(lists)

        self.quit(self.start_shown())
        self.assertTrue(os.path.islink(self.launcher.playlist_path), "still a link")
        self.assertEqual(os.readlink(self.launcher.playlist_path), os.path.join("lists", "mine.m3u"))
        self.assertEqual(self.launcher.read_bytes(kept), line + b"\r\n")
        self.assertEqual(stat.S_IMODE(os.stat(kept).st_mode), 0o600)
        self.assertEqual(os.listdir(lists), names, "no temporary file stays behind")


class LeftoverTemporaries(FileScenario):
    """Two hundred files named like temporary files, of older saves and of
    the platform's own naming, do not stop the save and stay as they are."""

    def test_the_queue_is_saved_beside_200_leftovers(self):
        song = os.path.join(self.launcher.music_folder(), "song.mp3")
        with open(song, "wb") as handle:
            handle.write(MP3_BY_ITS_MARK)
        line = self.launcher.windows_path(song).encode("cp932")
        with open(self.launcher.playlist_path, "wb") as handle:
            handle.write(line + b"\n")  # rewritten with CR LF at the save
        leftovers = (["default.m3u.~%d" % number for number in range(100)]
                     + ["hp%X.tmp" % number for number in range(1, 101)])
        for name in leftovers:
            with open(os.path.join(self.launcher.working_folder, name), "wb") as handle:
                handle.write(b"not mine")
        self.launcher.write_settings(SETTINGS)
        names = os.listdir(self.launcher.working_folder)

        self.quit(self.start_shown())
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), line + b"\r\n")
        self.assertEqual(self.launcher.read_bytes(
            os.path.join(self.launcher.working_folder, leftovers[-1])), b"not mine")
        self.assertEqual(sorted(os.listdir(self.launcher.working_folder)), sorted(names),
                         "no temporary file stays behind")


class UnwritableSettings(FileScenario):
    """The settings cannot be written (a read-only folder; root writes there
    all the same, so for root a folder takes the settings file's place):
    Yes to the first-run question still turns the effect on."""

    def test_yes_gives_the_effect_for_the_session(self):
        folder = self.launcher.executable_folder
        if os.geteuid() == 0:
            os.mkdir(self.launcher.settings_path)
        else:
            os.chmod(folder, 0o555)
            self.addCleanup(os.chmod, folder, 0o755)

        program = self.start()
        program.answer_welcome(yes=True)
        program.wait_main_window()
        time.sleep(0.5)
        pictures = set()
        for _ in range(4):
            pictures.add(twinkle_picture(program.screenshot()))
            time.sleep(0.23)
        self.assertGreater(len(pictures), 1, "the twinkles change: the effect is on")
        self.quit(program)
        self.assertFalse(os.path.isfile(self.launcher.settings_path), "nothing was written")
