#!/usr/bin/env bash
# Installs what is missing and builds everything (tool, simulator, tests, benchmarks).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
