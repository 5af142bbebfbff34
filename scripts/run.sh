#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated encoder and then the tool, both in the
# repository's folder so that the tool finds the simulator's port in File_data/ports/.
# Extra arguments go to the simulator, e.g. ./scripts/run.sh --family analog --node 7
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh >/dev/null

build=build/default
sim="$build/sim/orvo-encoder-sim"
tool="$build/src/app/orvo-config"

mkdir -p File_data
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display. Run this from a desktop session, or start a virtual one first:" >&2
    echo "       Xvfb :99 & export DISPLAY=:99" >&2
    exit 1
fi

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
