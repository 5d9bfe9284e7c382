#!/usr/bin/env bash
# Remakes docs/gallery/*.png: renders every chart style under Wine with the real GDI canvas
# (tools/win32/chart_gallery.cpp), then converts the BMP files and lays out an overview sheet.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}
out=$root/docs/gallery
convert=/usr/bin/convert

"$root/tools/install-deps.sh"
VANTOR_BUILD_DIR=$build "$root/tools/build.sh" windows

work=$(mktemp -d)
cleanup() {
    "$root/tools/wine/session.sh" stop "$build/windows" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
"$root/tools/wine/session.sh" start "$build/windows"
(cd "$work" && "$build/windows/wine-run" "$build/windows/tools/chart_gallery.exe")

mkdir -p "$out"
# No time stamps in the files, so an unchanged picture makes no diff.
png=(-strip -define png:exclude-chunks=date,time)
for bmp in "$work"/*.bmp; do
    "$convert" "$bmp" "${png[@]}" "$out/$(basename "${bmp%.bmp}").png"
done

# One row per style: plain, with values, with the second series, with both.
rows=()
for style in bar line scatter 3d filled; do
    rows+=(\( "$out/$style.png" "$out/$style-values.png" "$out/$style-twin.png" "$out/$style-values-twin.png"
        -bordercolor '#808080' -border 2 +append \))
done
"$convert" "${rows[@]}" -append "${png[@]}" "$out/overview.png"
echo "gallery: $(ls "$out"/*.png | wc -l) pictures in $out"
