#!/usr/bin/env bash
# deb_test.sh BUILD_DIR: makes the Debian package from the build with its CPack configuration,
# and checks what it holds and what it depends on.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/orvo-config_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single orvo-config_*.deb in ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/contents"
for f in /usr/bin/orvo-config /usr/bin/orvo-cli /usr/bin/orvo-encoder-sim \
    /usr/bin/orvo-config-desktop /usr/share/applications/example.orvo.config.desktop \
    /usr/share/icons/hicolor/scalable/apps/example.orvo.config.svg \
    /usr/share/metainfo/example.orvo.config.metainfo.xml \
    /usr/share/orvo-config/File_data/reading.gif /usr/share/man/man1/orvo-config.1.gz \
    /usr/share/man/man1/orvo-cli.1.gz /usr/share/man/man1/orvo-encoder-sim.1.gz \
    /usr/share/man/man1/orvo-config-desktop.1.gz /usr/share/doc/orvo-config/copyright \
    /usr/share/doc/orvo-config/changelog.gz; do
    grep -qx "$f" "$scratch/contents" || fail "the package lacks $f"
done
# Only the programs and their files: no test, benchmark or build leftovers, nothing outside /usr.
if grep -v -e '^/usr/$' -e '^/usr/bin/' -e '^/usr/share/' "$scratch/contents" | grep -q .; then
    fail "the package holds files outside /usr/bin and /usr/share"
fi
if grep -q -e _test -e _bench -e screenshots -e '\.a$' "$scratch/contents"; then
    fail "the package holds build products that are not the programs"
fi

[ "$(dpkg-deb -f "$deb" Package)" = orvo-config ] || fail "the package is not named orvo-config"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# One package name per line, without its version.
names=$(sed 's/, */\n/g' <<<"$depends" | sed 's/[ (].*//')
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6svg6; do
    grep -qxF "$lib" <<<"$names" || fail "Depends lacks $lib"
done
# No Recommends: the Wayland plugin would pull in QtQuick, QML and LLVM for a Widgets program.
[ -z "$(dpkg-deb -f "$deb" Recommends)" ] || fail "the package recommends $(dpkg-deb -f "$deb" Recommends)"
# Debian's own checks: no error and no warning.
lintian --fail-on error,warning --no-tag-display-limit "$deb" >"$scratch/lintian.txt" 2>&1 ||
    { cat "$scratch/lintian.txt" >&2; fail "lintian finds faults in the package"; }
echo "package contents and dependencies: ok"
