#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
mkdir -p build/default/xdg-runtime
chmod 700 build/default/xdg-runtime
export XDG_RUNTIME_DIR="$PWD/build/default/xdg-runtime"
export QT_QPA_PLATFORM=offscreen
ctest --preset default "$@"
