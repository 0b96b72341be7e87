#!/usr/bin/env bash
# Sets up everything, builds the sample show for the browser into out/web and serves
# it on http://localhost:8000/ (PORT to change it; --no-serve only builds).
# The first run builds the player's libraries for WebAssembly (several minutes; they
# are kept in ~/.cache/show-web-deps).
set -euo pipefail
cd "$(dirname "$0")/.."
serve=1
[ "${1:-}" = --no-serve ] && serve=0
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc 2>/dev/null || echo 2)" --target cflpack scenegen
# The sample's 3D scene and its textures are made from source (the same bytes every time).
build/release/tools/scenegen/scenegen sample examples/sample
bash scripts/make-web.sh examples/sample out/web
[ "$serve" = 1 ] || exit 0
port="${PORT:-8000}"
echo "Open http://localhost:$port/ in a browser (Ctrl+C stops the server)."
exec python3 -m http.server --bind 127.0.0.1 --directory out/web "$port"
