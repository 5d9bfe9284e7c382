#!/usr/bin/env bash
# Configures and builds one or both trees: build.sh [host] [windows]  (both when none is named).
# The build directory is ./build, or $VANTOR_BUILD_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(host windows)
for tree in "${trees[@]}"; do
    case $tree in
    host)
        echo "build: host tree (portable core and its tests, AddressSanitizer and UBSan) in $build/host"
        cmake -S "$root" -B "$build/host" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON >/dev/null
        cmake --build "$build/host"
        ;;
    windows)
        echo "build: Windows tree (MinGW-w64 cross build of vantor.exe and the Win32 tests) in $build/windows"
        cmake -S "$root" -B "$build/windows" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
        cmake --build "$build/windows"
        ;;
    *)
        echo "build: unknown tree '$tree' (host or windows)" >&2
        exit 2
        ;;
    esac
done
