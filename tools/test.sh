#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both trees, then one ctest run over the host suite
# (native, sanitizers) and the Win32 suite (under Wine in a private Xvfb display with Wine's virtual
# desktop). Extra arguments go to ctest, e.g. tools/test.sh -R Snap.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}

"$root/tools/install-deps.sh"
VANTOR_BUILD_DIR=$build "$root/tools/build.sh" host windows

veth_prefix=vt$(printf '%s' "$build/windows" | md5sum | cut -c1-5)
cleanup() {
    # ctest's cleanup fixtures do this too; this also covers an interrupted run.
    local session
    for session in "$build/windows" "$build"/windows/dpi-* "$build/windows/route"; do
        [ -d "$session" ] && "$root/tools/wine/session.sh" stop "$session" 2>/dev/null || true
    done
    "$root/tools/wine/interfaces.sh" down "$veth_prefix" || true
    "$root/tools/wine/interfaces.sh" oneway-down "$veth_prefix" || true
    # After the sessions: the route check's session runs inside this machine.
    "$root/tools/wine/interfaces.sh" route-down "$veth_prefix" || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The end-to-end checks add a line here for each key they press again, with the reason.
retries=$build/windows/key-retries.txt
rm -f "$retries"

# One ctest run, one summary, over both trees.
printf 'subdirs("host")\nsubdirs("windows")\n' >"$build/CTestTestfile.cmake"
status=0
ctest --test-dir "$build" --output-on-failure -j2 "$@" || status=$?

count=0
[ -f "$retries" ] && count=$(wc -l <"$retries")
echo
echo "$count key$([ "$count" = 1 ] || echo s) retried"
[ "$count" = 0 ] || sed 's/^/  /' "$retries"
exit "$status"
