"""Uncompressed 24-bit BMP files (the skin's pictures), read by the test
itself."""

import struct


class BitmapFile:
    def __init__(self, path):
        with open(path, "rb") as source:
            data = source.read()
        if data[:2] != b"BM":
            raise ValueError(f"{path} is not a BMP file")
        offset = struct.unpack_from("<I", data, 10)[0]
        width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
        if bits != 24 or compression != 0:
            raise ValueError(f"{path}: only uncompressed 24-bit pictures are read")
        self.width = width
        self.height = abs(height)
        self._bottom_up = height > 0
        self._stride = (width * 3 + 3) & ~3
        self._pixels = data[offset:]

    def pixel(self, x, y):
        """(r, g, b) at (x, y) from the top-left corner."""
        row = self.height - 1 - y if self._bottom_up else y
        i = row * self._stride + x * 3
        b, g, r = self._pixels[i:i + 3]
        return (r, g, b)
