#!/usr/bin/env bash
# Runs one fuzz target for longer than CI does, on a copy of its seed corpus:
#   tools/fuzz.sh TARGET MINUTES     (TARGET: fuzz_tree, fuzz_config, fuzz_scene, fuzz_script, fuzz_record)
# Builds the sanitizer build with the fuzzers first, then prints the
# executions, the coverage reached and the findings; inputs that crash are
# kept in build-asan/findings/TARGET/. Exits 1 when there is a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: tools/fuzz.sh TARGET MINUTES"
target=${1:?$usage}
minutes=${2:?$usage}
[[ -d fuzz/corpus/$target ]] || { echo "no fuzz target $target (see fuzz/)" >&2; exit 2; }
[[ $minutes =~ ^[0-9]+$ && $minutes -gt 0 ]] || { echo "$usage: MINUTES is a whole number" >&2; exit 2; }

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DVX_SANITIZE=ON -DVX_FUZZ=ON -DVX_BENCH=OFF >/dev/null
cmake --build build-asan -j "$(nproc)" --target "$target"

corpus=$(mktemp -d)
findings=$PWD/build-asan/findings/$target
mkdir -p "$findings"
cp fuzz/corpus/"$target"/* "$corpus"/
log="$corpus.log"
status=0
build-asan/fuzz/"$target" -max_total_time=$((minutes * 60)) -rss_limit_mb=2048 -print_final_stats=1 -close_fd_mask=1 \
  -artifact_prefix="$findings/" "$corpus" 2>"$log" || status=$?
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
last=$(grep -E '^#[0-9]+' "$log" | tail -1)
coverage=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
inputs=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
echo "$target: ${executions:-?} executions in $minutes min, coverage ${coverage:-?} edges" \
  "(${features:-?} features), corpus ${inputs:-?} inputs"
if [[ $status -ne 0 ]]; then
  grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -10
  echo "$target: finding kept in $findings/ (log: $log)"
  exit 1
fi
echo "$target: no findings"
rm -rf "$corpus" "$log"
