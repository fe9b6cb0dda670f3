#!/usr/bin/env bash
# Installs what is missing, builds, and renders the built-in demo scene to demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=OFF >/dev/null
cmake --build build --target valtorimex
build/valtorimex render -o demo.png --samples 4
