#!/usr/bin/env bash
# Remakes the pictures of docs/editor/ by replaying examples/editor/*.txt: each
# script's first line is the command that replays it, run from here.
set -euo pipefail
cd "$(dirname "$0")/.."
for script in examples/editor/*.txt; do
  presets=$(mktemp -d)
  read -r -a args < <(head -1 "$script" | sed 's/^# valtorimex //')
  build/valtorimex "${args[@]}" --presets "$presets"
  rm -rf "$presets"
done
