#!/usr/bin/env bash
# install_test.sh BUILD_DIR: installs the build into a scratch prefix, checks every installed
# file, validates the desktop entry and the AppStream metadata, and starts the installed window
# (offscreen) the way the desktop menu does and the way a terminal does.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

app=example.orvo.config
for f in bin/orvo-config bin/orvo-cli bin/orvo-encoder-sim bin/orvo-config-desktop; do
    [ -x "$prefix/$f" ] || fail "$f is not installed as a program"
done
for f in share/applications/$app.desktop share/icons/hicolor/scalable/apps/$app.svg \
    share/metainfo/$app.metainfo.xml share/orvo-config/File_data/reading.gif \
    share/man/man1/orvo-config.1.gz share/man/man1/orvo-config-desktop.1.gz \
    share/man/man1/orvo-cli.1.gz share/man/man1/orvo-encoder-sim.1.gz \
    share/doc/orvo-config/copyright share/doc/orvo-config/changelog.gz; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
done
for page in orvo-config orvo-config-desktop orvo-cli orvo-encoder-sim; do
    gzip -t "$prefix/share/man/man1/$page.1.gz" || fail "the man page of $page is not gzip"
done
gzip -dc "$prefix/share/doc/orvo-config/changelog.gz" | head -1 | grep -q "^orvo-config (" ||
    fail "the changelog does not begin with the package's entry"
desktop-file-validate "$prefix/share/applications/$app.desktop" ||
    fail "the desktop entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" >"$scratch/appstream.txt" ||
    { cat "$scratch/appstream.txt" >&2; fail "the AppStream metadata does not validate"; }
grep -q '<image>https://.*/identification-en.png</image>' "$prefix/share/metainfo/$app.metainfo.xml" ||
    fail "the AppStream metadata has no screenshot of the identification page"
grep -qx "Icon=$app" "$prefix/share/applications/$app.desktop" || fail "the icon is not the app's"
"$prefix/bin/orvo-cli" --version >/dev/null || fail "the installed orvo-cli does not run"
"$prefix/bin/orvo-encoder-sim" --help >/dev/null || fail "the installed simulator does not run"
"$prefix/bin/orvo-encoder-sim" --version >/dev/null || fail "the installed simulator has no version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/orvo-config" --version >/dev/null ||
    fail "the installed window does not tell its version without a display"

# The desktop entry's command, found on the PATH as the menu finds it.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app.desktop")
[ -n "$exec_line" ] || fail "the desktop entry has no Exec line"
read -r -a command <<<"$exec_line"
export PATH="$prefix/bin:$PATH"
export QT_QPA_PLATFORM=offscreen
export HOME=$scratch/home
mkdir -p "$HOME"
unset XDG_DATA_HOME
clip=$prefix/share/orvo-config/File_data/reading.gif

# start FOLDER CONDITION [ENV=VALUE...] -- COMMAND...: starts COMMAND in FOLDER and waits (60 s
# at most) until the shell test CONDITION holds; the window must still run then. It is ended.
start() {
    local folder=$1 condition=$2
    shift 2
    local envs=()
    while [ "$1" != "--" ]; do
        envs+=("$1")
        shift
    done
    shift
    (cd "$folder" && exec env "${envs[@]}" "$@") >"$scratch/window.log" 2>&1 &
    local pid=$!
    pids+=("$pid")
    for _ in $(seq 600); do
        eval "$condition" && break
        kill -0 "$pid" 2>/dev/null || { cat "$scratch/window.log" >&2; fail "$* ended at start"; }
        sleep 0.1
    done
    eval "$condition" || fail "$*: no $condition"
    kill -0 "$pid" 2>/dev/null || { cat "$scratch/window.log" >&2; fail "$* ended at start"; }
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

# From the menu, in an empty folder: the user's folder is made with the animation, and the
# window makes its settings file there. The folder it was started from stays empty.
empty=$scratch/empty
mkdir "$empty"
user=$HOME/.local/share/orvo-config
start "$empty" '[ -s "$user/File_data/Orvo_temp.dat" ]' -- "${command[@]}"
cmp -s "$clip" "$user/File_data/reading.gif" || fail "the user's folder has no animation"
[ "$(cat "$user/File_data/Orvo_temp.dat")" = EN ] || fail "the first settings file is not EN"
[ -z "$(ls -A "$empty")" ] || fail "the window wrote into the folder it was started from"

# The next start keeps the language the user chose, and brings a stale animation up to date.
printf IT >"$user/File_data/Orvo_temp.dat"
printf stale >"$user/File_data/reading.gif"
start "$empty" 'cmp -s "$clip" "$user/File_data/reading.gif"' -- "${command[@]}"
[ "$(cat "$user/File_data/Orvo_temp.dat")" = IT ] || fail "the language setting did not last"

# XDG_DATA_HOME names the user's data folder.
start "$empty" '[ -s "$scratch/data/orvo-config/File_data/Orvo_temp.dat" ]' \
    "XDG_DATA_HOME=$scratch/data" -- "${command[@]}"

# A data folder that cannot be made: the window starts all the same, in the folder it was
# started from, and keeps its settings there when that folder has File_data/.
printf x >"$scratch/not-a-folder"
here=$scratch/here
mkdir -p "$here/File_data"
start "$here" '[ -s "$here/File_data/Orvo_temp.dat" ]' "XDG_DATA_HOME=$scratch/not-a-folder" \
    -- "${command[@]}"
grep -q "cannot make" "$scratch/window.log" || fail "the desktop start did not say why"

# From a terminal the window works in the folder it is started from, as it always has.
terminal=$scratch/terminal
mkdir -p "$terminal/File_data"
rm -rf "$user"
start "$terminal" '[ -s "$terminal/File_data/Orvo_temp.dat" ]' -- orvo-config
[ ! -e "$user" ] || fail "a terminal start made the user's folder"
echo "installed tree, desktop entry, metadata and starts: ok"
