"""End-to-end scenarios of the Windows program under Wine, on the harness of
tests/e2e: what only the Windows build shows or what Wine lets a test see
more exactly (the first-run question's texts, the menu's items as the
program holds them, the About box's place), and an audio CD made of a drive
of the prefix. run_wine.py runs these and the shared scenarios that hold
under Wine."""

import os
import time

import harness
import program_scenarios
from harness.sound import pitch, rms
from program_scenarios import FIRST_RUN_SETTINGS, GAUGES, NEXT, PLAY, STATUS_BAND, TITLE_BAND
from program_scenarios import band, greenish
from program_scenarios import gauge_rows_matching
from wine_session import wait_until

WIDTH, HEIGHT = 632, 500
EMPTY_SKIN = (150, 420)
IDYES, IDNO = 6, 7
# The empty column of each gauge in parts.bmp (the full one is in GAUGES).
EMPTY_COLUMN_X = {"cd": 164, "midi": 164, "wave": 102}


def sjis(text):
    return text.encode("cp932")


class WineScenario(program_scenarios.ProgramScenario):
    def setUp(self):
        super().setUp()
        self.metrics = self.launcher.inspector(self.display).metrics()
        self.assertEqual(self.metrics.get("code-page"), 932, "Wine does not run in Japanese")

    def prepare_queue(self):
        """An MP3 and a MIDI file with a Japanese name in default.m3u;
        returns the playlist's bytes."""
        music = self.launcher.music_folder()
        wav = os.path.join(music, "tone.wav")
        harness.write_tone_wav(wav, 440.0, 2.0)
        mp3 = os.path.join(music, "[Wine Artist] Tone.mp3")
        if not harness.encode_mp3(wav, mp3):
            with open(mp3, "wb") as handle:  # known by its mark alone
                handle.write(b"ID3\x03" + bytes(60))
        os.unlink(wav)
        midi = os.path.join(music, "[作曲者] 小曲.mid")
        harness.write_midi(midi, [(69, 2.0)])
        return self.launcher.write_playlist([mp3, midi])

    def open_menu(self, program):
        program.click(*EMPTY_SKIN, button=3)
        menu = program.menu()
        self.assertIsNotNone(menu, "the popup menu did not open")
        return menu

    def title(self, program):
        return band(program.screenshot(), TITLE_BAND)

    def assert_centred(self, main):
        full_width, full_height = self.metrics["full-screen"]
        left, top = full_width // 2 - WIDTH // 2, full_height // 2 - HEIGHT // 2
        self.assertEqual(main["frame"], (left, top, left + WIDTH, top + HEIGHT))
        self.assertEqual(main["client"], (0, 0, WIDTH, HEIGHT))
        self.assertEqual(main["title"], b"** Hollyphone *** Ver1.00  VELDAN **")

    def assert_menu(self, menu, graphic_effect, mixer_device):
        items = menu["items"]
        self.assertEqual([items[str(i)]["text"] for i in range(1, 8)],
                         [sjis(t) for t in ("画像効果", "音量設定デバイス(&d)", "CDトレイを開く(&O)",
                                            "CDトレイを閉じる(&C)", "音楽CDを再生リストに追加(&A)",
                                            "バージョン情報を表示する(&V)", "終了(&Q)")])
        self.assertNotIn("8", items)
        self.assertEqual([items[str(i)]["id"] for i in (5, 6, 7)], [2003, 2004, 2000])
        self.assertEqual([(items[p]["text"], items[p]["id"], items[p]["checked"])
                          for p in ("1.1", "1.2")],
                         [(b"ON(&N)", 2002, graphic_effect == 1),
                          (b"OFF(&F)", 2001, graphic_effect == 0)])

        # One item per mixer device that Wine offers (up to 25), "index：name".
        mixers = self.metrics["mixers"][:25]
        self.assertGreater(len(mixers), 0, "Wine offers no mixer device (no sound server?)")
        listed = [items["2.%d" % (n + 1)] for n in range(len(mixers))]
        self.assertNotIn("2.%d" % (len(mixers) + 1), items)
        self.assertEqual([i["text"] for i in listed],
                         [str(n).encode() + sjis("：") + name for n, name in enumerate(mixers)])
        self.assertEqual([i["id"] for i in listed], [2080 + n for n in range(len(mixers))])
        self.assertEqual([n for n, i in enumerate(listed) if i["checked"]], [mixer_device])

        # Every drive of the prefix, in letter order, in both tray menus.
        letters = [chr(65 + i) for i in range(26) if self.metrics["drives"] & (1 << i)]
        for menu_index, base in ((3, 1955), (4, 1985)):
            listed = [items["%d.%d" % (menu_index, n + 1)] for n in range(len(letters))]
            self.assertEqual([i["text"] for i in listed], [("%s:\\" % c).encode() for c in letters])
            self.assertEqual([i["id"] for i in listed], [base + ord(c) for c in letters])
            self.assertNotIn("%d.%d" % (menu_index, len(letters) + 1), items)

    def assert_about_box(self, program, main):
        box = program.dialog()
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
        self.assertTrue({b"OK", b"Hollyphone", b"Version : 1.00"} <= texts, texts)
        self.assertIn(1005, [c["id"] for c in box["controls"]])

        self.display.key("Escape")  # ignored: the box stays
        time.sleep(1.0)
        self.assertIsNotNone(program.dialog(0), "Escape closed the About box")
        self.display.key("Return")  # the default button
        self.assertTrue(wait_until(lambda: program.inspector.window("#32770") is None, 10, 0.3),
                        "Enter did not close the About box")


class WineFirstRun(WineScenario):
    def test_yes_by_a_click_a_queue_the_menu_the_about_box_and_quit(self):
        playlist = self.prepare_queue()
        self.display.move(2, 2)
        program = self.start()

        question = program.answer_welcome(yes=True)
        self.assertEqual(question["title"], sjis("Hollyphoneへようこそ！"))
        self.assertEqual(question["owner"], 0)
        controls = {c["id"]: c for c in question["controls"]}
        self.assertEqual(controls[0xFFFF]["text"],
                         sjis("画像効果をONにしますか？ 画像効果にはCPU処理を多く使います"))
        self.assertEqual(sorted(i for i, c in controls.items()
                                if c["class"].lower() == b"button"), [IDYES, IDNO])
        self.display.move(2, 2)

        program.wait_main_window()
        main = program.main_record()
        self.assert_centred(main)
        time.sleep(1.5)
        image = program.screenshot()
        self.assert_skin_shown(image)
        # Wine's mixers offer no line the gauges look for: each gauge shows
        # its empty column from top to bottom.
        for gauge, (_, _, _, height, _, _) in GAUGES.items():
            self.assertEqual(len(gauge_rows_matching(image, self.sheet, gauge,
                                                     EMPTY_COLUMN_X[gauge])),
                             height, gauge + " gauge empty")
        self.assertGreater(band(image, TITLE_BAND).count(greenish), 50,
                           "the first queued title is shown")

        menu = self.open_menu(program)
        self.assert_menu(menu, graphic_effect=1, mixer_device=0)
        self.display.key("v")  # バージョン情報を表示する(&V)
        self.assert_about_box(program, main)

        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path), FIRST_RUN_SETTINGS)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), playlist)


class WineAudioCd(WineScenario):
    """A drive of the prefix whose root holds only track files is what an
    audio CD shows the program."""

    def add_audio_cd_drive(self, tracks):
        folder = os.path.join(self.launcher.working_folder, "audio-cd")
        os.makedirs(folder)
        for n in range(1, tracks + 1):
            with open(os.path.join(folder, "Track%02d.cda" % n), "wb") as track:
                track.write(b"RIFF" + bytes(40))
        session = self.launcher.session
        taken = session.drive_links()
        letter = next(c for c in "MNOPQRSTUVWXY" if c not in taken)
        link = os.path.join(session.prefix, "dosdevices", letter.lower() + ":")
        os.symlink(folder, link)
        self.addCleanup(os.remove, link)
        # Wine reads its drives when its session starts.
        session.stop()
        return letter

    def test_tracks_join_the_queue_and_stay_out_of_the_playlist(self):
        playlist = self.prepare_queue()
        settings = "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n"
        self.launcher.write_settings(settings)
        letter = self.add_audio_cd_drive(tracks=3)
        self.metrics = self.launcher.inspector(self.display).metrics()
        self.assertTrue(self.metrics["drives"] & (1 << (ord(letter) - 65)),
                        "Wine does not show the new drive")
        self.display.move(2, 2)
        program = self.start()
        program.wait_main_window()
        self.assertIsNone(program.dialog(2), "a question although the settings exist")

        # Graphic effect off (first item, its submenu, "OFF(&F)"); the menu is
        # built anew and lists the drive.
        self.open_menu(program)
        for key in ("Down", "Right", "f"):
            self.display.key(key)
            time.sleep(0.3)
        time.sleep(0.5)
        self.assert_menu(self.open_menu(program), graphic_effect=0, mixer_device=0)

        # Behind the two files the CD's tracks: file, file, track, each with
        # a title of its own.
        self.display.key("a")  # 音楽CDを再生リストに追加(&A)
        time.sleep(1.0)
        titles = [self.title(program)]
        for _ in range(2):
            program.click(*NEXT)
            self.display.move(2, 2)
            time.sleep(1.0)
            program.wait_main_window()  # a press also starts a move of the window
            titles.append(self.title(program))
        self.assertFalse(titles[1].same_as(titles[0]), "the second entry shows the first's title")
        self.assertFalse(titles[2].same_as(titles[0]), "no CD track joined the queue")
        self.assertFalse(titles[2].same_as(titles[1]), "the third shows the second's title")

        self.open_menu(program)
        self.display.key("q")  # 終了(&Q)
        self.assertEqual(program.wait_exit(15), 0)
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path),
                         settings.replace("GraphicEffect=1", "GraphicEffect=0").encode())
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), playlist,
                         "the CD's tracks are left out of the playlist")


class WinePlayback(WineScenario):
    """The play button through Wine's MCI to the sound server. Wine's mixers
    have no line for the gauges, and without a synthesiser its MIDI output
    is silent: those parts of the Linux scenario do not hold here."""

    def test_play_button_is_heard_and_starts_the_clock(self):
        sound = self.hold_sound()
        music = self.launcher.music_folder()
        mp3 = harness.write_tone_mp3(music)
        if mp3 is None:
            self.skipTest("lame is not installed")
        playlist = self.launcher.write_playlist([mp3])
        settings = "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"
        self.launcher.write_settings(settings)

        program = self.start(sound)
        program.wait_main_window()
        time.sleep(1.0)
        recorder = sound.recorder()
        recorder.start()
        time.sleep(0.5)
        silent_until = recorder.seconds_so_far()
        program.click(*PLAY)
        self.display.move(2, 2)
        time.sleep(3.0)
        playing = program.screenshot()
        loud_from, loud_until = recorder.seconds_so_far() - 2.0, recorder.seconds_so_far()
        time.sleep(1.2)
        later = program.screenshot()
        samples = recorder.stop()

        silence = rms(samples, 0.0, silent_until)
        tone = rms(samples, loud_from, loud_until)
        print("levels (rms): before play %.0f, MP3 %.0f" % (silence, tone))
        self.assertLess(silence, 30, "nothing plays before the play button")
        self.assertGreater(tone, 2000, "the MP3 is heard")
        self.assertAlmostEqual(pitch(samples, loud_from, loud_until), 440.0, delta=15.0)
        self.assertFalse(band(playing, STATUS_BAND).same_as(band(later, STATUS_BAND)),
                         "the play clock runs")

        self.quit(program)
        self.assertEqual(self.launcher.read_bytes(self.launcher.playlist_path), playlist)
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path),
                         settings.encode())
