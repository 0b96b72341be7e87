#!/usr/bin/env bash
# Plays a long show in a window and in full screen on a virtual X display (Xvfb)
# and ends it as a user does: Escape, Alt+F4 and the window's close button. Each
# must end the show at once with status 0.
#   tests/release/window-keys-test.sh PLAYER
set -euo pipefail
player="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
show="$(mktemp -d /tmp/window-keys-XXXXXX)"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$show"' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
echo "waituntil 600000" >"$show/demo.psc"

end_with() {
  local mode="$1" how="$2"
  (cd "$show" && SDL_AUDIODRIVER=dummy exec "$player" "--$mode") >"$show/run.log" 2>&1 &
  local pid=$! window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "window-keys: no window appeared"; cat "$show/run.log"; kill $pid; return 1; }
  sleep 0.5
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  case "$how" in
    escape) xdotool key Escape ;;
    alt-f4) xdotool key alt+F4 ;;
    close) /usr/bin/python3 "$here/close-window.py" "$window" ;;
  esac
  local status=""
  for _ in $(seq 50); do
    if ! kill -0 $pid 2>/dev/null; then wait $pid && status=0 || status=$?; break; fi
    sleep 0.1
  done
  if [ -z "$status" ]; then
    kill $pid
    echo "window-keys: $how did not end the $mode show within 5 s"
    return 1
  fi
  [ "$status" = 0 ] || { echo "window-keys: $how ended the $mode show with status $status"; cat "$show/run.log"; return 1; }
  echo "window-keys: $how ended the $mode show"
}

for mode in windowed fullscreen; do
  for how in escape alt-f4 close; do end_with "$mode" "$how"; done
done
