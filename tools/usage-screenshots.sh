#!/usr/bin/env bash
# Photographs the usage window over five years of history (tools/win32/usage_window.cpp) into
# docs/screenshots/: the days of the period and the last 24 periods, in Japanese (usage-*.png) and in
# English (english-usage-*.png), and prints how long each opening took.
#   usage-screenshots.sh            at 96 dpi
#   usage-screenshots.sh --dpi N    at N dpi, as <name>-<N>dpi.png
# Needs the Windows tree's vantor_usage_window built; runs in the private Wine session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}/windows
out=$root/docs/screenshots
mkdir -p "$out"
wine=/usr/lib/wine/wine64
dpi=96
if [ "${1:-}" = --dpi ]; then dpi=${2:?usage-screenshots.sh --dpi N}; fi
# Wine takes one density per session: another one has a session, and a prefix, of its own.
session=$build
suffix=
[ "$dpi" = 96 ] || { session=$build/dpi-$dpi; suffix=-${dpi}dpi; }

run=$(mktemp -d)
tool_pid=
cleanup() {
    [ -z "$tool_pid" ] || kill "$tool_pid" 2>/dev/null || true
    rm -rf "$run"
    "$root/tools/wine/session.sh" stop "$session" 2>/dev/null || true
}
trap cleanup EXIT
"$root/tools/wine/session.sh" start "$session" "$dpi"
eval "$("$root/tools/wine/session.sh" env "$session")"
cp "$build/tools/vantor_usage_window.exe" "$run/"

for language in ja en; do
    prefix=
    [ "$language" = ja ] || prefix=english-
    for view in days periods; do
        (cd "$run" && exec "$wine" vantor_usage_window.exe 'Z:'"${run//\//\\}" "$language" "$view" </dev/null >"$run/out.txt" 2>&1) &
        tool_pid=$!
        for _ in $(seq 600); do grep -q '^window:' "$run/out.txt" 2>/dev/null && break; sleep 0.1; done
        read -r _ x y width height < <(grep '^window:' "$run/out.txt")
        grep '^opened' "$run/out.txt" | sed "s/^/usage-screenshots: $language $view: /"
        sleep 1
        /usr/bin/import -display "$DISPLAY" -window root -crop "${width}x${height}+$x+$y" +repage "$out/${prefix}usage-$view$suffix.png"
        echo "usage-screenshots: $out/${prefix}usage-$view$suffix.png"
        kill "$tool_pid" 2>/dev/null || true
        wait "$tool_pid" 2>/dev/null || true
        tool_pid=
    done
done
