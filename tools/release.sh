#!/usr/bin/env bash
# Builds the download a Windows user gets: dist/vantor-<version>.zip holding the folder vantor-<version>
# with the stripped, fully static vantor.exe and the user guide (Japanese and English) as
# vantor-guide.txt. Installs what is missing first. The zip is packed by the build (target release_zip).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}/release
sqlite=${VANTOR_BUILD_DIR:-$root/build}/sqlite
dist=$root/dist

"$root/tools/install-deps.sh"
"$root/tools/sqlite-source.sh" "$sqlite"
echo "release: building vantor.exe and its zip (Release, no tests) in $build"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DVANTOR_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DVANTOR_SQLITE_SOURCE="$sqlite/amalgamation" >/dev/null
# A zip of an earlier version would be copied too.
rm -rf "$build/dist"
cmake --build "$build" --target release_zip

mkdir -p "$dist"
for archive in "$build"/dist/*.zip; do
    cp "$archive" "$dist/"
    echo "release: $dist/$(basename "$archive"):"
    (cd "$dist" && cmake -E tar tvf "$(basename "$archive")")
done
