#!/usr/bin/env bash
# Sets up everything, builds the player, packs the sample show into an archive
# appended to a copy of the player (out/sample-show) and plays that copy: in a
# window when a display exists, otherwise as a capture run into out/sample/.
# Extra arguments go to the player.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc 2>/dev/null || echo 2)" --target demo cflpack scenegen
# The sample's 3D scene and its textures are made from source (the same bytes every time).
build/release/tools/scenegen/scenegen sample examples/sample
mkdir -p out
build/release/tools/cflpack/cflpack create out/sample.cfl examples/sample
build/release/tools/cflpack/cflpack append build/release/app/demo out/sample.cfl out/sample-show
rm -f out/sample.cfl
# Played from out/, where no loose show files lie: everything comes from the archive.
cd out
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./sample-show "$@"
fi
echo "No display: capturing the show into out/sample/ instead of opening a window."
exec ./sample-show --headless --capture "$PWD/sample" --fps 30 "$@"
