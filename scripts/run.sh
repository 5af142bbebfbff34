#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated encoder and then the tool, both in the
# repository's folder so that the tool finds the simulator's port in File_data/ports/.
# Extra arguments go to the simulator, e.g. ./scripts/run.sh --family analog --node 7
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
sim="$build/sim/orvo-encoder-sim"
tool="$build/src/app/orvo-config"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display. Run this from a desktop session, or start a virtual one first:" >&2
    echo "       Xvfb :99 & export DISPLAY=:99" >&2
    exit 1
fi

echo "run: checking the packages the build needs (installs what is missing, once)"
./scripts/install-deps.sh
if [ -x "$tool" ]; then
    echo "run: bringing the build up to date"
else
    echo "run: building the tool, the simulator and the tests; the first build takes several minutes"
fi
# The build's own progress lines ([ 42%] ...) show how far it has come; the whole output is kept.
mkdir -p build
set +e
./scripts/build.sh 2>&1 | tee build/run-build.log | grep --line-buffered -E '^\[ *[0-9]+%\]'
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
    echo "run: the build failed; build/run-build.log shows why" >&2
    exit 1
fi

# Qt wants a private runtime folder; give it one where the session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$PWD/$build/xdg-runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
fi
mkdir -p File_data
echo "run: starting the simulated encoder, then the tool (press \"device search\")"

log=$(mktemp)
"$sim" "$@" >"$log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 50); do
    grep -q '^serving' "$log" && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.1
done
cat "$log"
"$tool"
