"""The window inspector (tests/windows/inspector) seen from the host: the
platform's own view of another Wine program's windows, controls and open
menu. Texts come back as code page 932 bytes."""

import os


def _text(field):
    return b"" if field == "-" else bytes.fromhex(field)


class Inspector:
    def __init__(self, session, env=None):
        """env: the environment of its runs (the display of the program)."""
        self.session = session
        self.env = env
        self.program = os.path.join(session.build_dir, "tests", "windows",
                                    "hp_windows_inspector.exe")

    def _lines(self, *arguments):
        result = self.session.run(self.program, *arguments, timeout=60, env=self.env)
        return result.returncode, result.stdout.splitlines()

    def metrics(self):
        _, lines = self._lines("metrics")
        found = {"mixers": []}
        for line in lines:
            parts = line.split()
            if parts[0] in ("screen", "full-screen"):
                found[parts[0]] = (int(parts[1]), int(parts[2]))
            elif parts[0] == "code-page":
                found["code-page"] = int(parts[1])
            elif parts[0] == "drives":
                found["drives"] = int(parts[1], 16)
            elif parts[0] == "mixer":
                found["mixers"].append(_text(parts[2]))
        return found

    def window(self, class_name="-", title="-", with_controls=False):
        """The window's record, or None when there is no such window."""
        code, lines = self._lines("controls" if with_controls else "window", class_name, title)
        if code != 0:
            return None
        return self._window_record(lines)

    @staticmethod
    def _window_record(lines):
        record = {"controls": []}
        for line in lines:
            parts = line.split()
            if not parts:
                continue
            if parts[0] in ("frame", "client"):
                record[parts[0]] = tuple(int(v) for v in parts[1:5])
            elif parts[0] == "client-origin":
                record["client-origin"] = (int(parts[1]), int(parts[2]))
            elif parts[0] in ("handle", "owner", "visible"):
                record[parts[0]] = int(parts[1])
            elif parts[0] in ("class", "title"):
                record[parts[0]] = _text(parts[1])
            elif parts[0] == "control":
                record["controls"].append({
                    "id": int(parts[1]) & 0xFFFF,
                    "class": _text(parts[2]),
                    "text": _text(parts[3]),
                    "style": int(parts[4], 16),
                    "rect": tuple(int(v) for v in parts[5:9]),
                })
        return record

    def popups(self):
        """(handle, left, top, right, bottom) of each open popup menu."""
        _, lines = self._lines("popups")
        return [tuple(int(v) for v in line.split()[1:6]) for line in lines
                if line.startswith("popup ")]

    def menu(self):
        """The open popup menu as {"window": record, "items": {path: item}},
        path "1", "2.3", ...; None when no menu is open."""
        code, lines = self._lines("menu")
        if code != 0:
            return None
        items = {}
        for line in lines:
            parts = line.split()
            if parts and parts[0] == "item":
                items[parts[1]] = {"id": int(parts[3]), "checked": parts[5] == "1",
                                   "text": _text(parts[7])}
        return {"window": self._window_record(lines), "items": items}

    def app_command(self, class_name, command):
        """Sends WM_APPCOMMAND to the window; its answer, None without it."""
        code, lines = self._lines("appcommand", class_name, str(command))
        if code != 0 or not lines or not lines[-1].startswith("result "):
            return None
        return int(lines[-1].split()[1])
