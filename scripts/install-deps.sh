#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the sample show need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  cmake make g++ clang pkg-config ca-certificates \
  libsdl2-dev libepoxy-dev libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri \
  zlib1g-dev libdeflate-dev libturbojpeg0-dev libpng-dev libstb-dev libmpg123-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  lame sox ffmpeg mingw-w64-common patchelf debootstrap xvfb xdotool python3-xlib >/dev/null
# The desktops of the release test: X with core fonts, and Wayland (weston and
# its headers, for the test's input module).
$SUDO apt-get install -y -qq --no-install-recommends \
  xfonts-base weston libweston-10-dev >/dev/null
# tools: the model importer (glTF through tinygltf, the other formats through assimp)
# and assimp's sample models its tests import.
$SUDO apt-get install -y -qq --no-install-recommends \
  libtinygltf-dev libassimp-dev assimp-testmodels >/dev/null
# The web target: Debian's emscripten, the sources of the libraries it builds for
# WebAssembly (scripts/build-web-deps.sh, through a deb-src line), and chromium, which
# plays the web build headless in its test.
if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
    $SUDO tee /etc/apt/sources.list.d/show-player-src.sources >/dev/null
  $SUDO apt-get update -qq
fi
$SUDO apt-get install -y -qq --no-install-recommends emscripten chromium dpkg-dev >/dev/null
echo "install-deps: all packages are installed"
