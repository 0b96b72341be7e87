#!/bin/sh
# Wall time of capturing the sample show at 1024x768, straight to video against
# the frame-file path (PNG frames, then a separate mux), back to back in one run,
# with each path's own report of where a frame's time goes.
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
  # shellcheck disable=SC2086
  "$demo" --headless --fps 60 $limit --data "$root/examples/sample" "$@" 2>"$work/$name.log" || true
  end=$(date +%s.%N)
  wall=$(echo "$end - $start" | bc)
  echo "$name: $wall s wall"
  grep "captured" "$work/$name.log" || true
}
run video --capture "$work/video"
run png --capture "$work/png" --frames png
