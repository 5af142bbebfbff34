#!/usr/bin/env bash
# Installs what is missing and builds everything (tool, simulator, tests, benchmarks); with
# --preset NAME (asan, tsan) the build of that preset instead of the default one.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=default
if [ "${1:-}" = "--preset" ]; then
    preset="$2"
fi
./scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
