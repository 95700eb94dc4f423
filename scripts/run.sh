#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the sample templates.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec build/bin/skarvelle2 "$@"
