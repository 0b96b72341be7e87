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
echo "install-deps: all packages are installed"
