"""Sound files made by the tests: a tone as WAV and MP3 (lame), and a small
Standard MIDI File."""

import math
import os
import shutil
import struct
import subprocess

SAMPLE_RATE = 44100


def write_tone_wav(path, frequency_hz, seconds, amplitude=0.5):
    """A 16-bit stereo WAV file of a sine tone."""
    frames = int(SAMPLE_RATE * seconds)
    samples = bytearray()
    for i in range(frames):
        value = int(amplitude * 32767 * math.sin(2 * math.pi * frequency_hz * i / SAMPLE_RATE))
        samples += struct.pack("<hh", value, value)
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ",
                         16, 1, 2, SAMPLE_RATE, SAMPLE_RATE * 4, 4, 16, b"data", len(samples))
    with open(path, "wb") as handle:
        handle.write(header + bytes(samples))


def encode_mp3(wav_path, mp3_path, artist="Band", title="Tone"):
    """Encodes with lame, with an ID3v2 tag at the start of the file (the
    program recognises MP3 files by it). False when lame is missing."""
    if not shutil.which("lame"):
        return False
    result = subprocess.run(
        ["lame", "--quiet", "-b", "128", "--add-id3v2", "--id3v2-only", "--ta", artist, "--tt",
         title, wav_path, mp3_path], check=False)
    return result.returncode == 0


def write_tone_mp3(folder, name="[Band] Tone.mp3", frequency_hz=440.0, seconds=20.0):
    """An MP3 of a pure tone in the folder; None when lame is missing."""
    wav = os.path.join(folder, "tone.wav")
    write_tone_wav(wav, frequency_hz, seconds)
    mp3 = os.path.join(folder, name)
    encoded = encode_mp3(wav, mp3)
    os.unlink(wav)
    return mp3 if encoded else None


def _variable_length(value):
    data = [value & 0x7F]
    value >>= 7
    while value:
        data.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(data)


def write_midi(path, notes, program=73):
    """A format 0 file at 120 beats per minute (480 ticks a beat): the
    (key, seconds) notes one after another on channel 0, with a General MIDI
    program (73 = flute)."""
    ticks_per_second = 960
    track = bytearray(_variable_length(0) + bytes([0xC0, program]))
    for key, seconds in notes:
        track += _variable_length(0) + bytes([0x90, key, 100])
        track += _variable_length(int(seconds * ticks_per_second)) + bytes([0x80, key, 0])
    track += _variable_length(0) + b"\xFF\x2F\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480)
    with open(path, "wb") as handle:
        handle.write(header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track))
