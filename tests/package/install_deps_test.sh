#!/usr/bin/env bash
# install_deps_test.sh SOURCE_DIR: on a machine that has every package (the build that runs this
# test installed them), install-deps.sh calls neither apt nor sudo: it needs no network and asks
# for no password, so run.sh and test.sh work again and again for a user without sudo.
set -euo pipefail
src=$1
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Stand-ins that note any call and fail it.
for tool in apt-get apt sudo; do
    printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\nexit 1\n' "$tool" "$fake" >"$fake/$tool"
    chmod +x "$fake/$tool"
done
PATH="$fake:$PATH" "$src/scripts/install-deps.sh" >"$fake/out" 2>&1 ||
    { cat "$fake/out" >&2; fail "install-deps.sh failed with every package present"; }
[ ! -e "$fake/calls" ] || fail "install-deps.sh called: $(cat "$fake/calls")"
[ ! -s "$fake/out" ] || fail "install-deps.sh said something with nothing to do: $(cat "$fake/out")"
echo "install-deps.sh with every package present: nothing to do, nothing called"
