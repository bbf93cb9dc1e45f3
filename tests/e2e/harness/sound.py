"""The private sound server of scripts/with-sound-server.sh: its null sink,
held by one test at a time, and recordings of its monitor; and a sound
server of a test's own, which the test may kill and start again."""

import fcntl
import math
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time


class SoundMissing(Exception):
    """No private sound server; the message says why."""


class SoundServer:
    """Holds the test sink while it lives (tests side by side would hear
    each other)."""

    def __init__(self):
        if os.environ.get("HOLLYPHONE_SOUND_SERVER") != "private":
            raise SoundMissing("no private sound server: run under scripts/with-sound-server.sh")
        if not shutil.which("parec") or not shutil.which("pactl"):
            raise SoundMissing("parec and pactl (pulseaudio-utils) are not installed")
        if subprocess.run(["pactl", "info"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, check=False).returncode != 0:
            raise SoundMissing("the private sound server does not answer")
        self.sink = os.environ["HOLLYPHONE_TEST_SINK"]
        self._lock = open(os.environ["HOLLYPHONE_SOUND_LOCK"], "a+")
        fcntl.flock(self._lock, fcntl.LOCK_EX)

    def close(self):
        if self._lock:
            self._lock.close()  # releases the lock
            self._lock = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    @staticmethod
    def environment():
        """What a program needs to play to the private server."""
        names = ("PULSE_SERVER", "PULSE_CLIENTCONFIG")
        return {name: os.environ[name] for name in names if name in os.environ}

    def recorder(self):
        return MonitorRecorder(self.sink)


DAEMON = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "scripts",
                      "sound-server-daemon.sh")


class RestartableSoundServer:
    """A sound server of the test's own (scripts/sound-server-daemon.sh),
    killed and started again at the same address as a crash and a restart
    of the desktop's server would be. Nobody else plays to it, so it needs
    no lock."""

    SINK = "hollyphone_own"

    def __init__(self):
        for tool in ("pulseaudio", "pactl", "parec"):
            if not shutil.which(tool):
                raise SoundMissing(tool + " is not installed")
        self.sink = self.SINK
        self.folder = tempfile.mkdtemp(prefix="hollyphone-e2e-server-")
        self._process = None
        if not self.start():
            self.close()
            raise SoundMissing("a sound server of the test's own did not start")

    def address(self):
        return "unix:" + os.path.join(self.folder, "native")

    def environment(self):
        return {"PULSE_SERVER": self.address()}

    def start(self):
        """Starts the server; True once it answers."""
        self.kill()
        self._process = subprocess.Popen(
            [DAEMON, self.folder, self.sink, os.path.join(self.folder, "native")])
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            if subprocess.run(["pactl", "--server=" + self.address(), "info"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              check=False).returncode == 0:
                return True
            time.sleep(0.05)
        return False

    def stream_count(self):
        """Streams playing to the server now."""
        listing = subprocess.run(["pactl", "--server=" + self.address(), "list", "short",
                                  "sink-inputs"], stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL, check=False).stdout
        return len(listing.splitlines())

    def kill(self):
        """Ends the server at once: its clients lose their streams."""
        if self._process:
            self._process.kill()
            self._process.wait()
            self._process = None

    def close(self):
        self.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    def recorder(self):
        return MonitorRecorder(self.sink, self.address())


class MonitorRecorder:
    """Records the sink's monitor as 16-bit stereo at 44100 Hz."""

    RATE = 44100

    def __init__(self, sink, server=None):
        self.sink = sink
        self.server = server  # None: the server PULSE_SERVER names
        handle, self.path = tempfile.mkstemp(prefix="hollyphone-e2e-", suffix=".raw")
        os.close(handle)
        self._process = None
        self._started = 0.0

    def start(self):
        with open(self.path, "wb") as output:
            self._process = subprocess.Popen(
                ["parec", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                 "--latency-msec=10", "-d", self.sink + ".monitor"] +
                (["--server=" + self.server] if self.server else []), stdout=output)
        deadline = time.monotonic() + 5
        while os.path.getsize(self.path) == 0:
            if time.monotonic() > deadline:
                raise AssertionError("parec recorded nothing within 5 s")
            time.sleep(0.01)
        self._started = time.monotonic()

    def seconds_so_far(self):
        return os.path.getsize(self.path) / 4 / self.RATE

    def stop(self):
        """The left channel of everything recorded."""
        if self._process:
            self._process.send_signal(signal.SIGINT)
            self._process.wait(timeout=5)
            self._process = None
        with open(self.path, "rb") as handle:
            data = handle.read()
        os.unlink(self.path)
        frames = len(data) // 4
        return list(struct.unpack_from("<%dh" % (frames * 2), data)[0::2])


def rms(samples, first_second, last_second, rate=MonitorRecorder.RATE):
    """Root mean square of the stretch, in sample units."""
    part = samples[int(first_second * rate):int(last_second * rate)]
    if not part:
        return 0.0
    return math.sqrt(sum(value * value for value in part) / len(part))


def pitch(samples, first_second, last_second, rate=MonitorRecorder.RATE):
    """The tone heard most of the stretch: the median frequency of its loud
    100 ms pieces, from their rising zero crossings. A late start leaves
    silence, a late stop a piece of what played before, and a loaded machine
    drops out now and then: none of those moves the median. 0 when fewer
    than three pieces are loud."""
    piece = rate // 10
    found = []
    for start in range(int(first_second * rate), int(last_second * rate) - piece + 1, piece):
        part = samples[start:start + piece + 1]
        if rms(part, 0, 1, rate=piece) >= 1000:
            found.append(10 * sum(1 for before, after in zip(part, part[1:])
                                  if before < 0 <= after))
    return sorted(found)[len(found) // 2] if len(found) >= 3 else 0
