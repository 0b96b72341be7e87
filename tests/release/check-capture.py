#!/usr/bin/env python3
"""Checks a capture folder: at least N frames, some of them not black, and an
audio.wav that is not silent. Reads PNG and WAV with the standard library only."""
import struct
import sys
import wave
import zlib
from pathlib import Path


def png_has_light(path):
    data = path.read_bytes()
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    raw = zlib.decompress(idat)
    # Filter bytes and the deltas they imply are small; any bright byte is light.
    return max(raw) > 64


def main():
    folder, expected = Path(sys.argv[1]), int(sys.argv[2])
    frames = sorted(folder.glob("frame-*.png"))
    if len(frames) < expected:
        sys.exit(f"check-capture: {len(frames)} frames, expected at least {expected}")
    lit = sum(png_has_light(f) for f in frames)
    if lit == 0:
        sys.exit("check-capture: every frame is black")
    with wave.open(str(folder / "audio.wav")) as w:
        samples = w.readframes(w.getnframes())
    values = struct.unpack(f"<{len(samples) // 2}h", samples)
    loud = max((abs(v) for v in values), default=0)
    if loud < 512:
        sys.exit(f"check-capture: audio.wav is silent (peak {loud})")
    print(f"check-capture: {len(frames)} frames, {lit} not black, audio peak {loud}")


main()
