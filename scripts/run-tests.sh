#!/usr/bin/env bash
# Builds one configuration and runs the whole test suite on it.
#   scripts/run-tests.sh            Release build in build/release
#   scripts/run-tests.sh sanitize   AddressSanitizer + UndefinedBehaviorSanitizer in build/sanitize
#   scripts/run-tests.sh clang      Release build with clang in build/clang
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-release}"
case "$mode" in
  release)  dir=build/release;  flags=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) dir=build/sanitize; flags=(-DCMAKE_BUILD_TYPE=Debug -DSHOW_SANITIZE=ON) ;;
  clang)    dir=build/clang;    flags=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang
                                       -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "usage: $0 [release|sanitize|clang]" >&2; exit 2 ;;
esac
jobs="$(nproc 2>/dev/null || echo 2)"
if command -v ccache >/dev/null; then
  flags+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$jobs"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 300
