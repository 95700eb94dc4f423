#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build-check -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKRV_SANITIZE=ON -DSKRV_WERROR=ON -DSKRV_BENCHMARKS=OFF
export QT_QPA_PLATFORM=offscreen
runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
export XDG_RUNTIME_DIR=$runtime_dir
cd build-check
ctest --output-on-failure --parallel "$(nproc)" "$@"
