#!/usr/bin/env bash
# Configures and builds one or both trees: build.sh [host] [windows] [--target TARGET...]
# Both trees when none is named; every target of a tree unless some are named after --target.
# The build directory is ./build, or $VANTOR_BUILD_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

trees=()
while [ $# -gt 0 ] && [ "$1" != --target ]; do
    trees+=("$1")
    shift
done
[ ${#trees[@]} -gt 0 ] || trees=(host windows)
only=("$@")  # empty, or --target and the targets
named=${only[*]:1}
for tree in "${trees[@]}"; do
    case $tree in
    host)
        echo "build: host tree (${named:-portable core and its tests}, AddressSanitizer and UBSan) in $build/host"
        cmake -S "$root" -B "$build/host" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON >/dev/null
        cmake --build "$build/host" "${only[@]}"
        ;;
    windows)
        echo "build: Windows tree (MinGW-w64 cross build of ${named:-vantor.exe and the Win32 tests}) in $build/windows"
        "$root/tools/sqlite-source.sh" "$build/sqlite"
        cmake -S "$root" -B "$build/windows" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
            -DVANTOR_SQLITE_SOURCE="$build/sqlite/amalgamation" >/dev/null
        cmake --build "$build/windows" "${only[@]}"
        ;;
    *)
        echo "build: unknown tree '$tree' (host or windows)" >&2
        exit 2
        ;;
    esac
done
