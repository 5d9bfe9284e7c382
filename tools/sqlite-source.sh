#!/usr/bin/env bash
# Makes SQLite's amalgamation for the Windows build: sqlite-source.sh DIR leaves DIR/amalgamation/sqlite3.c
# and sqlite3.h, generated with tclsh from Debian's sqlite3 source package at the version of the installed
# libsqlite3-dev (the host build's), so both builds use one SQLite. apt fetches the source; nothing else is
# downloaded. Quick when the amalgamation of that version is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:?usage: sqlite-source.sh DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
amalgamation=$dir/amalgamation

version() { dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null || true; }
if [ -n "$(version)" ] && [ "$(cat "$amalgamation/VERSION" 2>/dev/null)" = "$(version)" ] &&
    [ -f "$amalgamation/sqlite3.c" ] && [ -f "$amalgamation/sqlite3.h" ]; then
    exit 0
fi

# libsqlite3-dev, tcl, dpkg-dev and the deb-src entries that apt-get source needs.
"$root/tools/install-deps.sh"
wanted=$(version)
echo "sqlite-source: SQLite $wanted from Debian's sqlite3 source package into $dir"
rm -rf "$dir/source" "$dir/generate" "$amalgamation"
mkdir -p "$dir/source" "$dir/generate" "$amalgamation"
(cd "$dir/source" && apt-get source -qq sqlite3="$wanted") ||
    { echo "sqlite-source: apt-get source sqlite3=$wanted failed (see above)" >&2; exit 1; }
tree=$(find "$dir/source" -mindepth 2 -maxdepth 2 -name configure -printf '%h\n' | head -n1)
[ -n "$tree" ] || { echo "sqlite-source: no unpacked sqlite3 tree under $dir/source" >&2; exit 1; }

# The Makefile's sqlite3.c target: the parser and keyword tables built with the host compiler, then
# tool/mksqlite3c.tcl run by tclsh joins everything into one file.
(cd "$dir/generate" && "$tree/configure" --disable-tcl --disable-readline >configure.log 2>&1 &&
    make -j"$(nproc)" sqlite3.c >make.log 2>&1) ||
    { echo "sqlite-source: generating the amalgamation failed; logs in $dir/generate" >&2; exit 1; }
cp "$dir/generate/sqlite3.c" "$dir/generate/sqlite3.h" "$amalgamation/"
echo "$wanted" >"$amalgamation/VERSION"
echo "sqlite-source: $amalgamation/sqlite3.c ($(wc -c <"$amalgamation/sqlite3.c") bytes)"
