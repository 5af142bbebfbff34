#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks, the demo and the Debian
# package need.
# Does nothing when they are all present; uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-serialport-dev qt6-svg-dev
    libgtest-dev libgmock-dev
    clang-format python3
    clang libclang-rt-dev
    xvfb xauth
    groff-base desktop-file-utils appstream dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
