"""Drives a Hollyphone program end to end: a private X display, the program
started from a folder of its own, the user's clicks and keys (xdotool),
screenshots (ImageMagick's import), a private sound server's recordings
(parec) and media files made on the spot.

The launching is pluggable (ProgramLauncher): a command line, an executable
folder (where the settings file lives) and a working folder (the skin and
the playlist), so the same tests can drive the Linux program or the Windows
one under Wine."""

from .display import XDisplay, DisplayMissing
from .images import Image, Bitmap
from .media import write_tone_wav, write_tone_mp3, encode_mp3, write_midi
from .program import ProgramLauncher, linux_launcher, RunningProgram, menu_item_point
from .sound import SoundServer, SoundMissing, RestartableSoundServer

__all__ = [
    "XDisplay", "DisplayMissing", "Image", "Bitmap", "write_tone_wav", "write_tone_mp3", "encode_mp3",
    "write_midi", "ProgramLauncher", "linux_launcher", "RunningProgram", "menu_item_point",
    "SoundServer",
    "SoundMissing",
    "RestartableSoundServer",
]
