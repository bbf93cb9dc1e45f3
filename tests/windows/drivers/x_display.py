"""The private X server the tests run on (scripts/with-display.sh): the
user's hand through xdotool, the screen through ImageMagick's import."""

import os
import subprocess
import tempfile


def display_available():
    return bool(os.environ.get("DISPLAY"))


def xdotool(*arguments):
    subprocess.run(["xdotool", *[str(a) for a in arguments]], check=True)


def move(x, y):
    xdotool("mousemove", x, y)


def click(x, y, button=1):
    xdotool("mousemove", x, y)
    xdotool("click", button)


def key(name):
    xdotool("key", name)


class Screenshot:
    """The whole screen at one moment."""

    def __init__(self):
        with tempfile.NamedTemporaryFile(suffix=".ppm") as target:
            subprocess.run(["import", "-window", "root", "-depth", "8", f"ppm:{target.name}"],
                           check=True)
            with open(target.name, "rb") as source:
                data = source.read()
        # Binary PPM: "P6", width, height, maximum, then RGB bytes.
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            if data[position:position + 1] == b"#":
                position = data.index(b"\n", position) + 1
                continue
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("unexpected screenshot format")
        self.width = int(fields[1])
        self.height = int(fields[2])
        self._pixels = data[position + 1:]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self._pixels[i:i + 3])

    def save(self, path):
        with open(path, "wb") as target:
            target.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            target.write(self._pixels)
