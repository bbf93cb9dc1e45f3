"""The Windows distribution archive (scripts/dist-windows.sh): what it holds,
that the program in it is the built one without its symbols, and that the
same build gives the same archive.

  dist_test.py <windows build folder>
"""

import os
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import test_runner  # noqa: E402

BUILD_DIR = None
SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
FOLDER = "Hollyphone-1.00-win32/"


def pe_headers(data):
    """(machine, subsystem, number of symbols) of a PE image."""
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[offset:offset + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    machine = struct.unpack_from("<H", data, offset + 4)[0]
    symbols = struct.unpack_from("<I", data, offset + 16)[0]
    subsystem = struct.unpack_from("<H", data, offset + 24 + 68)[0]
    return machine, subsystem, symbols


class DistributionArchive(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.output = tempfile.TemporaryDirectory(prefix="hp-dist-")
        cls.archives = []
        for run in ("first", "second"):
            if run == "second":
                # Past a second boundary, so that any time stamp taken from
                # the clock or the files shows as a difference.
                time.sleep(1.1)
            folder = os.path.join(cls.output.name, run)
            result = subprocess.run(
                [os.path.join(SOURCE_DIR, "scripts", "dist-windows.sh"), "--build-dir", BUILD_DIR,
                 "--output", folder], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            if result.returncode != 0:
                raise AssertionError(f"dist-windows.sh failed:\n{result.stdout}")
            cls.archives.append(result.stdout.strip().splitlines()[-1])

    @classmethod
    def tearDownClass(cls):
        cls.output.cleanup()

    def test_holds_the_program_its_skin_and_a_readme(self):
        with zipfile.ZipFile(self.archives[0]) as archive:
            self.assertEqual(sorted(archive.namelist()),
                             sorted([FOLDER, FOLDER + "Hollyphone.exe", FOLDER + "image/",
                                     FOLDER + "image/parts.bmp", FOLDER + "image/swbase1.bmp",
                                     FOLDER + "readme.txt"]))
            for name in ("parts.bmp", "swbase1.bmp"):
                with open(os.path.join(SOURCE_DIR, "image", name), "rb") as source:
                    self.assertEqual(archive.read(FOLDER + "image/" + name), source.read(), name)
            readme = archive.read(FOLDER + "readme.txt")
            program = archive.read(FOLDER + "Hollyphone.exe")

        self.assertTrue(readme.startswith(b"\xef\xbb\xbf"), "no byte order mark")
        text = readme[3:].decode("utf-8")
        self.assertEqual(text.count("\n"), text.count("\r\n"), "a line without CR LF")
        self.assertIn("Hollyphone.exe", text)

        with open(os.path.join(BUILD_DIR, "app", "Hollyphone.exe"), "rb") as source:
            built = source.read()
        self.assertEqual(pe_headers(program), (0x14C, 2, 0))  # i386, GUI, no symbols
        self.assertEqual(pe_headers(built)[:2], (0x14C, 2))
        self.assertGreater(pe_headers(built)[2], 0)
        self.assertLess(len(program), len(built))

    def test_same_build_gives_the_same_archive(self):
        with open(self.archives[0], "rb") as first, open(self.archives[1], "rb") as second:
            self.assertEqual(first.read(), second.read())


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD_DIR = os.path.abspath(sys.argv.pop(1))
    sys.exit(test_runner.run(DistributionArchive))
