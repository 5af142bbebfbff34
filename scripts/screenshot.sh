#!/usr/bin/env bash
# Writes PNGs of the main window (each page, both languages), the traffic window and the About
# box into the folder given as the argument, running the tool under a virtual X display.
set -euo pipefail
if [ $# -ne 1 ]; then
    echo "usage: $0 FOLDER" >&2
    exit 2
fi
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
./scripts/build.sh >/dev/null
mkdir -p "$out"
# The tool runs in the repository's folder, where File_data/ holds the reading animation.
xvfb-run -a -s "-screen 0 1280x800x24" build/default/tools/screenshots/orvo-screenshots "$out"
