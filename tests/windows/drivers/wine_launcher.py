"""The end-to-end harness of tests/e2e (harness.ProgramLauncher and
RunningProgram) for the Windows build under Wine.

The program is a copy of Hollyphone.exe in a folder of its own inside the
prefix's C: drive, started through the build's Wine session script. Where
the harness finds things by X window names, Wine's program is asked through
the platform instead (the window inspector): the exact place of the
first-run question's buttons, the open popup menus, the menu's items.

The scenarios run one at a time (ctest RUN_SERIAL): each starts the Wine
session afresh on its own private X display and ends it afterwards."""

import os
import shutil
import tempfile

import harness
from harness.display import Window
from inspector import Inspector
from wine_session import WineSession, wait_until

IDYES, IDNO = 6, 7


class WineLauncher(harness.ProgramLauncher):
    def __init__(self, session, program, skin_folder):
        self.session = session
        root = tempfile.mkdtemp(dir=os.path.join(session.prefix, "drive_c"), prefix="hp-e2e-")
        executable_folder = os.path.join(root, "program")
        working_folder = os.path.join(root, "work")
        os.makedirs(executable_folder)
        os.makedirs(working_folder)
        executable = os.path.join(executable_folder, "Hollyphone.exe")
        shutil.copy2(program, executable)
        shutil.copytree(skin_folder, os.path.join(working_folder, "image"))
        super().__init__([session.script, session.windows_path(executable)], executable_folder,
                         working_folder, session.windows_path, root=root)
        # A session started elsewhere would keep another display.
        session.stop()

    def start(self, display, sound_environment=None, arguments=()):
        env = dict(os.environ)
        env.update(display.environment())
        env.update(sound_environment or {})
        env.update(self.environment)
        return WineRunningProgram(self, display, env, arguments)

    def inspector(self, display):
        return Inspector(self.session, dict(os.environ, **display.environment()))

    def cleanup(self):
        self.session.stop()
        super().cleanup()


class WineRunningProgram(harness.RunningProgram):
    def __init__(self, launcher, display, env, arguments=()):
        self.inspector = launcher.inspector(display)
        super().__init__(launcher, display, env, arguments)

    def dialog(self, timeout=10.0):
        """The record of the open dialog box (a message box or the About
        box) with its controls, or None."""
        return wait_until(lambda: self.inspector.window("#32770", with_controls=True),
                          timeout, 0.3)

    def answer_welcome(self, yes=True, timeout=60.0):
        """Clicks Yes or No of the first-run question where the platform says
        the button is; returns the question's record."""
        box = self.dialog(timeout)
        if box is None:
            raise AssertionError("the first-run question did not come")
        buttons = {c["id"]: c for c in box["controls"]}
        left, top, right, bottom = buttons[IDYES if yes else IDNO]["rect"]
        self.display.click((left + right) // 2, (top + bottom) // 2)
        return box

    def popup_windows(self):
        windows = []
        for handle, left, top, right, bottom in self.inspector.popups():
            windows.append(Window(str(handle), "", left, top, right - left, bottom - top))
        return sorted(windows, key=lambda w: int(w.id))

    def menu(self, timeout=10.0):
        """The open popup menu's items, read inside the program."""
        return wait_until(self.inspector.menu, timeout, 0.3)

    def main_record(self):
        return self.inspector.window("Hoollyphone")


def wine_launcher_factory(build_dir, skin_folder):
    session = WineSession(build_dir)
    session.prepare()
    program = os.path.join(build_dir, "app", "Hollyphone.exe")
    return lambda: WineLauncher(session, program, skin_folder)
