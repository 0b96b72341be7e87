#!/usr/bin/env python3
"""Reads the per-model lines of import-testmodels.sh (tab-separated: verdict, seconds,
model, summary, warnings, frame) from standard input, judges each captured frame and
prints one line per model and the counts. A frame passes when enough of it differs
from the black background (visible, not black) and not most of what shows is pure
white (not blown out)."""
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, width, height, channels = 8, b"", 0, 0, 0
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour not in (2, 6) or body[12] != 0:
                raise ValueError("only 8-bit RGB or RGBA without interlace")
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(channels, stride):
                row[i] = (row[i] + row[i - channels]) & 255
        elif kind == 2:
            row = bytearray((a + b) & 255 for a, b in zip(row, previous))
        elif kind == 3:
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 255
        elif kind == 4:
            for i in range(stride):
                a = row[i - channels] if i >= channels else 0
                b, c = previous[i], previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    return width, height, channels, rows


def judge(path):
    width, height, channels, rows = read_png(path)
    lit = white = n = 0
    for y in range(0, height, 2):
        row = rows[y]
        for x in range(0, width * channels, 2 * channels):
            r, g, b = row[x], row[x + 1], row[x + 2]
            n += 1
            if r > 12 or g > 12 or b > 12:
                lit += 1
                if r > 250 and g > 250 and b > 250:
                    white += 1
    lit_share = lit / max(1, n)
    white_share = white / max(1, lit)
    if lit_share < 0.01:
        verdict = "BLACK"
    elif white_share > 0.5:
        verdict = "BLOWN"
    else:
        verdict = "PASS"
    return verdict, lit_share, white_share


counts = {}
tried = imported = 0
for line in sys.stdin:
    verdict, seconds, model, summary, warnings, frame = line.rstrip("\n").split("\t")
    tried += 1
    if frame:
        imported += 1
        try:
            verdict, lit, white = judge(frame)
            summary += ", lit %.3f, white %.3f" % (lit, white)
        except (OSError, ValueError, zlib.error) as e:
            verdict, summary = "NOFRAME", summary + ", " + str(e)
    counts[verdict] = counts.get(verdict, 0) + 1
    print("%-10s %7ss  %s  [%s; %s warnings]" % (verdict, seconds, model, summary, warnings), flush=True)

print()
print("files tried: %d; imported: %d" % (tried, imported))
print("by verdict: " + ", ".join("%s %d" % (k, v) for k, v in sorted(counts.items())))
print("frame passes (visible, not black, not blown out): %d of %d imported" % (counts.get("PASS", 0), imported))
