"""A private X server for one test, and the user at it: xdotool for the
pointer, the keyboard and the windows, ImageMagick's import for the screen.

The program never shows on anybody's desktop: each XDisplay starts an Xvfb
of its own (1280 x 1024, 24-bit), so tests may run side by side."""

import os
import re
import select
import shutil
import subprocess
import time

from .images import Image


class DisplayMissing(Exception):
    """No display for a window test; the message says why."""


class Window:
    def __init__(self, window_id, name, x, y, width, height):
        self.id = window_id
        self.name = name
        self.x, self.y, self.width, self.height = x, y, width, height

    def __repr__(self):
        return "Window(%s %r at %d,%d %dx%d)" % (self.id, self.name, self.x, self.y,
                                                 self.width, self.height)


class XDisplay:
    def __init__(self):
        if not os.environ.get("DISPLAY"):
            raise DisplayMissing("DISPLAY is not set: run under scripts/with-display.sh")
        for tool in ("Xvfb", "xdotool", "import"):
            if not shutil.which(tool):
                raise DisplayMissing(tool + " is not installed (scripts/install-deps.sh test)")
        # Xvfb picks a free display number itself and says which once it
        # takes connections: servers started side by side never share one.
        ready, told = os.pipe()
        try:
            self._server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(told), "-screen", "0", "1280x1024x24",
                 "-nolisten", "tcp", "-ac"],
                pass_fds=(told,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(told)
            number = b""
            while not number.endswith(b"\n") and select.select([ready], [], [], 10)[0]:
                chunk = os.read(ready, 16)
                if not chunk:
                    break
                number += chunk
        finally:
            os.close(ready)
        if not number.strip().isdigit():
            self.close()
            raise DisplayMissing("Xvfb did not start")
        self.number = int(number)
        self.name = ":%d" % self.number

    def close(self):
        if self._server and self._server.poll() is None:
            self._server.terminate()
            try:
                self._server.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._server.kill()
                self._server.wait()
        self._server = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def environment(self):
        """What a program needs to show its windows here."""
        return {"DISPLAY": self.name, "GDK_BACKEND": "x11", "NO_AT_BRIDGE": "1"}

    def _run(self, *arguments, check=True):
        env = dict(os.environ, **self.environment())
        result = subprocess.run(list(arguments), env=env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, check=False)
        if check and result.returncode != 0:
            raise RuntimeError("%s failed: %s" % (" ".join(arguments),
                                                  result.stderr.decode(errors="replace")))
        return result.stdout

    def xdotool(self, *arguments, check=True):
        return self._run("xdotool", *[str(a) for a in arguments], check=check).decode()

    # ----- windows -----

    def windows(self, name_pattern=""):
        """Visible windows whose name matches the regular expression."""
        found = []
        ids = self.xdotool("search", "--onlyvisible", "--name", name_pattern, check=False).split()
        for window_id in ids:
            geometry = self.xdotool("getwindowgeometry", "--shell", window_id, check=False)
            values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
            if "WIDTH" not in values:
                continue
            name = self.xdotool("getwindowname", window_id, check=False).rstrip("\n")
            found.append(Window(window_id, name, int(values["X"]), int(values["Y"]),
                                int(values["WIDTH"]), int(values["HEIGHT"])))
        return found

    def wait_window(self, exact_name, timeout=15.0, minimum_size=2):
        deadline = time.monotonic() + timeout
        pattern = "^" + re.escape(exact_name) + "$"
        while time.monotonic() < deadline:
            for window in self.windows(pattern):
                if window.width >= minimum_size and window.height >= minimum_size:
                    return window
            time.sleep(0.1)
        raise AssertionError("no window named %r appeared within %.0f s" % (exact_name, timeout))

    def xprop(self, window_id, *arguments):
        """xprop's report on a window's properties (x11-utils)."""
        return self._run("xprop", "-id", str(window_id), *arguments).decode()

    # ----- the user -----

    def move(self, x, y):
        self.xdotool("mousemove", x, y)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def key(self, *keys):
        self.xdotool("key", *keys)

    # ----- the screen -----

    def screenshot(self):
        return Image.from_ppm(self._run("import", "-window", "root", "-depth", "8", "ppm:-"))
