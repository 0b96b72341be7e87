#!/usr/bin/env bash
# Imports every model of Debian's assimp-testmodels package with sceneimport --frame,
# plays each scene headless for a moment, captures a frame and judges it: visible
# (enough of the picture differs from the black background), not blown out (not
# mostly pure white). Prints per file the status, the import time and the report's
# summary, then the counts. Frames are kept in OUT/frames for a look.
#   scripts/import-testmodels.sh [BUILD_DIR] [MODELS_DIR] [OUT]
# Defaults: build/release, the package's models folder, a new temporary folder.
# Needs python3 for the judging (scripts/judge-frames.py).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
models=${2:-}
if [ -z "$models" ]; then
  models=$(dpkg -L assimp-testmodels 2>/dev/null | grep -m1 '/models$' || true)
  [ -n "$models" ] || models=/usr/share/assimp/models
fi
out=${3:-$(mktemp -d)}
importer="$build/tools/sceneimport/sceneimport"
player="$build/app/demo"
for tool in "$importer" "$player"; do
  [ -x "$tool" ] || { echo "missing $tool: build it first" >&2; exit 2; }
done

[ -d "$models" ] || { echo "no models folder $models (apt-get install assimp-testmodels)" >&2; exit 2; }
mkdir -p "$out/frames" "$out/logs"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
limit=${IMPORT_TIMEOUT:-60}

# Pictures, buffers, shaders and notes that ride along with the models.
skip='\.(png|jpe?g|bmp|tga|dds|gif|tiff?|psd|ktx|txt|md|bin|mtl|glsl|vert|frag|material|uc|html?|pdf|ico|hdr|seq)$'

# One tab-separated line per model for the judge: verdict so far, seconds, model,
# summary, warnings, captured frame (empty when none).
while IFS= read -r -d '' file; do
  rel=${file#"$models"/}
  if echo "$rel" | grep -qiE "$skip"; then continue; fi
  name=$(echo "$rel" | tr '/ ' '__')
  work=$(mktemp -d)
  start=$(date +%s.%N)
  timeout "$limit" nice "$importer" "$file" "$work/scene.psk" --frame --report >"$work/import.log" 2>&1
  status=$?
  seconds=$(printf '%.2f' "$(echo "$(date +%s.%N) - $start" | bc)")
  cp "$work/import.log" "$out/logs/$name.import.log"
  summary=$(grep -m1 '^nodes' "$work/import.log" | sed 's/, animation channels.*//')
  warnings=$(grep -c '^warning' "$work/import.log")
  message=$(grep -m1 '^sceneimport:' "$work/import.log" | sed "s|^sceneimport: [^:]*: ||")
  verdict="" frame=""
  if [ "$status" = 124 ] || [ "$status" = 137 ]; then
    verdict=TIMEOUT
  elif [ "$status" != 0 ]; then
    verdict=REFUSED
    echo "$message" | grep -q "not a model format" && verdict=UNREADABLE
    summary=$message
  else
    printf 'loadscene scene.psk s\nplayscene s\nwaituntil 400\n' >"$work/demo.psc"
    timeout "$limit" nice "$player" --headless --capture "$work/frames" --frames png --size 512x384 --fps 10 \
      --data "$work" >"$work/play.log" 2>&1
    played=$?
    cp "$work/play.log" "$out/logs/$name.play.log"
    captured=$(ls "$work/frames/"*.png 2>/dev/null | sort | sed -n '3p')
    if [ "$played" != 0 ] || [ -z "$captured" ] || grep -q "Error" "$work/play.log"; then
      verdict="PLAYER($played)"
    else
      frame="$out/frames/$name.png"
      cp "$captured" "$frame"
    fi
  fi
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$verdict" "$seconds" "$rel" "$summary" "$warnings" "$frame"
  rm -rf "$work"
done < <(find "$models" -type f -print0 | sort -z) | python3 "$root/scripts/judge-frames.py"
echo "frames and logs: $out"
