#!/bin/sh
# Wall time of capturing the sample show at 1024x768, straight to video against
# the frame-file path (PNG frames, then a separate mux), back to back in one run,
# with each path's own report of where a frame's time goes. A run that fails or
# writes nothing fails the benchmark instead of reporting a time.
# Usage: bench/capture.sh [BUILD_DIR] [SECONDS]   (default build/release, the whole show)
set -eu
build=${1:-build/release}
seconds=${2:-}
root=$(cd "$(dirname "$0")/.." && pwd)
demo="$build/app/demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
limit=""
[ -n "$seconds" ] && limit="--seconds $seconds"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
run() {
  name=$1
  shift
  start=$(date +%s.%N)
  status=0
  # shellcheck disable=SC2086
  "$demo" --headless --fps 60 $limit --data "$root/examples/sample" "$@" 2>"$work/$name.log" ||
    status=$?
  end=$(date +%s.%N)
  if [ "$status" -ne 0 ]; then
    echo "$name: the player failed (status $status):" >&2
    tail -5 "$work/$name.log" >&2
    exit 1
  fi
  wall=$(echo "$end - $start" | bc)
  echo "$name: $wall s wall"
  grep "captured" "$work/$name.log" || true
}
# Wrote something: at least one frame file, or a video file that is not empty.
check() {
  if [ -z "$(find "$1" -type f -size +0 2>/dev/null | head -n 1)" ]; then
    echo "$2: nothing was written to $1" >&2
    exit 1
  fi
}
run video --capture "$work/video"
check "$work/video" video
run png --capture "$work/png" --frames png
check "$work/png" png
