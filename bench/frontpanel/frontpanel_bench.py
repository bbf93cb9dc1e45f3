#!/usr/bin/env python3
"""The running program's cost, measured from outside on a private Xvfb and
the private sound server, with Audacious (its skinned Winamp-classic
interface) playing the same MP3 beside it in the same run:

  - CPU of the program over the measuring time with the graphic effect on:
    idle, then playing an MP3; Audacious playing that MP3;
  - start-up to the first painted frame with a 1,000-entry playlist, and
    with an empty one;
  - resident memory after start-up and while playing.

    frontpanel_bench.py <program> <skin folder> [seconds]

Goals: animation idle under 2 % of one core; playing at or below Audacious.
Prints figures; not a test. Run it under scripts/with-display.sh and
scripts/with-sound-server.sh (scripts/bench.sh does)."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))

import harness  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
PLAY = (540, 430)
# The CD gauge's full column on the sprite sheet, drawn by the first paint.
CD_GAUGE = (557, 67, 14, 219)
CD_FULL_COLUMN = (186, 74)


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as handle:
        fields = handle.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as handle:
        match = re.search(r"VmRSS:\s+(\d+) kB", handle.read())
    return int(match.group(1)) if match else 0


def cpu_share(pid, seconds):
    """Share of one core used over the next `seconds`, in percent."""
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100.0 * (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


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


def first_paint_seconds(launcher, display, sheet):
    """From the start of the process to the first screenshot that shows the
    painted gauges. Screenshots take a few tens of milliseconds each, which
    bounds the resolution."""
    started = time.monotonic()
    program = launcher.start(display)
    try:
        program.wait_main_window(timeout=60)
        left, top, width, height = CD_GAUGE
        while time.monotonic() - started < 60:
            image = program.screenshot()
            if all(image.pixel(left + x, top + y) ==
                   sheet.pixel(CD_FULL_COLUMN[0] + x, CD_FULL_COLUMN[1] + y)
                   for y in range(0, height, 20) for x in range(width)):
                return time.monotonic() - started
        return float("nan")
    finally:
        program.stop()


def audacious_share(mp3, seconds, sound):
    """CPU of Audacious's Winamp-classic (GTK) interface playing the file."""
    if not shutil.which("audacious"):
        return None, None, "audacious is not installed"
    home = tempfile.mkdtemp(prefix="hollyphone-audacious-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    env.update(sound.environment())
    try:
        # A first headless start writes the plugin registry; then the skinned
        # interface replaces the default one.
        subprocess.run(["timeout", "5", "audacious", "-H"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        registry = os.path.join(home, ".config", "audacious", "plugin-registry")
        if not os.path.exists(registry):
            return None, None, "audacious wrote no plugin registry"
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
        process = subprocess.Popen(["audacious", "-G", "-p", mp3], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(4.0)
            if process.poll() is not None:
                return None, None, "audacious ended at once"
            return cpu_share(process.pid, seconds), resident_kib(process.pid), ""
        finally:
            process.kill()
            process.wait()
    finally:
        shutil.rmtree(home, ignore_errors=True)


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    program_path, skin = sys.argv[1], sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 30.0
    try:
        display = harness.XDisplay()
    except harness.DisplayMissing as missing:
        print("frontpanel: not measured: " + str(missing))
        return 0
    try:
        sound = harness.SoundServer()
    except harness.SoundMissing as missing:
        sound = None
        print("frontpanel: playing not measured: " + str(missing))
    sheet = harness.Bitmap.load(os.path.join(skin, "parts.bmp"))
    launcher = harness.linux_launcher(program_path, skin)
    settings = "[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n"
    try:
        launcher.write_settings(settings)
        mp3 = make_mp3(launcher.music_folder(), seconds + 30)
        if mp3:
            launcher.write_playlist([mp3])

        program = launcher.start(display, sound.environment() if sound else None)
        program.wait_main_window(timeout=60)
        time.sleep(3.0)
        rss_started = resident_kib(program.process.pid)
        idle = cpu_share(program.process.pid, seconds)
        print("frontpanel: idle with the graphic effect on: %.2f %% of one core over %.0f s "
              "(goal under 2 %%)" % (idle, seconds))
        print("frontpanel: resident memory after start-up: %d KiB" % rss_started)
        playing = None
        if sound and mp3:
            program.click(*PLAY)
            time.sleep(3.0)
            playing = cpu_share(program.process.pid, seconds)
            print("frontpanel: playing an MP3, effect on: %.2f %% of one core over %.0f s"
                  % (playing, seconds))
            print("frontpanel: resident memory while playing: %d KiB"
                  % resident_kib(program.process.pid))
        program.stop()

        if sound and mp3:
            share, rss, why = audacious_share(mp3, seconds, sound)
            if share is None:
                print("frontpanel: audacious not measured: " + why)
            else:
                print("frontpanel: audacious (Winamp-classic interface) playing the same MP3: "
                      "%.2f %% of one core, resident %d KiB" % (share, rss))
                if share > 0:
                    print("frontpanel: playing CPU ratio hollyphone / audacious: %.2f "
                          "(goal at or below 1)" % (playing / share))

        # Start-up to the first painted frame, three times each, alternating,
        # so that a cold first start does not weigh on one side alone.
        music = launcher.music_folder()
        source = mp3 or os.path.join(music, "plain.mp3")
        if not mp3:
            with open(source, "wb") as handle:
                handle.write(b"ID3\x03\x00\x00\x00\x00\x00\x00" + bytes(200))
        entries = []
        for i in range(1000):
            path = os.path.join(music, "[Band %04d] Song %04d.mp3" % (i, i))
            os.link(source, path)
            entries.append(path)
        empty_times, thousand_times = [], []
        for _ in range(3):
            launcher.write_playlist([])
            empty_times.append(first_paint_seconds(launcher, display, sheet))
            launcher.write_playlist(entries)
            thousand_times.append(first_paint_seconds(launcher, display, sheet))
        empty = sorted(empty_times)[1]
        thousand = sorted(thousand_times)[1]
        print("frontpanel: start-up to the first painted frame (median of 3): %.0f ms with an "
              "empty playlist, %.0f ms with 1,000 entries (ratio %.2f)"
              % (empty * 1000, thousand * 1000, thousand / empty))
    finally:
        launcher.cleanup()
        if sound:
            sound.close()
        display.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
