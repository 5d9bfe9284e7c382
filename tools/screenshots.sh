#!/usr/bin/env bash
# Photographs the program as a user sees it, into docs/screenshots/: the mini window idle and with
# traffic, the tray icon and its tip, the popup menu, the settings dialog's pages and the about box.
# Needs the Windows tree built (tools/build.sh windows); runs in the private Wine session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}/windows
out=$root/docs/screenshots
mkdir -p "$out"
wine=/usr/lib/wine/wine64

trap '"$root/tools/wine/session.sh" stop "$build" 2>/dev/null || true' EXIT
"$root/tools/wine/session.sh" start "$build"
eval "$("$root/tools/wine/session.sh" env "$build")"

run=$(mktemp -d)
cp "$build/app/vantor.exe" "$run/"
(cd "$run" && exec "$wine" vantor.exe </dev/null >/dev/null 2>&1) &

shoot() {  # name x y width height [scale]
    /usr/bin/import -display "$DISPLAY" -window root -crop "$4x$5+$2+$3" +repage "$out/$1.png"
    [ -z "${6:-}" ] || /usr/bin/convert "$out/$1.png" -filter point -resize "$6%" "$out/$1.png"
    echo "screenshots: $out/$1.png"
}
# The window stands at (200, 200) with its frame; 217 x 78 client pixels inside.
sleep 2.5
shoot mini-window-idle 190 190 250 110 200
"$wine" "$build/tools/vantor_traffic.exe" 12 6 &
traffic=$!
sleep 8
shoot mini-window-traffic 190 190 250 110 200
shoot taskbar-with-traffic 824 728 200 40 300
xdotool mousemove 1013 757
sleep 1.5
shoot tray-tip 700 600 324 168
wait "$traffic"
rm -rf "$run"
