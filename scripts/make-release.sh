#!/usr/bin/env bash
# Makes a release of one show: a folder holding the player with the show's
# archive appended (one file, named after the show folder) and, in lib/, every
# shared library it needs beyond the C and C++ runtime and the system's
# OpenGL/EGL drivers. zlib, libpng, libturbojpeg and libdeflate are linked in
# statically; the rest is found through the relative run path $ORIGIN/lib, so
# the folder runs wherever it is copied, also from read-only media.
#   scripts/make-release.sh SHOW_FOLDER OUT
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 SHOW_FOLDER OUT" >&2
  exit 2
fi
show="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
cd "$(dirname "$0")/.."
[ -f "$show/demo.psc" ] || { echo "make-release: $show has no demo.psc" >&2; exit 1; }
command -v patchelf >/dev/null || { echo "make-release: patchelf is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

build=build/portable
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSHOW_PORTABLE=ON \
  -DSHOW_BUILD_TESTS=OFF -DSHOW_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target demo cflpack >/dev/null

name="$(basename "$show")"
rm -rf "$out/lib" "$out/$name"
mkdir -p "$out/lib"
player="$(mktemp)"
archive="$(mktemp)"
trap 'rm -f "$player" "$archive"' EXIT
cp "$build/app/demo" "$player"

# The system provides these: the C and C++ runtime, and the GL/EGL drivers with
# the libraries they are built against.
system='^(linux-vdso|ld-linux|libc|libm|libdl|libpthread|librt|libstdc\+\+|libgcc_s|libGL|libEGL|libGLX|libGLdispatch|libOpenGL|libglapi|libgbm|libdrm)\.'
ldd "$player" | awk '/=> \// { print $1, $3 }' | while read -r soname path; do
  if [[ "$soname" =~ $system ]]; then continue; fi
  cp -L "$path" "$out/lib/$soname"
  chmod 644 "$out/lib/$soname"
  patchelf --set-rpath '$ORIGIN' "$out/lib/$soname"
done
# DT_RPATH rather than DT_RUNPATH: it also serves the bundled libraries' own needs.
patchelf --force-rpath --set-rpath '$ORIGIN/lib' "$player"

"$build/tools/cflpack/cflpack" create "$archive" "$show" >/dev/null
"$build/tools/cflpack/cflpack" append "$player" "$archive" "$out/$name" >/dev/null
chmod 755 "$out/$name"
echo "make-release: $out/$name ($(du -sh "$out" | cut -f1) with lib/)"
