#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined sanitizers), replays each seed corpus
# in fuzz/corpus/, then runs each target for the given number of seconds (default 30; 0 replays
# only). New inputs go to a scratch folder, not into the repository; a crash leaves its input in
# build/fuzz/artifacts/ and fails the run. Once it is fixed, keep the input in the target's
# corpus as a regression case.
set -euo pipefail
seconds="${1:-30}"
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
artifacts="$PWD/build/fuzz/artifacts"
mkdir -p "$artifacts"
status=0
for source in fuzz/*_fuzz.cpp; do
    name=$(basename "$source" .cpp)
    target="build/fuzz/fuzz/$name"
    corpus="fuzz/corpus/$name"
    log="build/fuzz/$name.log"
    if "$target" -runs=0 -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1; then
        echo "fuzz: $name: $(find "$corpus" -type f | wc -l) seeds replayed"
    else
        echo "fuzz: $name: FAILED replaying its corpus"
        tail -n 30 "$log"
        status=1
        continue
    fi
    if [ "$seconds" -gt 0 ]; then
        scratch=$(mktemp -d)
        if "$target" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$artifacts/$name-" "$scratch" "$corpus" >"$log" 2>&1; then
            runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
            echo "fuzz: $name: ${runs:-?} runs in ${seconds}s, no finding"
        else
            echo "fuzz: $name: FINDING (input in $artifacts)"
            tail -n 40 "$log"
            status=1
        fi
        rm -rf "$scratch"
    fi
done
exit $status
