#!/usr/bin/env bash
# Builds the player's libraries for WebAssembly from Debian's own sources:
# zlib, libdeflate, libpng, libjpeg-turbo (TurboJPEG), libmpg123 and SDL2, as static
# libraries with their headers and pkg-config files under one prefix.
#
#   scripts/build-web-deps.sh [PREFIX]     (default ~/.cache/show-web-deps)
#
# The prefix lives outside the checkout and is kept: a library already built
# with the same source version is not built again, so a second run does nothing.
# Needs Debian's emscripten and a deb-src line (scripts/install-deps.sh adds both).
set -Eeuo pipefail

PREFIX="${1:-${SHOW_WEB_DEPS:-$HOME/.cache/show-web-deps}}"
SRC="$PREFIX/src"
BUILD="$PREFIX/build"
JOBS="${JOBS:-2}"
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
# Emscripten's CMake toolchain looks for packages in its own sysroot only.
export EM_PKG_CONFIG_PATH="$PREFIX/lib/pkgconfig"
mkdir -p "$SRC" "$BUILD" "$PREFIX/lib" "$PREFIX/include"

log() { echo "build-web-deps: $*" >&2; }

# unpack DEBIAN_SOURCE: unpacks Debian's source package (patches applied) and
# prints its folder; the version of the source is the folder's name.
unpack() {
  local pkg="$1"
  (
    cd "$SRC"
    if ! ls "${pkg}"_*.dsc >/dev/null 2>&1; then
      apt-get source --download-only "$pkg" >/dev/null 2>&1 || true
    fi
    local dsc
    dsc=$(ls "${pkg}"_*.dsc | tail -n 1)
    [ -n "$dsc" ] || { log "no Debian source of $pkg (is a deb-src line configured?)"; exit 1; }
    local dir
    dir=$(sed -n 's/^Source: //p' "$dsc")-$(sed -n 's/^Version: //p' "$dsc" | sed 's/^[0-9]*://; s/-[^-]*$//')
    if [ ! -d "$dir" ]; then
      dpkg-source --no-check -x "$dsc" "$dir" >/dev/null
    fi
    echo "$SRC/$dir"
  )
}

# built NAME VERSION: true when NAME was already built from VERSION.
built() { [ -f "$PREFIX/.built-$1" ] && [ "$(cat "$PREFIX/.built-$1")" = "$2" ]; }
mark() { echo "$2" > "$PREFIX/.built-$1"; }

cmake_build() {
  local name="$1" dir="$2"
  shift 2
  rm -rf "${BUILD:?}/$name"
  emcmake cmake -S "$dir" -B "$BUILD/$name" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DCMAKE_FIND_ROOT_PATH="$PREFIX" "$@" >"$BUILD/$name.log" 2>&1
  cmake --build "$BUILD/$name" -j"$JOBS" >>"$BUILD/$name.log" 2>&1
  cmake --install "$BUILD/$name" >>"$BUILD/$name.log" 2>&1
}

build_zlib() {
  local dir; dir=$(unpack zlib)
  built zlib "$dir" && return 0
  log "zlib from $(basename "$dir")"
  rm -rf "${BUILD:?}/zlib" && cp -a "$dir" "$BUILD/zlib"
  (cd "$BUILD/zlib" && CFLAGS="-O2" emconfigure ./configure --static --prefix="$PREFIX" \
     && emmake make -j"$JOBS" libz.a && emmake make install) >"$BUILD/zlib.log" 2>&1
  mark zlib "$dir"
}

build_libdeflate() {
  local dir; dir=$(unpack libdeflate)
  built libdeflate "$dir" && return 0
  log "libdeflate from $(basename "$dir")"
  rm -rf "${BUILD:?}/libdeflate" && cp -a "$dir" "$BUILD/libdeflate"
  (cd "$BUILD/libdeflate" && emmake make -j"$JOBS" CC=emcc AR=emar CFLAGS=-O2 libdeflate.a \
     && cp libdeflate.a "$PREFIX/lib/" && cp libdeflate.h "$PREFIX/include/") >"$BUILD/libdeflate.log" 2>&1
  mark libdeflate "$dir"
}

build_libpng() {
  local dir; dir=$(unpack libpng1.6)
  built libpng "$dir" && return 0
  log "libpng from $(basename "$dir")"
  cmake_build libpng "$dir" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
    -DZLIB_LIBRARY="$PREFIX/lib/libz.a" -DZLIB_INCLUDE_DIR="$PREFIX/include"
  mark libpng "$dir"
}

build_libjpeg() {
  local dir; dir=$(unpack libjpeg-turbo)
  built libjpeg "$dir" && return 0
  log "libjpeg-turbo from $(basename "$dir")"
  # Only the TurboJPEG library the player uses. CMake's type-size check misreads
  # emscripten's output: the sizes are given.
  rm -rf "${BUILD:?}/libjpeg"
  emcmake cmake -S "$dir" -B "$BUILD/libjpeg" -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF \
    -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=ON -DWITH_JAVA=OFF \
    -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4 >"$BUILD/libjpeg.log" 2>&1
  cmake --build "$BUILD/libjpeg" -j"$JOBS" --target turbojpeg-static >>"$BUILD/libjpeg.log" 2>&1
  cp "$BUILD/libjpeg/libturbojpeg.a" "$PREFIX/lib/"
  cp "$dir/turbojpeg.h" "$PREFIX/include/"
  mark libjpeg "$dir"
}

build_mpg123() {
  local dir; dir=$(unpack mpg123)
  built mpg123 "$dir" && return 0
  log "libmpg123 from $(basename "$dir")"
  rm -rf "${BUILD:?}/mpg123" && cp -a "$dir" "$BUILD/mpg123"
  # Only the decoding library, generic C (no assembly for WebAssembly); configure knows no
  # WebAssembly host, and a 32-bit Linux one has its type sizes.
  (cd "$BUILD/mpg123" && emconfigure ./configure --prefix="$PREFIX" --host=i686-pc-linux-gnu --disable-shared \
     --enable-static --with-cpu=generic_fpu --with-audio=dummy --with-default-audio=dummy \
     --disable-modules --disable-network \
     && emmake make -j"$JOBS" src/libmpg123/libmpg123.la \
     && cp src/libmpg123/.libs/libmpg123.a "$PREFIX/lib/" \
     && cp src/libmpg123/mpg123.h src/libmpg123/fmt123.h "$PREFIX/include/") >"$BUILD/mpg123.log" 2>&1
  mark mpg123 "$dir"
}

# SDL2 without its configure step (hundreds of checks, each a WebAssembly link): the
# source's own emscripten configuration (SDL_config_emscripten.h) and the files of the
# emscripten back ends, compiled directly.
build_sdl2() {
  local dir; dir=$(unpack libsdl2)
  # The recipe's revision joins the source's: a changed file list builds again.
  built sdl2 "$dir r2" && return 0
  log "SDL2 from $(basename "$dir")"
  rm -rf "${BUILD:?}/sdl2" && mkdir -p "$BUILD/sdl2"
  local files
  files=$(cd "$dir/src" && ls ./*.c atomic/*.c audio/*.c cpuinfo/*.c dynapi/*.c events/*.c \
    file/*.c haptic/*.c joystick/*.c power/*.c sensor/*.c stdlib/*.c thread/*.c timer/*.c \
    video/*.c locale/*.c misc/*.c render/*.c render/software/*.c render/opengles2/*.c \
    video/emscripten/*.c audio/emscripten/*.c audio/dummy/*.c audio/disk/*.c video/dummy/*.c \
    video/yuv2rgb/*.c sensor/dummy/*.c loadso/dlopen/*.c power/emscripten/*.c \
    joystick/emscripten/*.c joystick/virtual/*.c filesystem/emscripten/*.c timer/unix/*.c \
    haptic/dummy/*.c main/dummy/*.c locale/emscripten/*.c misc/dummy/*.c \
    thread/generic/*.c 2>/dev/null || true)
  (
    cd "$dir/src"
    printf '%s\n' $files | xargs -P "$JOBS" -I{} sh -c \
      'mkdir -p "$0/$(dirname {})" && emcc -O2 -w -I../include -c {} -o "$0/{}.o"' "$BUILD/sdl2"
    emar rcs "$PREFIX/lib/libSDL2.a" $(find "$BUILD/sdl2" -name '*.o' | sort)
    mkdir -p "$PREFIX/include/SDL2"
    cp ../include/*.h "$PREFIX/include/SDL2/"
  ) >"$BUILD/sdl2.log" 2>&1
  mark sdl2 "$dir r2"
}

current=""
trap '[ -z "$current" ] || { log "building $current failed; its log: $BUILD/$current.log"; tail -n 20 "$BUILD/$current.log" >&2; }' ERR
for current in zlib libdeflate libpng libjpeg mpg123 sdl2; do "build_$current"; done
current=""
log "all libraries are in $PREFIX"
