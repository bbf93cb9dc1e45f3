#!/usr/bin/env python3
"""The running program's cost, measured from outside, beside Audacious (its
skinned Winamp-classic interface) and a windowless gst-launch-1.0 playbin
(the floor: what playing the file costs without any interface), all in one
run. Each player runs on an Xvfb and a PulseAudio null sink of its own, so
that the CPU of its X server and of its sound server can be counted with it.

  - CPU over the measuring time, as a share of one core, of the player, its
    X server and its sound server together: Hollyphone idle with the
    graphic effect on, Hollyphone playing an MP3, Audacious playing the same
    MP3, playbin playing it;
  - memory: PSS (/proc/PID/smaps_rollup: shared pages divided among the
    processes that map them) and RSS, in MB of 2^20 bytes;
  - what playing a General MIDI file adds to the memory of playing the MP3;
  - start-up to the first painted frame with a 1,000-entry playlist and
    with an empty one, beside Audacious's start-up to its first frame.

    frontpanel_bench.py <program> <skin folder> [seconds]

Prints the table and each goal beside its figure; not a test. Run it under
scripts/with-display.sh (scripts/bench.sh does); it starts the X and sound
servers it measures itself. CPU and start-up figures vary with the load of
the machine (the load average is printed with them); PSS varies with the
other processes that map the same libraries and fonts (their pages are
divided among them), RSS does not."""

import ctypes
import ctypes.util
import os
import re
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))

import harness  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
PLAY = (540, 430)
NEXT = (498, 313)
# The CD gauge's full column on the sprite sheet, drawn by the first paint.
CD_GAUGE = (557, 67, 14, 219)
CD_FULL_COLUMN = (186, 74)
SETTINGS = "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n"
STARTS = 5  # start-up runs of each kind; the median is reported

# Goals, as figures from this one run.
IDLE_GOAL_PERCENT = 0.5       # player and X server, idle with the effect on
INTERFACE_GOAL_RATIO = 0.5    # interface cost playing, against Audacious's
PLAYING_PSS_GOAL_RATIO = 1.1  # PSS playing, against Audacious's playing
MIDI_PSS_GOAL_MB = 30.0       # PSS a MIDI file adds to playing an MP3
STARTUP_GOAL_MS = 120.0       # first painted frame, 1,000 queued files


# ------------------------------------------------------------ figures ----

def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as handle:
        fields = handle.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def memory_mb(pid):
    """(PSS, RSS) of a process in MB."""
    figures = {}
    with open("/proc/%d/smaps_rollup" % pid) as handle:
        for line in handle:
            match = re.match(r"(Pss|Rss):\s+(\d+) kB", line)
            if match:
                figures[match.group(1)] = int(match.group(2)) / 1024.0
    return figures.get("Pss", 0.0), figures.get("Rss", 0.0)


def cpu_shares(processes, seconds):
    """Share of one core, in percent, that each named process used over the
    same `seconds`."""
    start = {name: cpu_seconds(pid) for name, pid in processes.items()}
    began = time.monotonic()
    time.sleep(seconds)
    elapsed = time.monotonic() - began
    return {name: 100.0 * (cpu_seconds(pid) - start[name]) / elapsed
            for name, pid in processes.items()}


def load_average():
    return os.getloadavg()[0]


class Row:
    def __init__(self, name, shares, pss, rss):
        self.name, self.shares, self.pss, self.rss = name, shares, pss, rss

    @property
    def total(self):
        return sum(self.shares.values())

    def cpu_text(self):
        parts = ", ".join("%s %.2f" % (name, share) for name, share in self.shares.items())
        return "%.2f %% (%s)" % (self.total, parts)


def verdict(met):
    return "met" if met else "NOT met"


# ------------------------------------------------------------ servers ----

class Servers:
    """An Xvfb and a PulseAudio null sink for one player."""

    def __init__(self):
        self.display = harness.XDisplay()
        try:
            self.sound = harness.RestartableSoundServer()
        except harness.SoundMissing:
            self.display.close()
            raise

    def processes(self, player_pid, with_display=True):
        processes = {"player": player_pid}
        if with_display:
            processes["X"] = self.display._server.pid
        processes["sound"] = self.sound._process.pid
        return processes

    def environment(self):
        return self.sound.environment()

    def close(self):
        self.sound.close()
        self.display.close()


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def colours_of(raw):
    """Blue, green, red of each 4-byte pixel the X server sends."""
    colours = bytearray(len(raw) // 4 * 3)
    for channel in range(3):
        colours[channel::3] = raw[channel::4]
    return bytes(colours)


class ScreenReader:
    """Reads pixels of the root window straight from the X server: a
    screenshot through ImageMagick takes tens of milliseconds, this a
    fraction of one, so a first frame is timed to the millisecond."""

    ALL_PLANES = 0xFFFFFFFF
    Z_PIXMAP = 2

    def __init__(self, display_name):
        self._x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self._x.XOpenDisplay.restype = ctypes.c_void_p
        self._x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x.XDefaultRootWindow.restype = ctypes.c_ulong
        self._x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self._x.XGetImage.restype = ctypes.POINTER(XImage)
        self._x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self._x.XFree.argtypes = [ctypes.c_void_p]
        self._x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._display = self._x.XOpenDisplay(display_name.encode())
        if not self._display:
            raise RuntimeError("cannot open display " + display_name)
        self._root = self._x.XDefaultRootWindow(self._display)

    def raw(self, left, top, width, height):
        """The region's pixels, 4 bytes each (blue, green, red, unused),
        row after row."""
        image = self._x.XGetImage(self._display, self._root, left, top, width, height,
                                  self.ALL_PLANES, self.Z_PIXMAP)
        if not image:
            return None
        try:
            info = image.contents
            if info.bits_per_pixel != 32:
                raise RuntimeError("a 32-bit screen is expected")
            data = ctypes.string_at(info.data, info.bytes_per_line * height)
            stride = info.bytes_per_line
        finally:
            self._x.XFree(image.contents.data)
            self._x.XFree(image)
        if stride == width * 4:
            return data
        return b"".join(data[y * stride:y * stride + width * 4] for y in range(height))

    def close(self):
        if self._display:
            self._x.XCloseDisplay(self._display)
            self._display = None


# -------------------------------------------------------------- media ----

def make_mp3(folder, seconds):
    wav = os.path.join(folder, "tone.wav")
    if shutil.which("sox"):
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth",
                        str(seconds), "sine", "440", "vol", "0.5"], check=True)
    else:
        harness.write_tone_wav(wav, 440.0, seconds)
    mp3 = os.path.join(folder, "[Band] Tone.mp3")
    if not harness.encode_mp3(wav, mp3):
        return None
    os.unlink(wav)
    return mp3


def _variable_length(value):
    data = [value & 0x7F]
    value >>= 7
    while value:
        data.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(data)


# General MIDI pieces: (channel, program or None for the drum kit, keys).
PIANO_PIECE = [(0, 0, (60, 64, 67))]
ENSEMBLE_PIECE = [(0, 0, (60, 64, 67)), (1, 48, (72, 76)), (2, 33, (36,)), (9, None, (36, 42))]


def write_midi_piece(path, seconds, parts):
    """A General MIDI piece, a chord of each part every half second: the
    piano alone, or piano, strings, bass and the drum kit (channel 10)."""
    track = bytearray()
    for channel, program, _ in parts:
        if program is not None:
            track += _variable_length(0) + bytes([0xC0 | channel, program])
    half_second = 480  # ticks, at 120 beats per minute and 480 ticks a beat
    for step in range(int(seconds * 2)):
        shift = (0, 5, 7, 3)[step % 4]
        for channel, _, keys in parts:
            for key in keys:
                key = key if channel == 9 else key + shift
                track += _variable_length(0) + bytes([0x90 | channel, key, 100])
        first = True
        for channel, _, keys in parts:
            for key in keys:
                key = key if channel == 9 else key + shift
                track += _variable_length(half_second if first else 0)
                track += bytes([0x80 | channel, key, 0])
                first = False
    track += _variable_length(0) + b"\xFF\x2F\x00"
    with open(path, "wb") as handle:
        handle.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" +
                     struct.pack(">I", len(track)) + bytes(track))


# -------------------------------------------------------------- rows ----

def hollyphone_rows(launcher, seconds, pieces):
    """Idle, playing the MP3 (first in the queue), then the PSS while
    playing each MIDI piece queued after it; and where the window opens
    (the start-up runs watch that place)."""
    servers = Servers()
    try:
        program = launcher.start(servers.display, servers.environment())
        program.wait_main_window(timeout=60)
        window = (program.window.x, program.window.y)
        time.sleep(3.0)
        processes = servers.processes(program.process.pid)
        idle = Row("Hollyphone idle, effect on", cpu_shares(processes, seconds),
                   *memory_mb(program.process.pid))
        program.click(*PLAY)
        time.sleep(3.0)
        playing = Row("Hollyphone playing an MP3", cpu_shares(processes, seconds),
                      *memory_mb(program.process.pid))
        streams = servers.sound.stream_count()
        midi_pss = []
        for _ in range(pieces):
            program.click(*NEXT)
            time.sleep(5.0)
            midi_pss.append(memory_mb(program.process.pid)[0])
        program.stop()
        return idle, playing, streams, midi_pss, window
    finally:
        servers.close()


def prepare_audacious(home):
    """A first headless start writes the plugin registry; then the skinned
    interface replaces the default one. The environment to start it with,
    or the reason it cannot be measured."""
    if not shutil.which("audacious"):
        return None, "audacious is not installed"
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    env.pop("PULSE_SERVER", None)
    subprocess.run(["timeout", "5", "audacious", "-H"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)
    registry = os.path.join(home, ".config", "audacious", "plugin-registry")
    if not os.path.exists(registry):
        return None, "audacious wrote no plugin registry"
    with open(registry) as handle:
        entries = handle.read().split("\n")
    current = None
    for i, line in enumerate(entries):
        if line.startswith("iface "):
            current = line
        elif line.startswith("enabled ") and current:
            entries[i] = "enabled %d" % (1 if current.endswith("/General/skins.so") else 0)
    with open(registry, "w") as handle:
        handle.write("\n".join(entries))
    return env, ""


def audacious_row(env, mp3, seconds):
    servers = Servers()
    try:
        run_env = dict(env)
        run_env.update(servers.display.environment())
        run_env.update(servers.environment())
        process = subprocess.Popen(["audacious", "-G", "-p", mp3], env=run_env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(4.0)
            if process.poll() is not None:
                return None, "audacious ended at once"
            if servers.sound.stream_count() == 0:
                return None, "audacious plays nothing to its sound server"
            row = Row("Audacious, skinned interface, same MP3",
                      cpu_shares(servers.processes(process.pid), seconds),
                      *memory_mb(process.pid))
            return row, ""
        finally:
            process.kill()
            process.wait()
    finally:
        servers.close()


def playbin_row(mp3, seconds):
    if not shutil.which("gst-launch-1.0"):
        return None, "gst-launch-1.0 is not installed"
    servers = Servers()
    try:
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env.update(servers.environment())
        process = subprocess.Popen(["gst-launch-1.0", "-q", "playbin", "uri=file://" + mp3],
                                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(3.0)
            if process.poll() is not None:
                return None, "playbin ended at once"
            row = Row("`gst-launch-1.0 playbin`, same MP3, no window (the floor)",
                      cpu_shares(servers.processes(process.pid, with_display=False), seconds),
                      *memory_mb(process.pid))
            return row, ""
        finally:
            process.kill()
            process.wait()
    finally:
        servers.close()


# ----------------------------------------------------------- start-up ----

def hollyphone_first_paint(launcher, servers, window, sheet):
    """Seconds from the start of the process to the first frame on the
    screen that shows the painted gauges."""
    left, top, width, height = CD_GAUGE
    expected = bytes(channel for y in range(height) for x in range(width)
                     for channel in reversed(sheet.pixel(CD_FULL_COLUMN[0] + x,
                                                         CD_FULL_COLUMN[1] + y)))
    reader = ScreenReader(servers.display.name)
    try:
        started = time.monotonic()
        program = launcher.start(servers.display, servers.environment())
        try:
            while time.monotonic() - started < 60:
                shown = reader.raw(window[0] + left, window[1] + top, width, height)
                if shown and colours_of(shown) == expected:
                    return time.monotonic() - started
                time.sleep(0.001)
            return float("nan")
        finally:
            program.stop()
    finally:
        reader.close()


def audacious_first_frames(env, servers, runs):
    """Seconds from the start of Audacious to the first frame on the screen
    that shows its skinned main window as it stands once settled (nine in
    ten of the pixels where it differs from the bare screen), for each run."""
    width, height = 1280, 1024
    reader = ScreenReader(servers.display.name)
    run_env = dict(env)
    run_env.update(servers.display.environment())
    run_env.update(servers.environment())

    def start():
        return subprocess.Popen(["audacious", "-G"], env=run_env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def end(process):
        process.kill()
        process.wait()
        time.sleep(0.5)

    try:
        bare = colours_of(reader.raw(0, 0, width, height))
        process = start()
        time.sleep(5.0)
        settled = colours_of(reader.raw(0, 0, width, height))
        end(process)
        drawn = [at for at in range(0, len(settled), 3) if settled[at:at + 3] != bare[at:at + 3]]
        if not drawn:
            return []
        top, bottom = drawn[0] // (width * 3), drawn[-1] // (width * 3) + 1
        offset = top * width * 3
        times = []
        for _ in range(runs):
            started = time.monotonic()
            process = start()
            try:
                while time.monotonic() - started < 30:
                    shown = colours_of(reader.raw(0, top, width, bottom - top))
                    same = sum(1 for at in drawn
                               if shown[at - offset:at - offset + 3] == settled[at:at + 3])
                    if same * 10 >= len(drawn) * 9:
                        times.append(time.monotonic() - started)
                        break
                    time.sleep(0.001)
            finally:
                end(process)
        return times
    finally:
        reader.close()


# --------------------------------------------------------------- main ----

def print_table(rows):
    print("| | CPU, share of one core | PSS | RSS |")
    print("|---|---|---|---|")
    for row in rows:
        print("| %s | %s | %.1f MB | %.1f MB |" % (row.name, row.cpu_text(), row.pss, row.rss))


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    program_path, skin = sys.argv[1], sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 30.0
    try:
        probe = Servers()
        probe.close()
    except (harness.DisplayMissing, harness.SoundMissing) as missing:
        print("frontpanel: not measured: " + str(missing))
        return 0
    sheet = harness.Bitmap.load(os.path.join(skin, "parts.bmp"))
    launcher = harness.linux_launcher(program_path, skin)
    audacious_home = tempfile.mkdtemp(prefix="hollyphone-audacious-")
    try:
        launcher.write_settings(SETTINGS)
        music = launcher.music_folder()
        mp3 = make_mp3(music, 2 * seconds + 30)
        if not mp3:
            print("frontpanel: not measured: lame is not installed")
            return 0
        pieces = [("a piano piece", "[Band] Piano.mid", PIANO_PIECE),
                  ("a piece for piano, strings, bass and drums", "[Band] Ensemble.mid",
                   ENSEMBLE_PIECE)]
        for _, name, parts in pieces:
            write_midi_piece(os.path.join(music, name), 30, parts)
        launcher.write_playlist([mp3] + [os.path.join(music, name) for _, name, _ in pieces])

        load_before = load_average()
        idle, playing, streams, midi_pss, window = hollyphone_rows(launcher, seconds, len(pieces))
        rows = [idle, playing]
        notes = []
        if streams == 0:
            notes.append("Hollyphone played nothing to its sound server")
        audacious_env, why = prepare_audacious(audacious_home)
        audacious = None
        if audacious_env:
            audacious, why = audacious_row(audacious_env, mp3, seconds)
        if audacious:
            rows.append(audacious)
        else:
            notes.append("Audacious not measured: " + why)
        floor, why = playbin_row(mp3, seconds)
        if floor:
            rows.append(floor)
        else:
            notes.append("playbin not measured: " + why)
        load_after = load_average()

        print("frontpanel: %.0f s of each; CPU of the player, its X server and its sound "
              "server; load average %.2f before, %.2f after" % (seconds, load_before, load_after))
        print()
        print_table(rows)
        print()
        for note in notes:
            print("frontpanel: " + note)

        idle_cost = idle.shares["player"] + idle.shares["X"]
        print("goal 1, idle with the effect on, player and X server: %.2f %% (goal %.2f %% or "
              "less): %s" % (idle_cost, IDLE_GOAL_PERCENT,
                             verdict(idle_cost <= IDLE_GOAL_PERCENT)))
        if audacious and floor:
            ours = playing.total - floor.total
            theirs = audacious.total - floor.total
            print("goal 2, interface cost playing over the floor: Hollyphone %.2f %%, Audacious "
                  "%.2f %% (goal at most half of Audacious's, %.2f %%): %s"
                  % (ours, theirs, theirs * INTERFACE_GOAL_RATIO,
                     verdict(ours <= theirs * INTERFACE_GOAL_RATIO)))
        if audacious:
            print("goal 3, PSS idle %.1f MB against Audacious's playing %.1f MB (goal at most "
                  "that): %s" % (idle.pss, audacious.pss, verdict(idle.pss <= audacious.pss)))
            print("goal 3, PSS playing %.1f MB against Audacious's playing %.1f MB (goal at "
                  "most %.1f times, %.1f MB): %s"
                  % (playing.pss, audacious.pss, PLAYING_PSS_GOAL_RATIO,
                     audacious.pss * PLAYING_PSS_GOAL_RATIO,
                     verdict(playing.pss <= audacious.pss * PLAYING_PSS_GOAL_RATIO)))
        for (what, _, _), pss in zip(pieces, midi_pss):
            added = pss - playing.pss
            print("goal 4, PSS playing %s (General MIDI) %.1f MB, %.1f MB more than playing "
                  "the MP3 (goal %.0f MB or less): %s"
                  % (what, pss, added, MIDI_PSS_GOAL_MB, verdict(added <= MIDI_PSS_GOAL_MB)))

        # Start-up, alternating so that a cold first start does not weigh on
        # one side alone.
        source = mp3
        entries = []
        for i in range(1000):
            path = os.path.join(music, "[Band %04d] Song %04d.mp3" % (i, i))
            os.link(source, path)
            entries.append(path)
        empty_times, thousand_times, audacious_times = [], [], []
        load_before = load_average()
        servers = Servers()
        try:
            for _ in range(STARTS):
                launcher.write_playlist([])
                empty_times.append(hollyphone_first_paint(launcher, servers, window, sheet))
                launcher.write_playlist(entries)
                thousand_times.append(hollyphone_first_paint(launcher, servers, window, sheet))
        finally:
            servers.close()
        if audacious_env:
            servers = Servers()
            try:
                audacious_times = audacious_first_frames(audacious_env, servers, STARTS)
            finally:
                servers.close()
        empty = statistics.median(empty_times)
        thousand = statistics.median(thousand_times)
        print("start-up to the first painted frame (median of %d, load average %.2f): %.0f ms "
              "with an empty playlist, %.0f ms with 1,000 entries (ratio %.2f)"
              % (STARTS, load_before, empty * 1000, thousand * 1000, thousand / empty))
        if audacious_times:
            print("start-up of Audacious's skinned interface to its first frame (median of %d, "
                  "empty playlist): %.0f ms" % (STARTS, statistics.median(audacious_times) * 1000))
        print("goal 6, start-up with 1,000 queued files %.0f ms (goal %.0f ms or less): %s"
              % (thousand * 1000, STARTUP_GOAL_MS, verdict(thousand * 1000 <= STARTUP_GOAL_MS)))
    finally:
        launcher.cleanup()
        shutil.rmtree(audacious_home, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
