#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite through CTest. With --preset NAME
# first (asan, tsan) the suite runs in that sanitizer build; the other arguments go to ctest
# (for example -L 'unit|e2e').
set -euo pipefail
cd "$(dirname "$0")/.."
preset=default
if [ "${1:-}" = "--preset" ]; then
    preset="$2"
    shift 2
fi
./scripts/build.sh --preset "$preset"
runtime="build/$preset/xdg-runtime"
mkdir -p "$runtime"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$PWD/$runtime"
export QT_QPA_PLATFORM=offscreen
# A sanitizer's first report ends the program with a failure, so its test fails (address and
# undefined-behaviour builds do not recover by their compile options).
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}"
ctest --preset "$preset" "$@"
