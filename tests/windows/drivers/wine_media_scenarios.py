"""The Windows program's media commands under Wine: WM_APPCOMMAND, as the
system sends it for a media key, plays and stops with the buttons' steps
and is answered TRUE."""

import time

import harness
from harness.sound import rms
from wine_scenarios import WineScenario

MAIN_CLASS = "Hoollyphone"
PLAY_PAUSE, STOP, BROWSER_BACKWARD = 14, 13, 1


class WineMediaCommands(WineScenario):
    def test_play_pause_plays_and_stop_stops(self):
        sound = self.hold_sound()
        music = self.launcher.music_folder()
        mp3 = harness.write_tone_mp3(music)
        if mp3 is None:
            self.skipTest("lame is not installed")
        self.launcher.write_playlist([mp3])
        self.launcher.write_settings("[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n")
        program = self.start(sound)
        program.wait_main_window()
        time.sleep(1.0)
        inspector = self.launcher.inspector(self.display)

        recorder = sound.recorder()
        recorder.start()
        self.assertEqual(inspector.app_command(MAIN_CLASS, PLAY_PAUSE), 1, "play/pause is taken")
        time.sleep(2.5)
        loud = (recorder.seconds_so_far() - 1.5, recorder.seconds_so_far())
        self.assertEqual(inspector.app_command(MAIN_CLASS, STOP), 1, "stop is taken")
        time.sleep(1.5)
        quiet = (recorder.seconds_so_far() - 0.8, recorder.seconds_so_far())
        self.assertEqual(inspector.app_command(MAIN_CLASS, BROWSER_BACKWARD), 0,
                         "other commands are left to the system")
        samples = recorder.stop()

        tone, silence = rms(samples, *loud), rms(samples, *quiet)
        print("levels (rms): after play/pause %.0f, after stop %.0f" % (tone, silence))
        self.assertGreater(tone, 2000, "play/pause plays the queued MP3")
        self.assertLess(silence, 30, "stop stops it")
        self.quit(program)
