#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, testing and running the monitor need.
# Idempotent: when every package is present it says so and changes nothing. It also gives apt the source
# entries that fetch SQLite's source for the Windows build (tools/sqlite-source.sh).
set -euo pipefail

packages=(
    # host build and its tests
    cmake ninja-build g++ googletest libbenchmark-dev libsqlite3-dev
    # the Windows build's SQLite, made from Debian's source package: unpacking it, its amalgamation script
    dpkg-dev tcl
    # the Windows cross build
    mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    # running and testing the Windows program: Wine in a private X display, driven and photographed
    wine64 xvfb xdotool x11-utils imagemagick iproute2 locales
    # fonts with the metrics and glyphs the program's faces ask for
    fonts-wine fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation
)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# deb-src twins of every Debian entry whose suite is this release's (its updates and security suites too),
# in a file of their own, so `apt-get source` finds the version that is installed.
source_entries() {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || return 0
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        # One-line entries: "deb [arch=... signed-by=...] URI SUITE COMPONENT...".
        awk -v c="$codename" '$1 == "deb" {
            i = 2; options = ""
            if ($2 ~ /^\[/) { while (i <= NF) { options = options " " $i; if ($i ~ /\]$/) break; i++ } i++ }
            if ($(i + 1) !~ ("^" c "(-|$)")) next
            printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $i, $(i + 1)
            for (j = i + 2; j <= NF && $j !~ /^#/; j++) printf " %s", $j
            printf "\n"
            gsub(/[][]/, "", options); n = split(options, o, " ")
            for (j = 1; j <= n; j++) {
                split(o[j], kv, "=")
                if (kv[1] == "signed-by") printf "Signed-By: %s\n", kv[2]
                if (kv[1] == "arch") printf "Architectures: %s\n", kv[2]
            }
            printf "\n" }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && [ "$file" != "$vantor_sources" ] || continue
        # One stanza per paragraph; keep those of type deb, naming only this release's suites.
        awk -v c="$codename" 'BEGIN { RS = ""; FS = "\n" } {
            types = ""; suites = ""; other = ""
            for (i = 1; i <= NF; i++) {
                if ($i ~ /^#/) continue
                if ($i ~ /^Types:/) types = $i
                else if ($i ~ /^Suites:/) suites = $i
                else if ($i ~ /^Enabled: *no/) { types = ""; break }
                else other = other $i "\n"
            }
            if (types !~ /[: ]deb( |$)/) next
            n = split(substr(suites, 8), list, " "); kept = ""
            for (j = 1; j <= n; j++) if (list[j] ~ ("^" c "(-|$)")) kept = kept " " list[j]
            if (kept == "") next
            printf "Types: deb-src\nSuites:%s\n%s\n", kept, other }' "$file"
    done
}
vantor_sources=/etc/apt/sources.list.d/vantor-deb-src.sources
wanted_sources=$(source_entries)
if [ -n "$wanted_sources" ] && [ "$(cat "$vantor_sources" 2>/dev/null)" != "$wanted_sources" ]; then
    echo "install-deps: adding the source entries for $(grep -c '^Types' <<<"$wanted_sources") suites to $vantor_sources"
    printf '%s\n' "$wanted_sources" | "${sudo[@]}" tee "$vantor_sources" >/dev/null
    "${sudo[@]}" apt-get update -qq
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} needed packages are installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]} with apt-get"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "install-deps: done"
