"""Faults while the program plays and when it ends: its sound server killed
and started again, the playing file deleted or cut short, a full disk at
exit. The program never crashes or hangs, its window keeps answering, and
nothing the user had is lost."""

import ctypes
import errno
import os
import shutil
import time

import harness
from harness.sound import MonitorRecorder, pitch, rms
from program_scenarios import NEXT, PLAY, QUIT, STATUS_BAND, ProgramScenario, band

MENU_POINT = (150, 420)
TONES = (("[Band] First.mp3", 440.0), ("[Band] Second.mp3", 660.0), ("[Band] Third.mp3", 880.0))


class FaultScenario(ProgramScenario):
    def own_sound_server(self):
        try:
            server = harness.RestartableSoundServer()
        except harness.SoundMissing as missing:
            self.skipTest(str(missing))
        self.addCleanup(server.close)
        return server

    def queue_tones(self, seconds=20.0):
        """Three MP3 tones in the playlist, a pitch each (TONES)."""
        music = self.launcher.music_folder()
        paths = []
        for name, frequency in TONES:
            wav = os.path.join(music, "tone.wav")
            harness.write_tone_wav(wav, frequency, seconds)
            path = os.path.join(music, name)
            if not harness.encode_mp3(wav, path):
                self.skipTest("lame is not installed")
            os.unlink(wav)
            paths.append(path)
        self.launcher.write_settings("[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n")
        self.launcher.write_playlist(paths)
        return paths

    def start_playing(self, server):
        """Starts the program and presses play; returns once its stream
        plays to the server."""
        program = self.start(server)
        program.wait_main_window()
        time.sleep(1.0)
        program.click(*PLAY)
        deadline = time.monotonic() + 10
        while server.stream_count() == 0:
            if time.monotonic() > deadline:
                self.fail("the play button plays nothing\n" + program.output())
            time.sleep(0.1)
        time.sleep(1.0)
        return program

    def assert_answers(self, program, when):
        """The window paints (the play clock moves on) and opens and closes
        its menu."""
        before = band(program.screenshot(), STATUS_BAND)
        time.sleep(1.2)
        self.assertFalse(band(program.screenshot(), STATUS_BAND).same_as(before),
                         when + ": the play clock is painted")
        program.click(*MENU_POINT, button=3)
        try:
            program.wait_popups(1, timeout=3.0)
        except AssertionError:
            self.fail(when + ": the menu does not open\n" + program.output())
        program.display.key("Escape")
        deadline = time.monotonic() + 3.0
        while program.popup_windows() and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertEqual(program.popup_windows(), [], when + ": the menu closes")
        self.assertTrue(program.alive(), when + ": the program runs\n" + program.output())

    def assert_heard_after_press(self, server, program, button, track, what):
        """After the press, the given track of the queue is what plays."""
        recorder = server.recorder()
        recorder.start()
        program.click(*button)
        time.sleep(4.0)
        last_second = recorder.stop()[-MonitorRecorder.RATE:]
        level = rms(last_second, 0.0, 1.0)
        frequency = pitch(last_second, 0.0, 1.0)
        print("%s: %.0f rms at %.0f Hz" % (what, level, frequency))
        self.assertGreater(level, 2000, what + " is heard")
        self.assertAlmostEqual(frequency, TONES[track][1], delta=TONES[track][1] * 0.03,
                               msg=what + " is the right track")


class SoundServerRestart(FaultScenario):
    def test_a_server_killed_mid_track_and_started_again_the_next_play_is_heard(self):
        server = self.own_sound_server()
        self.queue_tones()
        program = self.start_playing(server)

        server.kill()
        self.assert_answers(program, "with the sound server gone")
        self.assertTrue(server.start(), "the sound server starts again")
        self.assert_answers(program, "with the sound server back")
        self.assert_heard_after_press(server, program, NEXT, 1, "the next track")
        self.quit(program)


class PlayingFileLost(FaultScenario):
    def test_the_playing_file_deleted_then_the_next_one_cut_short(self):
        server = self.own_sound_server()
        first, second, _ = self.queue_tones()
        program = self.start_playing(server)

        os.unlink(first)
        self.assert_answers(program, "with the playing file deleted")
        self.assert_heard_after_press(server, program, NEXT, 1,
                                      "the track after the deleted one")

        # Cut to its tag and a few frames, as a copy that stopped half way.
        with open(second, "r+b") as handle:
            handle.truncate(4096)
        time.sleep(1.0)
        self.assert_answers(program, "with the playing file cut short")
        self.assert_heard_after_press(server, program, NEXT, 2, "the track after the cut one")
        self.quit(program)


CLONE_NEWNS = 0x00020000
CLONE_NEWUSER = 0x10000000
MS_REC = 0x4000
MS_PRIVATE = 1 << 18


def enter_private_mount_namespace():
    """Mounts made after this are seen by this process and its children
    only. Root may do it; another user through a user namespace of their
    own, where the kernel allows it. The reason when neither works."""
    libc = ctypes.CDLL(None, use_errno=True)
    uid, gid = os.getuid(), os.getgid()
    if libc.unshare(CLONE_NEWNS) != 0:
        first = os.strerror(ctypes.get_errno())
        if libc.unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0:
            return "no private mount namespace (%s; as a user: %s)" % (
                first, os.strerror(ctypes.get_errno()))
        with open("/proc/self/setgroups", "w") as handle:
            handle.write("deny")
        with open("/proc/self/uid_map", "w") as handle:
            handle.write("%d %d 1" % (uid, uid))
        with open("/proc/self/gid_map", "w") as handle:
            handle.write("%d %d 1" % (gid, gid))
    # Nothing mounted here reaches the machine's own namespace.
    if libc.mount(b"none", b"/", None, MS_REC | MS_PRIVATE, None) != 0:
        return "mounts cannot be made private: " + os.strerror(ctypes.get_errno())
    return None


def mount_tmpfs(folder, kilobytes):
    libc = ctypes.CDLL(None, use_errno=True)
    options = ("size=%dk" % kilobytes).encode()
    if libc.mount(b"tmpfs", folder.encode(), b"tmpfs", 0, options) != 0:
        return "no tmpfs can be mounted: " + os.strerror(ctypes.get_errno())
    return None


def fill(folder):
    """Writes a file until the file system has no room left."""
    with open(os.path.join(folder, "filler"), "wb") as handle:
        try:
            while True:
                handle.write(b"\0" * 65536)
                handle.flush()
        except OSError as full:
            if full.errno != errno.ENOSPC:
                raise


class FullDisk(FaultScenario):
    def put_launcher_on_a_small_tmpfs(self):
        """Moves the program's folders onto a tmpfs of their own, with a
        megabyte to spare."""
        root = os.path.dirname(self.launcher.executable_folder)
        why = enter_private_mount_namespace()
        if why:
            self.skipTest(why)
        kept = root + ".kept"
        shutil.copytree(root, kept, symlinks=True)
        self.addCleanup(shutil.rmtree, kept, True)
        used = sum(os.path.getsize(os.path.join(folder, name))
                   for folder, _, names in os.walk(kept) for name in names)
        why = mount_tmpfs(root, used // 1024 + 1024)
        if why:
            self.skipTest(why)
        self.addCleanup(ctypes.CDLL(None).umount2, root.encode(), 2)
        shutil.copytree(kept, root, symlinks=True, dirs_exist_ok=True)
        return root

    def test_exit_on_a_full_disk_is_prompt_and_keeps_the_old_files(self):
        root = self.put_launcher_on_a_small_tmpfs()
        tune = os.path.join(self.launcher.music_folder(), "[Composer] Tune.mid")
        harness.write_midi(tune, [(69, 2.0)])
        # Both files differ from what the program writes back: the effect
        # value 2 is saved as 1, the missing file leaves the queue.
        settings = "[INFO]\r\nIniver=1.00\r\n[CONFIG]\r\nGraphicEffect=2\r\nSoundDev=0\r\n"
        self.launcher.write_settings(settings)
        playlist = self.launcher.write_playlist(
            [tune, os.path.join(self.launcher.music_folder(), "gone.mp3")])
        program = self.start()
        program.wait_main_window()
        fill(root)

        quitting = time.monotonic()
        program.click(*QUIT)
        code = program.wait_exit(15)
        took = time.monotonic() - quitting
        print("exit on a full disk took %.2f s" % took)
        self.assertEqual(code, 0, "the program ends normally\n" + program.output())
        self.assertLess(took, 5.0, "the program ends promptly")
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), playlist)
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path),
                         settings.encode("cp932"))
