"""Recording the private sound server (scripts/with-sound-server.sh) and
measuring what was heard: level and pitch over time."""

import array
import contextlib
import fcntl
import math
import os
import subprocess
import time
import wave


def sound_server_available():
    return os.environ.get("HOLLYPHONE_SOUND_SERVER") == "private" and \
        bool(os.environ.get("HOLLYPHONE_TEST_SINK"))


@contextlib.contextmanager
def exclusive_sound():
    """Holds the sound server's lock, so that tests running side by side
    never hear each other."""
    path = os.environ.get("HOLLYPHONE_SOUND_LOCK")
    if not path:
        yield
        return
    with open(path, "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(lock, fcntl.LOCK_UN)


class Recorder:
    """Records the test sink's monitor to a WAV file between start() and
    stop()."""

    def __init__(self, path):
        self.path = path
        self.process = None

    def start(self):
        monitor = os.environ["HOLLYPHONE_TEST_SINK"] + ".monitor"
        self.process = subprocess.Popen(
            ["parecord", f"--device={monitor}", "--file-format=wav", "--rate=44100",
             "--channels=2", "--format=s16le", "--latency-msec=20", self.path],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The file has its header once the stream is connected; the short
        # wait after it lets the server's latency settle.
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline and self.process.poll() is None:
            if os.path.exists(self.path) and os.path.getsize(self.path) >= 44:
                break
            time.sleep(0.05)
        if self.process.poll() is not None:
            raise RuntimeError("parecord ended at once: is the sound server up?")
        time.sleep(0.3)

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait(timeout=10)
            self.process = None
        return Recording.load(self.path)


class Recording:
    """A recording's left channel, cut into windows of 100 ms."""

    window_seconds = 0.1

    def __init__(self, rate, samples):
        self.rate = rate
        self.samples = samples

    @classmethod
    def load(cls, path):
        with wave.open(path, "rb") as source:
            rate = source.getframerate()
            channels = source.getnchannels()
            frames = source.readframes(source.getnframes())
        data = array.array("h")
        data.frombytes(frames[: len(frames) - len(frames) % 2])
        return cls(rate, data[0::channels])

    def windows(self):
        """(rms, zero-crossing frequency in Hz) per window."""
        size = int(self.rate * self.window_seconds)
        result = []
        for start in range(0, len(self.samples) - size + 1, size):
            part = self.samples[start:start + size]
            rms = math.sqrt(sum(x * x for x in part) / size)
            crossings = sum(1 for a, b in zip(part, part[1:]) if (a < 0) != (b < 0))
            result.append((rms, crossings / 2 / self.window_seconds))
        return result

    def sounding_windows(self, threshold_rms=300.0):
        return [w for w in self.windows() if w[0] >= threshold_rms]

    def sounding_seconds(self, threshold_rms=300.0):
        return len(self.sounding_windows(threshold_rms)) * self.window_seconds
