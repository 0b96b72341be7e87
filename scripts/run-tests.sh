#!/usr/bin/env bash
# Builds one configuration and runs the whole test suite on it.
#   scripts/run-tests.sh            Release build in build/release
#   scripts/run-tests.sh sanitize   AddressSanitizer + UndefinedBehaviorSanitizer in build/sanitize
#   scripts/run-tests.sh clang      Release build with clang in build/clang
#   scripts/run-tests.sh web        the web player (build/web) against the Release build's
#                                   captures, in headless Chromium
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-release}"
case "$mode" in
  release)  dir=build/release;  flags=(-DCMAKE_BUILD_TYPE=Release -DSHOW_WEB_TESTS=OFF) ;;
  sanitize) dir=build/sanitize; flags=(-DCMAKE_BUILD_TYPE=Debug -DSHOW_SANITIZE=ON) ;;
  clang)    dir=build/clang;    flags=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang
                                       -DCMAKE_CXX_COMPILER=clang++) ;;
  web)      dir=build/release;  flags=(-DCMAKE_BUILD_TYPE=Release -DSHOW_WEB_TESTS=ON) ;;
  *) echo "usage: $0 [release|sanitize|clang|web]" >&2; exit 2 ;;
esac
jobs="$(nproc 2>/dev/null || echo 2)"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
flags+=("${launcher[@]}")
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
if [ "$mode" = web ]; then
  # The libraries (cached outside the checkout) and the web player first, so that the
  # tests, which each pack a show for the page, find it built. One browser at a time.
  bash scripts/build-web-deps.sh
  export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
  emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
  cmake --build build/web -j"$jobs" --target demo
  cmake --build "$dir" -j"$jobs" --target test_web
  ctest --test-dir "$dir" --output-on-failure -R '^(Shows/WebCapture|WebPage)\.' --timeout 900
  exit
fi
cmake --build "$dir" -j"$jobs"
ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 300
