#!/usr/bin/env python3
"""Makes the repository's own music files with lame (no third-party audio is used).

    scripts/make-music.py            writes examples/sample/music.mp3 and tests/data/music/*.mp3

The test files carry markers at known times (single full-scale clicks in silence)
so tests can check where samples land; the sample show gets a 30-second tune.
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def write_wav(path, rate, channels, frames):
    """frames: list of per-channel sample tuples (floats -1..1)."""
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        data = bytearray()
        for frame in frames:
            for s in frame:
                data += struct.pack("<h", max(-32767, min(32767, int(round(s * 32767)))))
        w.writeframes(bytes(data))


def lame(wav, mp3, *options):
    subprocess.run(["lame", "--silent", "--noreplaygain", *options, wav, mp3], check=True)


def clicks(rate, seconds, at_seconds):
    frames = [(0.0,)] * int(rate * seconds)
    for t in at_seconds:
        frames[int(round(t * rate))] = (1.0,)
    return frames


def tone(rate, seconds, freq, level):
    return [(level * math.sin(2 * math.pi * freq * i / rate),) for i in range(int(rate * seconds))]


def tune(rate, seconds):
    # An arpeggio over four chords, eighth notes at 120 bpm, plucked envelope, with a bass.
    chords = [[57, 60, 64, 69], [53, 57, 60, 65], [48, 52, 55, 60], [55, 59, 62, 67]]
    note_len = 0.25
    out = [0.0] * int(rate * seconds)
    n_notes = int(seconds / note_len)
    for n in range(n_notes):
        chord = chords[(n // 8) % len(chords)]
        pattern = [0, 1, 2, 3, 2, 1, 2, 3]
        midi = chord[pattern[n % 8]] + 12
        freq = 440.0 * 2 ** ((midi - 69) / 12)
        start = int(n * note_len * rate)
        length = int(note_len * 1.6 * rate)
        for i in range(length):
            j = start + i
            if j >= len(out):
                break
            t = i / rate
            env = math.exp(-t * 9.0) * min(1.0, t * 400)
            out[j] += 0.30 * env * (math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(4 * math.pi * freq * t))
        if n % 8 == 0:
            bass = 440.0 * 2 ** ((chord[0] - 12 - 69) / 12)
            for i in range(int(2.0 * rate)):
                j = start + i
                if j >= len(out):
                    break
                t = i / rate
                env = math.exp(-t * 1.5) * min(1.0, t * 200)
                out[j] += 0.28 * env * math.sin(2 * math.pi * bass * t)
    fade = int(1.5 * rate)
    for i in range(fade):
        out[len(out) - 1 - i] *= i / fade
    return [(s,) for s in out]


def main():
    music = os.path.join(ROOT, "tests", "data", "music")
    os.makedirs(music, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        # Clicks at 1.000 s and 2.500 s, 44.1 kHz mono, 64 kbit/s.
        write_wav(wav, 44100, 1, clicks(44100, 3.0, [1.0, 2.5]))
        lame(wav, os.path.join(music, "marker.mp3"), "-b", "64", "-m", "m")
        # The same clicks at 22.05 kHz: the mixer converts it to 44.1 kHz. (At 48 kbit/s
        # and below a frame is too small for the LAME tag that gives the encoder delay.)
        write_wav(wav, 22050, 1, clicks(22050, 3.0, [1.0, 2.5]))
        lame(wav, os.path.join(music, "marker22k.mp3"), "-b", "64", "-m", "m")
        # A steady tone, to see where damage silences it.
        write_wav(wav, 44100, 1, tone(44100, 3.0, 440.0, 0.5))
        lame(wav, os.path.join(music, "tone.mp3"), "-b", "64", "-m", "m")
        # The sample show's tune.
        write_wav(wav, 44100, 1, tune(44100, 30.0))
        lame(wav, os.path.join(ROOT, "examples", "sample", "music.mp3"), "-b", "80", "-m", "m")
    return 0


if __name__ == "__main__":
    sys.exit(main())
