#!/usr/bin/env bash
# Configures (once) and builds one build folder. Usage: scripts/build.sh <build-dir> [cmake -D options...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$1
shift
if [[ ! -f "$build_dir/build.ninja" ]]; then
  cmake -S . -B "$build_dir" -G Ninja "$@"
else
  cmake "$build_dir" "$@" > /dev/null
fi
cmake --build "$build_dir" --parallel "$(nproc)"
