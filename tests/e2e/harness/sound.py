"""The private sound server of scripts/with-sound-server.sh: its null sink,
held by one test at a time, and recordings of its monitor."""

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


class MonitorRecorder:
    """Records the sink's monitor as 16-bit stereo at 44100 Hz."""

    RATE = 44100

    def __init__(self, sink):
        self.sink = sink
        handle, self.path = tempfile.mkstemp(prefix="hollyphone-e2e-", suffix=".raw")
        os.close(handle)
        self._process = None
        self._started = 0.0

    def start(self):
        with open(self.path, "wb") as output:
            self._process = subprocess.Popen(
                ["parec", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                 "--latency-msec=10", "-d", self.sink + ".monitor"], stdout=output)
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
