#!/usr/bin/env bash
# Plays a release of the sample show as a new user meets it: from read-only
# media, started with no options and no terminal (as a double-click starts it),
# on three desktops: an X server without core fonts, one with them (Debian's
# xfonts-base), and weston's headless back end (Wayland only, no X at all).
# On each the start-up question must be shown (a screenshot with the box), is
# answered with injected input, the show must play (two screenshots: a large
# window that moves) and Escape must end it with status 0. Needs root (mount)
# and Xvfb, xdotool, python3-xlib, xfonts-base, weston, libweston-10-dev.
#   tests/release/desktop-test.sh [SHOT_DIR [RELEASE_DIR]]
# Without RELEASE_DIR a release of the sample is made first.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo="$PWD"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
shots="$(mkdir -p "${1:-/tmp/desktop-shots}" && cd "${1:-/tmp/desktop-shots}" && pwd)"
work="$(mktemp -d /tmp/desktop-test-XXXXXX)"
media="$work/media"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if mountpoint -q "$media" && ! $SUDO umount "$media"; then
    echo "desktop-test: $media is still mounted; $work is left as it is" >&2
    return
  fi
  rm -rf "$work"
}
trap cleanup EXIT
start=$(date +%s)
screen() { /usr/bin/python3 "$repo/tests/release/screen.py" "$@"; }
fail() { echo "desktop-test: $*" >&2; [ -f "$work/player.log" ] && cat "$work/player.log" >&2; exit 1; }

release="${2:-$work/release}"
[ -n "${2:-}" ] || bash scripts/make-release.sh examples/sample "$release" >/dev/null
[ -x "$release/sample" ] || fail "no release in $release"
mkdir -p "$media" "$work/home"
$SUDO mount --bind "$release" "$media"
$SUDO mount -o remount,bind,ro "$media"
touch "$media/written" 2>/dev/null && fail "the release is not mounted read-only"
gcc -shared -fPIC -O2 -Wall -Wextra -Werror -o "$work/weston-input.so" \
  "$repo/tests/release/weston-input.c" $(pkg-config --cflags libweston-10 wayland-server)

# Starts the player as a file manager does: no options, no terminal, the home
# folder as working folder; only the desktop's variables (given as arguments).
# No sound device here: the dummy audio driver stands in.
player=""
start_player() {
  (cd "$work/home" && exec env -i HOME="$work/home" PATH=/usr/bin:/bin SDL_AUDIODRIVER=dummy "$@" \
    setsid "$media/sample" </dev/null >"$work/player.log" 2>&1) &
  player=$!
  pids+=("$player")
}
wait_player() {  # Waits up to 10 s for the player to end; its status must be 0.
  local status=""
  for _ in $(seq 100); do
    if ! kill -0 "$player" 2>/dev/null; then wait "$player" && status=0 || status=$?; break; fi
    sleep 0.1
  done
  [ -n "$status" ] || fail "$1: the player did not end within 10 s"
  [ "$status" = 0 ] || fail "$1: the show ended with status $status"
}
wait_for_question() {
  for _ in $(seq 100); do grep -q "^Demo: Would you like" "$work/player.log" && return 0; sleep 0.1; done
  fail "$1: the question was not asked"
}

# Waits up to 20 s for the show to cover a large part of the screen and move:
# $1 the session's name, $2 the command that takes a screenshot.
show_playing() {
  local name="$1" shot="$2"
  for _ in $(seq 10); do
    sleep 1
    $shot "$shots/$name-show.png"
    sleep 1
    $shot "$work/later.png"
    screen show "$work/desktop.png" "$shots/$name-show.png" "$work/later.png" >"$work/check.log" 2>&1 &&
      { cat "$work/check.log"; return 0; }
  done
  cat "$work/check.log"
  fail "$name: the show is not playing"
}

# Waits up to 20 s for the question's box: $1 the session's name, $2 the
# command that takes a screenshot.
question_shown() {
  local name="$1" shot="$2"
  wait_for_question "$name"
  for _ in $(seq 20); do
    sleep 1
    $shot "$shots/$name-question.png"
    screen box "$work/desktop.png" "$shots/$name-question.png" >"$work/check.log" 2>&1 &&
      { cat "$work/check.log"; return 0; }
  done
  cat "$work/check.log"
  fail "$name: no question on the screen"
}

# Starts an X server on a free display with the font path $1; sets DISPLAY
# and xvfb (its process).
xvfb=""
start_xvfb() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -fp "$1" 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  pids+=("$xvfb")
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
  export DISPLAY=":$(head -1 "$work/display")"
  for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
}

# One X session: $1 its name, $2 the server's font path, $3 the keys that
# answer the question.
x_session() {
  local name="$1" answer="$3"
  start_xvfb "$2"
  screen shot-x11 "$work/desktop.png"
  start_player DISPLAY="$DISPLAY"
  question_shown "$name" "screen shot-x11"
  local box
  box=$(screen window Demo) || fail "$name: no window named Demo"
  xdotool windowfocus --sync "$box" 2>/dev/null || xdotool windowfocus "$box"
  xdotool key $answer
  show_playing "$name" "screen shot-x11"
  local window
  window=$(screen window "Demo - ") || fail "$name: no show window titled \"Demo - ...\""
  echo "desktop-test: $name: playing in \"$(xdotool getwindowname "$window")\""
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key Escape
  wait_player "$name"
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  unset DISPLAY
}

# An X server whose only fonts are its built-in ones: no native box can be
# made; the player draws its own, answered No with the N key.
x_session x11-no-core-fonts built-ins n
# With the core fonts, SDL's own box; it takes only Return and Escape: Return
# is Yes, full screen.
[ -d /usr/share/fonts/X11/misc ] || fail "xfonts-base is not installed"
x_session x11-core-fonts /usr/share/fonts/X11/misc,built-ins Return

# Wayland: weston's headless back end, with a seat fed through a FIFO.
xdg="$work/xdg"
mkdir -m 700 "$xdg"
mkfifo "$xdg/input"
printf '[core]\nidle-time=0\n[shell]\npanel-position=none\nbackground-color=0xff203040\nlocking=false\n' >"$work/weston.ini"
XDG_RUNTIME_DIR="$xdg" WESTON_INPUT_FIFO="$xdg/input" weston --backend=headless-backend.so \
  --use-pixman --width=1280 --height=1024 --socket=wayland-test --config="$work/weston.ini" \
  --modules="$work/weston-input.so" --debug --log="$work/weston.log" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$xdg/wayland-test" ] && break; sleep 0.1; done
[ -S "$xdg/wayland-test" ] || { cat "$work/weston.log"; fail "weston did not start"; }
wayland_shot() {
  rm -f "$xdg"/wayland-screenshot-*.png
  (cd "$xdg" && XDG_RUNTIME_DIR="$xdg" WAYLAND_DISPLAY=wayland-test weston-screenshooter) ||
    fail "wayland: no screenshot"
  mv "$xdg"/wayland-screenshot-*.png "$1"
}
for _ in $(seq 50); do  # until the desktop has its background
  wayland_shot "$work/desktop.png"
  screen centre "$work/desktop.png" 203040 2>/dev/null && break
  sleep 0.2
done
start_player XDG_RUNTIME_DIR="$xdg" WAYLAND_DISPLAY=wayland-test
question_shown wayland wayland_shot
echo "key 49" >"$xdg/input"  # N: No, a window
show_playing wayland wayland_shot
echo "key 1" >"$xdg/input"  # Escape
wait_player wayland

echo "desktop-test: passed in $(( $(date +%s) - start )) s; screenshots in $shots"
