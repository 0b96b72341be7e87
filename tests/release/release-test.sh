#!/usr/bin/env bash
# Makes a release of the sample show, builds a minimal Debian root that has only
# the base system and Mesa's GL/EGL drivers (no SDL, libpng, mpg123 or any
# development package), mounts the release read-only inside it and plays a
# headless capture run there. Passes when the run ends with status 0 after the
# expected number of frames, the frames are not black and the sound is not
# silent. Needs root (debootstrap, mount, chroot) and the Debian mirror.
#   tests/release/release-test.sh [WORK_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
repo="$PWD"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
work="${1:-$(mktemp -d /tmp/release-test-XXXXXX)}"
mkdir -p "$work"
root="$work/root"
mounts=()
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do $SUDO umount "${mounts[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
start=$(date +%s)

bash scripts/make-release.sh examples/sample "$work/release"
size=$(du -sh "$work/release" | cut -f1)

if [ ! -x "$root/bin/sh" ]; then
  mirror=$(awk '/^URIs:/ { print $2; exit } /^deb / { print $2; exit }' \
    /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null || true)
  $SUDO debootstrap --variant=minbase --include=libegl1,libegl-mesa0,libgl1,libgl1-mesa-dri \
    bookworm "$root" "${mirror:-http://deb.debian.org/debian}" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log"; exit 1; }
fi
for lib in libSDL2 libpng16 libmpg123 libturbojpeg libdeflate libepoxy; do
  if compgen -G "$root/usr/lib/x86_64-linux-gnu/$lib*" >/dev/null; then
    echo "release-test: the minimal root unexpectedly has $lib" >&2
    exit 1
  fi
done

$SUDO mkdir -p "$root/show" "$root/proc"
$SUDO mount --bind "$work/release" "$root/show"
mounts+=("$root/show")
$SUDO mount -o remount,bind,ro "$root/show"
mounts+=("$root/proc")
$SUDO mount -t proc proc "$root/proc"
if $SUDO touch "$root/show/written" 2>/dev/null; then
  echo "release-test: the release is not mounted read-only" >&2
  exit 1
fi

fps=10
seconds=4
$SUDO rm -rf "$root/tmp/capture"
frames=""
if "$work/release/sample" --help | grep -q -- '--frames'; then frames="--frames png"; fi
status=0
$SUDO chroot "$root" /usr/bin/env -i HOME=/tmp PATH=/usr/bin:/bin SDL_AUDIODRIVER=dummy \
  /bin/sh -c "cd /tmp && /show/sample --headless --capture /tmp/capture $frames --fps $fps --seconds $seconds" \
  >"$work/run.log" 2>&1 || status=$?
cat "$work/run.log"
if [ "$status" != 0 ]; then
  echo "release-test: the release ended with status $status" >&2
  exit 1
fi

python3 "$repo/tests/release/check-capture.py" "$root/tmp/capture" $((fps * seconds))
echo "release-test: passed in $(( $(date +%s) - start )) s; the release is $size"
