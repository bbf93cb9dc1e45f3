"""Test media written at test time: a sine tone as WAV and MP3 (lame), and a
Standard MIDI File holding one long note."""

import math
import os
import shutil
import struct
import subprocess
import wave


def write_tone_wav(path, frequency_hz=440.0, seconds=4.0, amplitude=16000, rate=44100):
    frames = bytearray()
    for i in range(int(rate * seconds)):
        value = int(round(amplitude * math.sin(2 * math.pi * frequency_hz * i / rate)))
        frames += struct.pack("<hh", value, value)
    with wave.open(path, "wb") as target:
        target.setnchannels(2)
        target.setsampwidth(2)
        target.setframerate(rate)
        target.writeframes(bytes(frames))


def write_tone_mp3(path, frequency_hz=440.0, seconds=4.0, amplitude=16000):
    """False when lame is not installed."""
    if not shutil.which("lame"):
        return False
    wav_path = path + ".wav"
    write_tone_wav(wav_path, frequency_hz, seconds, amplitude)
    # An ID3v2 tag at the start, as players' files have: the player knows an
    # MP3 by that mark (lame's first frame alone has no mark it looks for).
    subprocess.run(["lame", "--quiet", "-b", "128", "--id3v2-only", "--ta", "Test Artist",
                    "--tt", "Test Tone", wav_path, path], check=True)
    os.remove(wav_path)
    return True


def _variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def write_note_midi(path, key=69, seconds=4.0, program=0):
    """Format 0, 480 ticks per quarter at 120 beats per minute: one note of
    `key` (69 is A4, 440 Hz) held for `seconds`."""
    ticks_per_second = 960
    track = (_variable_length(0) + bytes([0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20])
             + _variable_length(0) + bytes([0xC0, program])
             + _variable_length(0) + bytes([0x90, key, 100])
             + _variable_length(int(seconds * ticks_per_second)) + bytes([0x80, key, 0])
             + _variable_length(0) + bytes([0xFF, 0x2F, 0x00]))
    with open(path, "wb") as target:
        target.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480))
        target.write(b"MTrk" + struct.pack(">I", len(track)) + track)
