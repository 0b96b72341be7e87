#!/usr/bin/env bash
# Runs one libFuzzer target for a while and folds what it found into its corpus.
#   scripts/fuzz.sh TARGET SECONDS     e.g. scripts/fuzz.sh archive_open_read 600
# Targets are listed in fuzz/FuzzTargets.cmake. Builds with clang, ASan and UBSan
# (assertions on) in build/fuzz; crashes, hangs over 10 s and leaks are saved in
# build/fuzz/findings/TARGET (FUZZ_TIMEOUT=S sets the hang limit for a busy machine).
# The last lines name the executions and the coverage.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then echo "usage: $0 TARGET SECONDS" >&2; exit 2; fi
target="$1" seconds="$2"
# Absolute paths: a target may change its working folder (the scene target does).
dir="$PWD/build/fuzz"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DSHOW_SANITIZE=ON -DSHOW_BUILD_FUZZ=ON \
  -DSHOW_BUILD_TESTS=OFF -DSHOW_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" --target "fuzz_$target" -j"$(nproc 2>/dev/null || echo 2)"
corpus="$PWD/fuzz/corpus/$target"
work="$dir/work/$target"
findings="$dir/findings/$target"
mkdir -p "$corpus" "$work" "$findings"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
log="$dir/$target.log"
status=0
"$dir/fuzz/fuzz_$target" "$work" "$corpus" -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-10}" \
  -rss_limit_mb=2048 -malloc_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$findings/" >"$log" 2>&1 || status=$?
# Keep the corpus minimal: only inputs that add coverage go back into the tree.
merged="$dir/merged/$target"
rm -rf "$merged" && mkdir -p "$merged"
if "$dir/fuzz/fuzz_$target" -merge=1 "$merged" "$corpus" "$work" >"$dir/$target.merge.log" 2>&1 &&
   [ -n "$(ls "$merged")" ]; then
  rm -f "$corpus"/* && cp "$merged"/* "$corpus"/
fi
grep -E "^#[0-9]+.*(DONE|pulse|NEW)" "$log" | tail -1 || true
grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$log" || true
echo "corpus: $(ls "$corpus" | wc -l) inputs; findings: $(ls "$findings" | wc -l) (in $findings)"
exit "$status"
