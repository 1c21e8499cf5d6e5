#!/usr/bin/env bash
# The installed program: builds the Debian package from the build tree, unpacks it into a
# temporary root (dpkg-deb -x) and starts the unpacked program offscreen as a user would,
# with HOME and XDG_DATA_HOME in a temporary folder.
#
#   installed_program.sh BUILD_DIR OPEN_PROBE VERSION
set -euo pipefail
build=$1
probe=$2
version=$3

# In memory when there is room: nothing here needs to reach the disk.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -ge 1048576 ]; then
    export TMPDIR=/dev/shm
fi
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    [ -f "$work/err" ] && sed 's/^/  program: /' "$work/err" >&2
    exit 1
}
step() { echo "-- $*"; }

# --- The package -------------------------------------------------------------------------
step "package"
(cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null) || fail "cpack could not build the package"
deb=$work/pkg/featherlog_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/pkg")"
[ "$(dpkg-deb -f "$deb" Package)" = featherlog ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not the project's ($version)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6svg6 libqt6multimedia6 libsqlcipher0 libcdio19; do
    [[ "$depends" == *"$lib ("* ]] || fail "Depends lacks $lib: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/featherlog
share=$root/usr/share/featherlog
desktop=$root/usr/share/applications/org.featherlog.featherlog.desktop
metainfo=$root/usr/share/metainfo/org.featherlog.featherlog.metainfo.xml
for f in "$program" "$share/bird.mdb" "$share/checklist.rpt" "$share/life.rpt" "$share/seen.rpt" "$share/list.rpt" "$desktop" "$metainfo" \
         "$root/usr/share/icons/hicolor/scalable/apps/featherlog.svg" "$root/usr/share/man/man1/featherlog.1.gz" \
         "$root/usr/share/doc/featherlog/copyright" "$root/usr/share/doc/featherlog/changelog.gz"; do
    [ -f "$f" ] || fail "the package lacks ${f#"$root"}"
done
[ -x "$program" ] || fail "the program is not executable"
for size in 16 22 24 32 48 64 128 256 512; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/featherlog.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    [ "$(file -b "$png" | grep -o "$size x $size")" = "$size x $size" ] || fail "$png is $(file -b "$png")"
done
file -b "$program" | grep -q ', stripped' || fail "the program is not stripped"
gzip -t "$root/usr/share/man/man1/featherlog.1.gz" || fail "manual page"
# No path of the build machine is written into the shipped text files.
if grep -rlIF "$build" "$root" >/dev/null; then fail "the build folder appears in $(grep -rlIF "$build" "$root")"; fi

# The desktop entry names the program and the icon that are shipped; the metadata names the entry.
grep -qx 'Exec=featherlog' "$desktop" || fail "Exec of the desktop entry"
grep -qx 'Icon=featherlog' "$desktop" || fail "Icon of the desktop entry"
grep -q '<launchable type="desktop-id">org.featherlog.featherlog.desktop</launchable>' "$metainfo" ||
    fail "the metadata does not name the desktop entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata does not name this version"

step "validators"
if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
else
    echo "desktop-file-validate is not installed (scripts/deps installs it); not run"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream" 2>&1 ||
        fail "appstreamcli validate: $(cat "$work/appstream")"
else
    echo "appstreamcli is not installed (scripts/deps installs it); not run"
fi
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l -Tutf8 "$root/usr/share/man/man1/featherlog.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page warnings: $warnings"
fi

sums() { (cd "$share" && find . -type f -print0 | sort -z | xargs -0 sha256sum; ls -la --time-style=+ .); }
shipped=$(sums)

# --- Starting the program ----------------------------------------------------------------
home=$work/home
mkdir -p "$home"

# start ENV... -- ARGS...: starts the program in the background with the given environment.
start() {
    local env=()
    while [ "$1" != "--" ]; do env+=("$1"); shift; done
    shift
    env -i PATH="$PATH" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
        UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" "${env[@]}" \
        "$program" "$@" >"$work/out" 2>"$work/err" &
    pid=$!
}

# Waits until the running program holds the write lock on database $1 (it has opened it for
# itself), or fails when it ends first or takes too long.
wait_until_open() {
    local db=$1
    for _ in $(seq 1 300); do
        kill -0 "$pid" 2>/dev/null || fail "the program ended before it opened $db"
        if [ -f "$db" ]; then
            local inode
            inode=$(stat -c %i "$db")
            grep -Eq "POSIX +ADVISORY +WRITE +$pid +[0-9a-f]+:[0-9a-f]+:$inode " /proc/locks && return 0
        fi
        sleep 0.1
    done
    fail "the program did not open $db within 30 s"
}

# Waits until the program has written text $1 to its error output (a message it also shows).
wait_for_message() {
    for _ in $(seq 1 300); do
        grep -qF "$1" "$work/err" && return 0
        kill -0 "$pid" 2>/dev/null || fail "the program ended without saying '$1'"
        sleep 0.1
    done
    fail "the program did not say '$1' within 30 s"
}

# Ends the program as the session does and checks its exit status.
stop_expecting() {
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq "$1" ] || fail "the program ended with $status, not $1"
}

query() { "$probe" --program "$1" "$2"; }

step "first start: the per-user data folder is made"
data=$home/xdg/featherlog
start HOME="$home" XDG_DATA_HOME="$home/xdg" -- 
wait_until_open "$data/bird.mdb"
for sub in Images Songs CD Backups; do [ -d "$data/$sub" ] || fail "no $sub folder in $data"; done
stop_expecting 0
[ "$(query "$data/bird.mdb" "SELECT count(*) FROM Birds")" -gt 1000 ] || fail "the per-user database is not the sample"
[ -z "$(ls "$data/Backups")" ] || fail "a backup was written though nothing changed: $(ls "$data/Backups")"
[ -w "$data/bird.mdb" ] || fail "the copied database cannot be written"
# Keyed at the program's full cost: the probe at the tests' own low cost cannot read it.
if "$probe" "$data/bird.mdb" >/dev/null; then fail "the per-user database is keyed at the tests' cost"; fi

step "second start: the same database again"
query "$data/bird.mdb" "INSERT INTO Sightings (Bird_ID, Date, site) VALUES ((SELECT min(ID) FROM Birds), '2024-05-01', 'Marker Marsh')" >/dev/null
inode=$(stat -c %i "$data/bird.mdb")
start HOME="$home" XDG_DATA_HOME="$home/xdg" -- 
wait_until_open "$data/bird.mdb"
stop_expecting 0
[ "$(stat -c %i "$data/bird.mdb")" = "$inode" ] || fail "the database was replaced"
[ "$(query "$data/bird.mdb" "SELECT count(*) FROM Sightings WHERE site = 'Marker Marsh'")" = 1 ] ||
    fail "the second start did not keep the user's sighting"

step "a backup the program writes is keyed at the program's own cost"
# A note of a failed automatic backup makes the next exit write one, changes or not.
printf '2024-01-01T00:00:00Z\nthe disk was full\n' >"$data/bird.mdb.backup-failed"
start HOME="$home" XDG_DATA_HOME="$home/xdg" --
wait_until_open "$data/bird.mdb"
stop_expecting 0
backup=$(ls "$data"/Backups/bird-auto-*.mdb 2>/dev/null | head -n 1 || true)
[ -n "$backup" ] || fail "no automatic backup after a failed one: $(ls -a "$data" "$data/Backups"; cat "$work/out")"
[ ! -e "$data/bird.mdb.backup-failed" ] || fail "the note of the failed backup stayed"
[ "$(query "$backup" "SELECT count(*) FROM Sightings WHERE site = 'Marker Marsh'")" = 1 ] ||
    fail "the automatic backup lacks the user's sighting"
if "$probe" "$backup" >/dev/null; then fail "the automatic backup is keyed at the tests' cost"; fi

step "without XDG_DATA_HOME: ~/.local/share/featherlog"
start HOME="$home" -- 
wait_until_open "$home/.local/share/featherlog/bird.mdb"
stop_expecting 0

step "--data FOLDER"
start HOME="$home" XDG_DATA_HOME="$home/xdg" -- --data "$work/stick/birds"
wait_until_open "$work/stick/birds/bird.mdb"
stop_expecting 0
[ -d "$work/stick/birds/Backups" ] || fail "--data folder without Backups"

step "a per-user folder that cannot be made"
touch "$work/plainfile"
start HOME="$home" XDG_DATA_HOME="$work/plainfile/xdg" --
wait_for_message "cannot create its data folder $work/plainfile/xdg/featherlog"
stop_expecting 1

step "a database of a newer version is refused and left alone"
query "$data/bird.mdb" "PRAGMA user_version = 999" >/dev/null
before=$(sha256sum <"$data/bird.mdb")
start HOME="$home" XDG_DATA_HOME="$home/xdg" --
wait_for_message "newer version of Featherlog"
stop_expecting 1
[ "$(sha256sum <"$data/bird.mdb")" = "$before" ] || fail "the newer database was changed"

step "the shipped files are untouched"
[ "$(sums)" = "$shipped" ] || fail "/usr/share/featherlog changed: $(diff <(echo "$shipped") <(sums))"

step "--help and --version without a display; a wrong option"
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
[ "$("${nodisplay[@]}" "$program" --version)" = "Featherlog $version" ] || fail "--version"
"${nodisplay[@]}" "$program" --help | grep -q -- '--data FOLDER' || fail "--help"
status=0
QT_QPA_PLATFORM=offscreen HOME="$home" "$program" --colour 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && grep -qF 'Unknown option --colour' "$work/err" || fail "a wrong option gave $status"

echo "the installed program works"
