#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the built-in example.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=OFF >/dev/null
cmake --build build --target valtorimex
build/valtorimex eval examples/trees/red.shd
