#!/usr/bin/env python3
"""Reads the per-model lines of import-testmodels.sh (tab-separated: verdict, seconds,
model, summary, warnings, frame) from standard input, judges each captured frame and
prints one line per model and the counts. A frame passes when enough of it differs
from the black background (visible, not black) and not most of what shows is pure
white (not blown out)."""
import sys
import zlib

from png_rows import read_png


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
