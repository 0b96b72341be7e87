#!/usr/bin/env bash
# Plays a web build of a show (scripts/make-web.sh SHOW OUT) in headless Chromium on the
# capture clock and writes FRAMES/frame-000000.png, ... and FRAMES/audio.wav, as a native
# `demo --capture FRAMES --frames png` run does.
#
#   scripts/web-capture.sh OUT FRAMES [--fps N] [--seconds S] [--start S] [--timeout T]
#   scripts/web-capture.sh OUT REPORT --play S     (live play: frame rate and load time)
#
# Needs Debian's chromium; WebGL2 is drawn by its software renderer (SwiftShader).
# The exit status is the player's.
set -euo pipefail
exec python3 "$(dirname "$0")/web_capture.py" "$@"
