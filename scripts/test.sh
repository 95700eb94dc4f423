#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# -O1 with line tables only: what the sanitizers need for readable reports, and a clean build in
# little more than half the time -O2 -g takes.
scripts/build.sh build-check -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
  -DSKRV_SANITIZE=ON -DSKRV_WERROR=ON -DSKRV_BENCHMARKS=OFF
export QT_QPA_PLATFORM=offscreen
runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
export XDG_RUNTIME_DIR=$runtime_dir
cd build-check
ctest --output-on-failure --parallel "$(nproc)" "$@"
