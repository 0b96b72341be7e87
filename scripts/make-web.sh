#!/usr/bin/env bash
# Builds a show for the browser.
#
#   scripts/make-web.sh SHOW OUT
#
# SHOW is a show folder (with its demo.psc) or a show file with an appended archive.
# OUT receives index.html and page.js (the page), demo.js and demo.wasm (the player
# built for WebAssembly), show.cfl (the packed show) and the loose files the player
# reads from beside itself. Serving OUT with any static web server plays the show,
# e.g. `python3 -m http.server -d OUT 8000` and http://localhost:8000/.
#
# The libraries are built once by scripts/build-web-deps.sh (cached in
# ~/.cache/show-web-deps, or SHOW_WEB_DEPS); the player in build/web, the packer in
# build/release.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 SHOW OUT" >&2
  exit 2
fi
show="$1"
out="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
deps="${SHOW_WEB_DEPS:-$HOME/.cache/show-web-deps}"
jobs="${JOBS:-$(nproc 2>/dev/null || echo 2)}"
# Debian's emscripten finds its JavaScript modules only here.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
if [ -d "$show" ] && [ ! -f "$show/demo.psc" ]; then
  echo "make-web: $show has no demo.psc" >&2
  exit 2
fi
if [ ! -e "$show" ]; then
  echo "make-web: no show at $show" >&2
  exit 2
fi

"$root/scripts/build-web-deps.sh" "$deps"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$root/build/web/CMakeCache.txt" ]; then
  emcmake cmake -S "$root" -B "$root/build/web" -DCMAKE_BUILD_TYPE=Release \
    -DSHOW_WEB_DEPS="$deps" "${launcher[@]}" >/dev/null
fi
cmake --build "$root/build/web" -j"$jobs" --target demo
if [ -d "$show" ]; then
  if [ ! -x "$root/build/release/tools/cflpack/cflpack" ]; then
    cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
    cmake --build "$root/build/release" -j"$jobs" --target cflpack
  fi
fi

mkdir -p "$out"
rm -rf "${out:?}/loose"
mkdir -p "$out/loose"
cp "$root/app/web/index.html" "$root/app/web/page.js" "$out/"
cp "$root/build/web/app/demo.js" "$root/build/web/app/demo.wasm" "$out/"
if [ -d "$show" ]; then
  "$root/build/release/tools/cflpack/cflpack" create "$out/show.cfl" "$show"
  # Descriptions of animated textures are read from beside the player, never from the archive.
  find "$show" -maxdepth 1 -name '*.seq' -exec cp {} "$out/loose/" \;
else
  # The archive is found at the end of the file wherever it starts; the descriptions
  # the player reads from beside itself lie beside the show file.
  cp "$show" "$out/show.cfl"
  find "$(dirname "$show")" -maxdepth 1 -name '*.seq' -exec cp {} "$out/loose/" \;
fi
(cd "$out/loose" && find . -type f -printf '%P\n' | sort) > "$out/loose.txt"
echo "make-web: $out holds the page; serve it, e.g. python3 -m http.server -d $out 8000"
