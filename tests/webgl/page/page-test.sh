#!/usr/bin/env bash
# The page and the capture driver in headless Chromium, with a stand-in for the player:
# the page fetches the packed show and the loose files, writes them where the player
# looks, starts it with the capture options, and the driver copies out what it wrote.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
page="$work/page"
mkdir -p "$page/loose"
cp "$root/app/web/index.html" "$root/app/web/page.js" "$page/"
cp "$here/stand-in-demo.js" "$page/demo.js"
head -c 1234567 /dev/zero > "$page/show.cfl"
echo "screen.seq" > "$page/loose.txt"
echo "pictures 12" > "$page/loose/screen.seq"
python3 "$root/scripts/web_capture.py" "$page" "$work/frames" --fps 12 --seconds 3 --start 1.5 --timeout 120
report="$work/frames/report.txt"
fail() { echo "page-test: $*" >&2; cat "$report" >&2 || true; exit 1; }
grep -qx "args --windowed --capture /capture --frames png --fps 12 --seconds 3 --start 1.5" "$report" || fail "wrong arguments"
grep -qx "archive 1234567" "$report" || fail "the archive did not arrive whole"
grep -qx "loose pictures 12" "$report" || fail "the loose file is missing"
grep -qx "exe link /demo" "$report" || fail "the player's own path is not set"
[ "$(head -c 8 "$work/frames/frame-000000.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "no PNG frame"
grep -q '"status": 0' "$work/frames/web-run.json" || fail "no exit status"
echo "page-test: ok"
