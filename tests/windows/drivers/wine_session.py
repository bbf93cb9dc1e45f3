"""Running the Windows build's programs under Wine from the host.

Every program goes through the build's session script (wine-session.sh, made
from tests/windows/wine_session.sh.in): the build's own 32-bit prefix and
the Japanese locale. This module adds what a host-side driver needs around
it: Windows names for host paths, starting and ending programs, and the
prefix's drive table.
"""

import os
import subprocess
import tempfile
import time


class WineSession:
    def __init__(self, build_dir):
        self.build_dir = os.path.abspath(build_dir)
        self.script = os.path.join(self.build_dir, "wine-session.sh")
        self.prefix = os.path.join(self.build_dir, "wineprefix")
        if not os.access(self.script, os.X_OK):
            raise FileNotFoundError(f"{self.script} is missing: configure the Windows build")

    def prepare(self):
        subprocess.run([self.script, "--prepare"], check=True)

    def stop(self):
        """Ends the prefix's wineserver and every program still running in it."""
        subprocess.run([self.script, "--stop"], check=False)

    # ----- drives -----

    def drive_links(self):
        """Drive letter ("C") -> host folder, as the prefix maps them."""
        folder = os.path.join(self.prefix, "dosdevices")
        links = {}
        for name in os.listdir(folder):
            if len(name) == 2 and name[1] == ":" and name[0].isalpha():
                path = os.path.join(folder, name)
                if os.path.islink(path):
                    links[name[0].upper()] = os.path.realpath(path)
        return links

    def windows_path(self, host_path):
        """The name under which a Wine program sees a host path (the drive
        whose folder holds it most closely)."""
        host_path = os.path.realpath(host_path)
        best = None
        for letter, folder in self.drive_links().items():
            if host_path == folder or host_path.startswith(folder.rstrip("/") + "/"):
                if best is None or len(folder) > len(best[1]):
                    best = (letter, folder)
        if best is None:
            raise ValueError(f"no Wine drive holds {host_path}")
        letter, folder = best
        rest = host_path[len(folder):].lstrip("/")
        return f"{letter}:\\" + rest.replace("/", "\\")

    # ----- programs -----

    def command(self, program, *arguments):
        return [self.script, program, *arguments]

    def run(self, program, *arguments, cwd=None, timeout=120, env=None):
        """Runs a program to its end; returns the CompletedProcess (text).

        The output goes through files, not pipes: the first Wine program of
        a session starts the session's background programs, which inherit
        its output and keep a pipe open long after the program has ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            process = subprocess.run(self.command(program, *arguments), cwd=cwd,
                                     timeout=timeout, env=env, stdout=out, stderr=err)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(
                process.args, process.returncode,
                out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace"))

    def start(self, program, *arguments, cwd=None, env=None, log=None):
        """Starts a program and returns its Popen; output goes to `log` (a
        file object) or is dropped."""
        sink = log if log is not None else subprocess.DEVNULL
        return subprocess.Popen(self.command(program, *arguments), cwd=cwd, env=env,
                                stdout=sink, stderr=sink)


def wait_until(condition, timeout, interval=0.1):
    """Polls `condition` until it gives a true value or `timeout` seconds
    pass; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)
