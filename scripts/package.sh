#!/usr/bin/env bash
# Installs what is missing, builds the programs alone (Release, no tests) and makes the Debian
# package build/package/packages/orvo-config_<version>_<arch>.deb with CPack. Its dependencies
# come from the libraries the programs link (dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh --preset package
cpack --preset package
ls build/package/packages/*.deb
