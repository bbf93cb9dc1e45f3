"""The program under test, started from folders of its own.

A ProgramLauncher says how: the command line, the executable's folder
(where the program keeps its settings file) and the working folder (where
it finds image/ and default.m3u), and how a host path is written as the
program sees it. linux_launcher makes one for the Linux build; a launcher
for the Windows build under Wine differs only in the command (wine before
the executable), the environment and the path form (Z:)."""

import os
import shutil
import subprocess
import tempfile
import time

MAIN_WINDOW_TITLE = "** Hollyphone *** Ver1.00  VELDAN **"
WELCOME_TITLE = "Hollyphoneへようこそ！"
SETTINGS_NAME = "Hollyphone.ini"
PLAYLIST_NAME = "default.m3u"


class ProgramLauncher:
    def __init__(self, command, executable_folder, working_folder, windows_path,
                 environment=None, root=None):
        self.command = list(command)
        self.executable_folder = executable_folder
        self.working_folder = working_folder
        self.windows_path = windows_path  # host path -> the program's path text
        self.environment = dict(environment or {})
        self._root = root  # removed by cleanup()

    @property
    def settings_path(self):
        return os.path.join(self.executable_folder, SETTINGS_NAME)

    @property
    def playlist_path(self):
        return os.path.join(self.working_folder, PLAYLIST_NAME)

    def music_folder(self):
        folder = os.path.join(self.working_folder, "music")
        os.makedirs(folder, exist_ok=True)
        return folder

    def write_settings(self, text):
        with open(self.settings_path, "wb") as handle:
            handle.write(text.encode("cp932"))

    def write_playlist(self, host_paths):
        lines = b"".join(self.windows_path(path).encode("cp932") + b"\r\n"
                         for path in host_paths)
        with open(self.playlist_path, "wb") as handle:
            handle.write(lines)
        return lines

    def read_bytes(self, path):
        with open(path, "rb") as handle:
            return handle.read()

    def start(self, display, sound_environment=None, arguments=()):
        """arguments: the program's command-line arguments after its name."""
        env = dict(os.environ)
        env.update(display.environment())
        env.update(sound_environment or {})
        env.update(self.environment)
        return RunningProgram(self, display, env, arguments)

    def cleanup(self):
        if self._root:
            shutil.rmtree(self._root, ignore_errors=True)
            self._root = None


def linux_launcher(program, skin_folder):
    """A copy of the Linux executable in a temporary folder of its own, and
    a working folder holding a copy of the skin. Each launcher is a user
    session of its own (its own XDG_RUNTIME_DIR), so programs of tests side
    by side never meet as one user's players."""
    root = tempfile.mkdtemp(prefix="hollyphone-e2e-")
    executable_folder = os.path.join(root, "bin")
    working_folder = os.path.join(root, "work")
    runtime_folder = os.path.join(root, "runtime")
    os.makedirs(executable_folder)
    os.makedirs(working_folder)
    os.makedirs(runtime_folder, mode=0o700)
    executable = os.path.join(executable_folder, os.path.basename(program))
    shutil.copy2(program, executable)
    shutil.copytree(skin_folder, os.path.join(working_folder, "image"))
    return ProgramLauncher([executable], executable_folder, working_folder,
                           lambda path: "C:" + os.path.abspath(path).replace("/", "\\"),
                           environment={"XDG_RUNTIME_DIR": runtime_folder,
                                        # the user's data (kept mixer levels): never the developer's
                                        "XDG_DATA_HOME": os.path.join(root, "data"),
                                        # no session bus unless a test gives its own
                                        "DBUS_SESSION_BUS_ADDRESS": ""},
                           root=root)


class RunningProgram:
    def __init__(self, launcher, display, env, arguments=()):
        self.launcher = launcher
        self.display = display
        self._log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(launcher.command + list(arguments),
                                        cwd=launcher.working_folder, env=env,
                                        stdout=self._log, stderr=subprocess.STDOUT)
        self.started_at = time.monotonic()
        self.window = None

    def output(self):
        self._log.seek(0)
        return self._log.read().decode(errors="replace")

    def wait_main_window(self, timeout=20.0):
        self.window = self.display.wait_window(MAIN_WINDOW_TITLE, timeout, minimum_size=100)
        return self.window

    def answer_welcome(self, yes=True, timeout=20.0):
        """Clicks a button of the first-run question: the dialog's buttons
        share its bottom row, Yes on the left, No on the right."""
        box = self.display.wait_window(WELCOME_TITLE, timeout, minimum_size=20)
        x = box.x + box.width // 4 if yes else box.x + box.width * 3 // 4
        self.display.click(x, box.y + box.height - 12)
        return box

    def client_point(self, x, y):
        return self.window.x + x, self.window.y + y

    def click(self, x, y, button=1):
        self.display.click(*self.client_point(x, y), button=button)

    def move(self, x, y):
        self.display.move(*self.client_point(x, y))

    def screenshot(self):
        """The window's client area as the screen shows it."""
        return self.display.screenshot().crop(self.window.x, self.window.y, self.window.width,
                                              self.window.height)

    def popup_windows(self):
        """Open popup menus, oldest first: the program's unnamed small
        windows apart from the main one."""
        windows = [w for w in self.display.windows(".")
                   if w.name != MAIN_WINDOW_TITLE and w.width > 20 and w.height > 20]
        return sorted(windows, key=lambda w: int(w.id))

    def wait_popups(self, count, timeout=5.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            popups = self.popup_windows()
            if len(popups) >= count:
                return popups
            time.sleep(0.05)
        raise AssertionError("%d popup menu(s) did not open" % count)

    def alive(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=10.0):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.alive():
            self.process.kill()
            self.process.wait()


def menu_item_point(menu_window, index, count):
    """The middle of item `index` of a popup menu of `count` text items that
    share its height evenly."""
    item_height = menu_window.height / count
    return (menu_window.x + menu_window.width // 2,
            int(menu_window.y + item_height * (index + 0.5)))
