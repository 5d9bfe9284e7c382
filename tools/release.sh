#!/usr/bin/env bash
# Builds the download a Windows user gets: dist/vantor-<version>.zip with the stripped, fully static
# vantor.exe and the user guide (Japanese and English). Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}/release
dist=$root/dist

"$root/tools/install-deps.sh"
echo "release: building vantor.exe (Release, no tests) in $build"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DVANTOR_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target vantor

version=$(sed -n 's/^project(vantor VERSION \([0-9]*\.[0-9]*\).*/\1/p' "$root/CMakeLists.txt")
staging=$build/vantor-$version
rm -rf "$staging"
mkdir -p "$staging" "$dist"
x86_64-w64-mingw32-strip -o "$staging/vantor.exe" "$build/app/vantor.exe"
# A byte-order mark and CR LF line ends, so Notepad shows the guide as written.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$root/docs/user-guide.txt"; } >"$staging/vantor-guide.txt"
archive=$dist/vantor-$version.zip
rm -f "$archive"
(cd "$build" && zip -q -X -r "$archive" "vantor-$version")
echo "release: $archive"
unzip -l "$archive"
