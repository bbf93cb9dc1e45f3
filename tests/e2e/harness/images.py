"""Pictures: screenshots as ImageMagick writes them (binary PPM) and the
skin's 24-bit BMP files, read with the standard library alone."""

import struct


class Image:
    """RGB pixels, rows from the top."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb  # bytes, 3 per pixel

    @classmethod
    def from_ppm(cls, data):
        # Header: P6, width, height, maximum, each separated by white space
        # (comments are not written by import).
        fields = []
        offset = 0
        while len(fields) < 4:
            while data[offset:offset + 1].isspace():
                offset += 1
            end = offset
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[offset:end])
            offset = end
        offset += 1  # the single white space after the maximum
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit binary PPM")
        width, height = int(fields[1]), int(fields[2])
        return cls(width, height, data[offset:offset + width * height * 3])

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.rgb[at:at + 3])

    def crop(self, left, top, width, height):
        rows = []
        for y in range(top, top + height):
            start = (y * self.width + left) * 3
            rows.append(self.rgb[start:start + width * 3])
        return Image(width, height, b"".join(rows))

    def same_as(self, other):
        return (self.width, self.height, self.rgb) == (other.width, other.height, other.rgb)

    def count(self, predicate):
        """How many pixels satisfy predicate((r, g, b))."""
        return sum(1 for y in range(self.height) for x in range(self.width)
                   if predicate(self.pixel(x, y)))


class Bitmap(Image):
    """A bottom-up 24-bit BMP file."""

    @classmethod
    def load(cls, path):
        with open(path, "rb") as handle:
            data = handle.read()
        if data[:2] != b"BM":
            raise ValueError(path + " is not a BMP file")
        offset, = struct.unpack_from("<I", data, 10)
        width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
        if bits != 24 or compression != 0 or height <= 0:
            raise ValueError(path + " is not a bottom-up 24-bit BMP")
        row_bytes = (width * 3 + 3) & ~3
        rows = []
        for y in range(height):
            start = offset + (height - 1 - y) * row_bytes
            bgr = data[start:start + width * 3]
            rgb = bytearray(len(bgr))
            rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
            rows.append(bytes(rgb))
        return cls(width, height, b"".join(rows))
