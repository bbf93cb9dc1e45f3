"""The program as the desktop knows it, and the Debian package.

WindowIdentity runs on the build (ctest): the window's class is the desktop
entry's StartupWMClass and its icons are icon 101's images.

PackageContents and InstalledPackage check the package that
HOLLYPHONE_DEB names (scripts/test.sh's package stage builds it first):
its files and the desktop's validators, then the package unpacked into a
throw-away root and run there by an ordinary user (as root: "nobody")
from a folder of that user's own."""

import os
import pwd
import shutil
import struct
import subprocess
import tempfile
import time
import unittest
import zlib

import harness
from harness.program import WELCOME_TITLE
from harness.sound import rms
from program_scenarios import (FIRST_RUN_SETTINGS, PLAY, TITLE_BAND, ProgramScenario,
                               band, greenish)

SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DESKTOP_ENTRY = "usr/share/applications/hollyphone.desktop"
ICON_SIZES = (16, 32, 48, 128, 256)
WINDOW_ICON_SIZES = (16, 32, 48)
SETTINGS = "[CONFIG]\r\nGraphicEffect=0\r\nSoundDev=0\r\n"


def desktop_entry_value(path, key):
    with open(path, encoding="utf-8") as entry:
        for line in entry:
            if line.startswith(key + "="):
                return line.rstrip("\n").split("=", 1)[1]
    return None


def window_identity(display, window):
    """(WM_CLASS as a tuple, {size: ARGB words of _NET_WM_ICON})."""
    text = display.xprop(window.id, "-notype", "-f", "_NET_WM_ICON", "32c", "WM_CLASS",
                         "_NET_WM_ICON")
    klass, icons = (), {}
    for line in text.splitlines():
        name, _, value = line.partition(" = ")
        if name == "WM_CLASS":
            klass = tuple(part.strip().strip('"') for part in value.split(","))
        elif name == "_NET_WM_ICON":
            words = [int(word) for word in value.split(",")]
            while len(words) >= 2:
                width, height = words[0], words[1]
                icons[(width, height)] = words[2:2 + width * height]
                words = words[2 + width * height:]
    return klass, icons


def ico_images(path):
    """{(width, height): ARGB words, rows top-down} of a 32-bit icon file."""
    data = open(path, "rb").read()
    _, _, count = struct.unpack_from("<HHH", data, 0)
    images = {}
    for index in range(count):
        _, _, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
        header, width, height2 = struct.unpack_from("<IiI", data, offset)
        height = height2 // 2
        assert bits == 32, "the icon's images are 32-bit"
        rows = []
        for row in range(height - 1, -1, -1):
            start = offset + header + row * width * 4
            blue_green_red_alpha = data[start:start + width * 4]
            rows.extend(struct.unpack("<%dI" % width, blue_green_red_alpha))
        images[(width, height)] = rows
    return images


def png_image(path):
    """((width, height), ARGB words) of an 8-bit RGBA PNG without filters."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path + " is a PNG"
    position, idat, width, height = 8, b"", 0, 0
    while position < len(data):
        length, kind = struct.unpack_from(">I4s", data, position)
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack_from(">IIBB", body)
            assert (depth, colour) == (8, 6), path + " is 8-bit RGBA"
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    raw = zlib.decompress(idat)
    words = []
    for row in range(height):
        line = raw[row * (width * 4 + 1):(row + 1) * (width * 4 + 1)]
        assert line[0] == 0, "rows are not filtered"
        for x in range(width):
            red, green, blue, alpha = line[1 + 4 * x:5 + 4 * x]
            words.append(alpha << 24 | red << 16 | green << 8 | blue)
    return (width, height), words


class WindowIdentity(ProgramScenario):
    def test_the_window_has_the_desktop_entrys_class_and_icon_101(self):
        self.launcher.write_settings(SETTINGS)
        program = self.start()
        window = program.wait_main_window()
        klass, icons = window_identity(self.display, window)
        entry = os.path.join(SOURCE, "packaging", "hollyphone.desktop")
        self.assertEqual(klass, ("hollyphone",
                                 desktop_entry_value(entry, "StartupWMClass")))
        self.assertEqual(desktop_entry_value(entry, "Exec").split()[0], klass[0],
                         "the class's name is the command the entry starts")
        expected = ico_images(os.path.join(SOURCE, "resources", "hollyphone.ico"))
        self.assertEqual(sorted(icons), [(size, size) for size in WINDOW_ICON_SIZES])
        for size in WINDOW_ICON_SIZES:
            self.assertTrue(icons[(size, size)] == expected[(size, size)],
                            "the %d px window icon is icon 101's %d px image" % (size, size))


def deb_path():
    path = os.environ.get("HOLLYPHONE_DEB", "")
    if not path or not os.path.isfile(path):
        raise unittest.SkipTest("no package to check (HOLLYPHONE_DEB, scripts/package-deb.sh)")
    return os.path.abspath(path)


def tool_output(*command):
    if not shutil.which(command[0]):
        raise unittest.SkipTest(command[0] + " is not installed (scripts/install-deps.sh test)")
    result = subprocess.run(list(command), stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            check=False)
    return result.returncode, result.stdout.decode(errors="replace")


class PackageContents(unittest.TestCase):
    EXPECTED_FILES = sorted(
        ["usr/bin/hollyphone", DESKTOP_ENTRY,
         "usr/share/doc/hollyphone/changelog.gz", "usr/share/doc/hollyphone/copyright",
         "usr/share/hollyphone/image/parts.bmp", "usr/share/hollyphone/image/swbase1.bmp",
         "usr/share/man/man1/hollyphone.1.gz",
         "usr/share/metainfo/org.example.hollyphone.metainfo.xml"] +
        ["usr/share/icons/hicolor/%dx%d/apps/hollyphone.png" % (s, s) for s in ICON_SIZES])

    def setUp(self):
        self.deb = deb_path()
        self.root = tempfile.mkdtemp(prefix="hollyphone-deb-")
        self.addCleanup(shutil.rmtree, self.root, True)
        subprocess.run(["dpkg-deb", "-x", self.deb, self.root], check=True)

    def test_files_validators_and_lintian(self):
        files = sorted(os.path.relpath(os.path.join(folder, name), self.root)
                       for folder, _, names in os.walk(self.root) for name in names)
        self.assertEqual(files, self.EXPECTED_FILES)
        self.assertEqual(open(os.path.join(self.root, "usr/share/hollyphone/image/swbase1.bmp"),
                              "rb").read(),
                         open(os.path.join(SOURCE, "image/swbase1.bmp"), "rb").read())
        for size in ICON_SIZES:
            icon = "usr/share/icons/hicolor/%dx%d/apps/hollyphone.png" % (size, size)
            self.assertEqual(png_image(os.path.join(self.root, icon))[0], (size, size), icon)

        code, text = tool_output("desktop-file-validate", os.path.join(self.root, DESKTOP_ENTRY))
        self.assertEqual((code, text), (0, ""), "desktop-file-validate")
        for key in ("Name", "Comment", "Comment[ja]", "StartupWMClass"):
            self.assertTrue(desktop_entry_value(os.path.join(self.root, DESKTOP_ENTRY), key), key)
        code, text = tool_output("appstreamcli", "validate", "--no-net", os.path.join(
            self.root, "usr/share/metainfo/org.example.hollyphone.metainfo.xml"))
        self.assertEqual(code, 0, "appstreamcli validate --no-net\n" + text)
        code, text = tool_output("man", "--warnings", "-l", "-Tutf8", "-Z", os.path.join(
            self.root, "usr/share/man/man1/hollyphone.1.gz"))
        self.assertEqual(code, 0, "the manual page renders\n" + text)

        code, text = tool_output("apt-get", "install", "--simulate", "--no-install-recommends",
                                 self.deb)
        self.assertEqual(code, 0, "apt finds every dependency in the archive\n" + text)

        code, text = tool_output("lintian", "--tag-display-limit", "0", "--info", self.deb)
        print("lintian:\n" + text)
        errors = [line for line in text.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [], "lintian reports no errors")


class InstalledPackage(ProgramScenario):
    """An ordinary user starts the installed program in a folder of their
    own: it asks its first-run question once, plays, and keeps its files in
    the user's data folder only."""

    def setUp(self):
        deb = deb_path()
        if not shutil.which("xprop"):
            self.skipTest("xprop is not installed (x11-utils)")
        try:
            self.display = harness.XDisplay()
        except harness.DisplayMissing as missing:
            self.skipTest(str(missing))
        self.addCleanup(self.display.close)
        try:
            self.sound = harness.RestartableSoundServer()
        except harness.SoundMissing as missing:
            self.skipTest(str(missing))
        self.addCleanup(self.sound.close)

        self.top = tempfile.mkdtemp(prefix="hollyphone-installed-")
        self.addCleanup(shutil.rmtree, self.top, True)
        os.chmod(self.top, 0o755)
        self.root = os.path.join(self.top, "root")
        subprocess.run(["dpkg-deb", "-x", deb, self.root], check=True)
        self.music = self.mp3(os.path.join(self.top, "music"), "[Band] Tone.mp3")
        if os.getuid() == 0:
            os.chmod(self.sound.folder, 0o755)
            os.chmod(self.sound.address()[len("unix:"):], 0o777)
        self.client_config = os.path.join(self.top, "client.conf")
        with open(self.client_config, "w") as config:
            config.write("autospawn = no\n")
        os.chmod(self.client_config, 0o644)
        self.background = harness.Bitmap.load(
            os.path.join(self.root, "usr/share/hollyphone/image/swbase1.bmp"))

    def user_launcher(self, name, account):
        """A launcher for one user: a home, a session and a working folder
        of the user's own. As root the program runs as that account (None:
        root itself); otherwise as the developer, with a home of its own."""
        home, elsewhere, runtime = (os.path.join(self.top, name, part)
                                    for part in ("home", "elsewhere", "runtime"))
        for folder in (home, elsewhere, runtime):
            os.makedirs(folder, mode=0o700)
        command = [os.path.join(self.root, "usr/bin/hollyphone")]
        if os.getuid() == 0 and account:
            user = pwd.getpwnam(account)
            command = ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid,
                       "--clear-groups", "--"] + command
            for folder in (home, elsewhere, runtime):
                os.chown(folder, user.pw_uid, user.pw_gid)
        os.chmod(os.path.join(self.top, name), 0o755)
        environment = {"HOME": home, "XDG_RUNTIME_DIR": runtime, "XDG_DATA_HOME": "",
                       "XDG_CONFIG_HOME": "", "XDG_CACHE_HOME": "",
                       "PULSE_CLIENTCONFIG": self.client_config}
        launcher = harness.ProgramLauncher(
            command, os.path.join(home, ".local/share/hollyphone"), elsewhere,
            lambda path: "C:" + os.path.abspath(path).replace("/", "\\"), environment)
        launcher.home = home
        return launcher

    def mp3(self, folder, name):
        os.makedirs(folder)
        wav = os.path.join(folder, "tone.wav")
        harness.write_tone_wav(wav, 440.0, 20.0)
        path = os.path.join(folder, name)
        if not harness.encode_mp3(wav, path):
            self.skipTest("lame is not installed")
        os.unlink(wav)
        os.chmod(folder, 0o755)
        os.chmod(path, 0o644)
        return path

    def files_under(self, folder):
        found = {}
        for parent, folders, names in os.walk(folder):
            for name in folders + names:
                path = os.path.join(parent, name)
                found[os.path.relpath(path, folder)] = os.lstat(path).st_mtime_ns
        return found

    def start_installed(self, launcher, arguments=()):
        program = launcher.start(self.display, self.sound.environment(), arguments)
        self.addCleanup(program.stop)
        return program

    def test_an_ordinary_user_in_any_folder(self):
        installed_before = self.files_under(self.root)
        self.launcher = self.user_launcher("first", "nobody")
        self.data = self.launcher.executable_folder
        self.home = self.launcher.home
        self.elsewhere = self.launcher.working_folder

        # First start: the question, then the file from the command line plays.
        program = self.start_installed(self.launcher, [self.music])
        program.answer_welcome(yes=True)
        window = program.wait_main_window()
        time.sleep(1.0)
        self.assert_skin_shown(program.screenshot())
        self.assertGreater(band(program.screenshot(), TITLE_BAND).count(greenish), 50,
                           "the file from the command line is queued\n" + program.output())
        recorder = self.sound.recorder()
        recorder.start()
        program.click(*PLAY)
        time.sleep(3.0)
        heard = rms(recorder.stop(), 1.0, 2.5)
        print("level while playing (rms): %.0f" % heard)
        self.assertGreater(heard, 2000, "the queued MP3 is heard")

        klass, icons = window_identity(self.display, window)
        entry = os.path.join(self.root, DESKTOP_ENTRY)
        self.assertEqual(klass[1], desktop_entry_value(entry, "StartupWMClass"))
        for size in WINDOW_ICON_SIZES:
            icon = "usr/share/icons/hicolor/%dx%d/apps/hollyphone.png" % (size, size)
            self.assertTrue(icons.get((size, size)) == png_image(os.path.join(self.root,
                                                                             icon))[1],
                            "the window's %d px icon is the icon theme's" % size)
        self.quit(program)

        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path),
                         FIRST_RUN_SETTINGS)
        self.assertEqual(self.launcher.read_bytes(os.path.join(self.data, "default.m3u")),
                         self.launcher.windows_path(self.music).encode("cp932") + b"\r\n")
        self.assertEqual(os.readlink(os.path.join(self.data, "image")),
                         os.path.join(self.root, "usr/share/hollyphone/image"))

        # Second start: no question; the queue is back.
        program = self.start_installed(self.launcher)
        program.wait_main_window(timeout=20)
        self.assertEqual(self.display.windows("^" + WELCOME_TITLE + "$"), [])
        time.sleep(1.0)
        self.assertGreater(band(program.screenshot(), TITLE_BAND).count(greenish), 50,
                           "the saved queue is loaded")
        self.quit(program)

        self.assertEqual(self.files_under(self.elsewhere), {}, "nothing in the working folder")
        self.assertEqual(self.files_under(self.root), installed_before,
                         "nothing in the installation")
        self.assertEqual(sorted(os.listdir(self.data)), ["Hollyphone.ini", "default.m3u",
                                                         "image"])
        # Host libraries keep caches of their own (GStreamer's registry,
        # fontconfig, the sound server's cookie); the program itself writes
        # nowhere else in the home folder.
        libraries = (".cache", ".config/pulse")
        others = sorted(path for path in self.files_under(self.home)
                        if not path.startswith((".local/share/hollyphone",) + libraries)
                        and path not in (".local", ".local/share", ".config"))
        self.assertEqual(others, [])

        # Another user starts afresh, with settings of their own.
        other = self.user_launcher("second", None)
        program = self.start_installed(other)
        program.answer_welcome(yes=False)
        program.wait_main_window()
        self.quit(program)
        self.assertIn(b"GraphicEffect=0", other.read_bytes(other.settings_path))
        self.assertEqual(other.read_bytes(os.path.join(other.executable_folder, "default.m3u")),
                         b"")
        self.assertEqual(self.launcher.read_bytes(self.launcher.settings_path),
                         FIRST_RUN_SETTINGS)

    def test_a_home_that_cannot_hold_the_data_folder_stops_the_start_with_a_message(self):
        launcher = self.user_launcher("blocked", "nobody")
        with open(os.path.join(launcher.home, ".local"), "w") as blocking:
            blocking.write("a file where the folder would be\n")
        program = self.start_installed(launcher)
        box = self.display.wait_window("Hollyphone", 20, minimum_size=20)
        self.display.click(box.x + box.width // 2, box.y + box.height - 20)
        self.assertEqual(program.wait_exit(10), 1, program.output())
        self.assertIn(".local/share/hollyphone", program.output())
        self.assertEqual(sorted(self.files_under(launcher.home)), [".local"],
                         "nothing was written")
        self.assertEqual(self.files_under(launcher.working_folder), {})
