#!/usr/bin/env bash
# Sets up everything, builds the player and plays the sample show: in a window
# when a display exists, otherwise as a capture run into out/sample/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc 2>/dev/null || echo 2)" --target demo
player="$PWD/build/release/app/demo"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$player" --data examples/sample "$@"
fi
echo "No display: capturing the show into out/sample/ instead of opening a window."
mkdir -p out
exec "$player" --headless --capture "$PWD/out/sample" --fps 30 --data examples/sample "$@"
