#!/usr/bin/env bash
# Runs the monitor: installs what is missing, builds vantor.exe and starts it under Wine.
# With an X display it opens in a Wine desktop window there (with a taskbar for its tray icon) and
# runs until you choose 終了 in its menu. Without one it runs for a few seconds in a private virtual
# display, then prints what its window showed and the path of a screenshot.
# The program lives in build/run/, where it keeps its settings file between runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}
seconds=${VANTOR_RUN_SECONDS:-8}

"$root/tools/install-deps.sh"
# Only the program and the probe that prints what its window shows: the test suites are test.sh's.
VANTOR_BUILD_DIR=$build "$root/tools/build.sh" windows --target vantor vantor_probe

rundir=$build/run
mkdir -p "$rundir"
cp "$build/windows/app/vantor.exe" "$rundir/vantor.exe"
wine=/usr/lib/wine/wine64

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "run: starting vantor.exe under Wine on $DISPLAY"
    "$root/tools/wine/session.sh" prefix "$build/windows"
    export WINEPREFIX=$build/windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    cd "$rundir"
    exec "$wine" explorer /desktop=Vantor,1024x768 "$rundir/vantor.exe"
fi

echo "run: no X display here; running vantor.exe for $seconds seconds in a private virtual display"
trap '"$root/tools/wine/session.sh" stop "$build/windows" 2>/dev/null || true' EXIT
"$root/tools/wine/session.sh" start "$build/windows"
eval "$("$root/tools/wine/session.sh" env "$build/windows")"
(cd "$rundir" && exec "$wine" "$rundir/vantor.exe" </dev/null >/dev/null 2>&1) &
sleep "$seconds"

echo "run: what the program's windows show:"
"$wine" "$build/windows/tools/vantor_probe.exe" TForm1 | sed 's/^/  /'
shots=$build/screenshots
mkdir -p "$shots"
shot=$shots/run-$(date +%Y%m%d-%H%M%S).png
import -display "$DISPLAY" -window root "$shot"
echo "run: screenshot of the screen: $shot"
