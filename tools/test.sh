#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the plain build, the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer, the tests
# that render on several threads (the live view among them, edited while it
# renders) under ThreadSanitizer, and a short run of
# each fuzzer on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DVX_SANITIZE=ON -DVX_FUZZ=ON -DVX_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DVX_TSAN=ON -DVX_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target valtorimex_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/valtorimex_tests \
  --gtest_filter='ItemCache.*:RenderMemory.*:Renderer*.SameBytes*:Evaluate.*:LiveView*'

for target in build-asan/fuzz/*; do
  name=$(basename "$target")
  corpus=$(mktemp -d)
  cp fuzz/corpus/"$name"/* "$corpus"/
  echo "fuzzing $name"
  "$target" -max_total_time="${VX_FUZZ_SECONDS:-30}" -rss_limit_mb=2048 -print_final_stats=0 -close_fd_mask=1 \
    "$corpus" 2>"$corpus.log" || { tail -50 "$corpus.log"; exit 1; }
  rm -rf "$corpus" "$corpus.log"
done
echo "all tests passed"
