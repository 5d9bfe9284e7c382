#!/usr/bin/env bash
# The Wine environment that the Win32 tests and the demo run in: a prefix inside a build directory,
# a private Xvfb display and Wine's virtual desktop (with its taskbar and notification area).
#
#   session.sh start BUILD_DIR [DPI]   start it (a no-op when it already runs); writes BUILD_DIR/wine-session/env
#   session.sh stop BUILD_DIR          stop everything that start started
#   session.sh env BUILD_DIR           print the variables a program needs to run inside it
#   session.sh prefix BUILD_DIR [DPI]  only create the prefix (on the current display, for running by hand)
# With VANTOR_DESKTOP_KEEPER naming tests/support's desktop_keeper.exe, start also keeps the desktop open
# until stop: the tests' programs come and go, and each gap would close it.
# Wine reads the display's density (96 unless DPI says otherwise) once, for every monitor: a session at
# another density needs a prefix, and so a BUILD_DIR, of its own.
set -euo pipefail

command=${1:?usage: session.sh start|stop|env BUILD_DIR}
build=$(mkdir -p "${2:?build directory}" && cd "$2" && pwd)
dpi=${3:-96}
case $dpi in *[!0-9]* | '') echo "session.sh: the density is a number of dots per inch, not '$dpi'" >&2; exit 2 ;; esac
here=$(cd "$(dirname "$0")" && pwd)
state=$build/wine-session
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
# Unix file names in UTF-8, whatever locale the caller runs in, so non-ASCII paths map the same way.
case ${LANG:-} in *UTF-8* | *utf8*) ;; *) export LANG=C.UTF-8 ;; esac
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

log() { echo "wine-session: $*" >&2; }

running() {
    [ -f "$state/env" ] || return 1
    # shellcheck disable=SC1091
    . "$state/env"
    kill -0 "$XVFB_PID" 2>/dev/null && desktop_shown "$DISPLAY"
}

desktop_shown() {
    local tree
    tree=$(DISPLAY=$1 xwininfo -root -tree 2>/dev/null) || return 1
    [[ $tree == *"Default - Wine desktop"* ]]
}

wait_for() {  # seconds, description, command...
    local limit=$1 what=$2
    shift 2
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        if [ $SECONDS -ge $deadline ]; then
            log "timed out waiting for $what"
            return 1
        fi
        sleep 0.1
    done
}

# prefix.reg and the session's density.
settings() {
    cat "$here/prefix.reg"
    printf '\n; The density of every monitor.\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi"
}

# Wine puts its own font links for Tahoma, Microsoft Sans Serif and Lucida Sans Unicode back whenever a
# program starts under another ANSI code page than the last one did; wine-run imports the file again then.
import_settings() {
    { printf '\xff\xfe'; settings | iconv -f UTF-8 -t UTF-16LE; } >"$state/prefix.reg"
    "$WINE" regedit /S "$("$WINE" winepath -w "$state/prefix.reg" 2>/dev/null)" >/dev/null 2>&1
    locale_of_programs >"$state/links-locale"
}

locale_of_programs() { printf '%s\n' "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}"; }

prepare_prefix() {
    # The marker holds a digest of the settings, so a changed file or density reaches prefixes made before.
    local wanted
    wanted=$(settings | md5sum | cut -d' ' -f1)
    if [ "$(cat "$WINEPREFIX/.vantor-ready" 2>/dev/null)" = "$wanted" ]; then
        import_settings
        return
    fi
    if [ -f "$WINEPREFIX/.vantor-ready" ]; then
        log "updating the Wine prefix's settings in $WINEPREFIX"
    else
        log "creating the Wine prefix in $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        "$WINE" wineboot -i >/dev/null 2>&1
        # Wine's own faces (Marlett draws the caption buttons, Tahoma the dialogs) are not found where
        # Debian installs them: give the prefix copies.
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    import_settings
    # The explorer wineboot left behind must go, or the desktop stays a plain one; a running server must
    # go too, so that the fonts are linked anew.
    "$WINESERVER" -k || true
    "$WINESERVER" -w || true
    echo "$wanted" >"$WINEPREFIX/.vantor-ready"
}

# A Japanese locale for programs that should run as a Japanese user's would (ANSI code page 932):
# LOCPATH=BUILD_DIR/locales LANG=ja_JP.UTF-8.
prepare_locales() {
    [ -d "$build/locales/ja_JP.UTF-8" ] && return
    mkdir -p "$build/locales"
    localedef -i ja_JP -f UTF-8 "$build/locales/ja_JP.UTF-8" >/dev/null 2>&1 ||
        log "could not build the ja_JP.UTF-8 locale; the tests that need it will skip"
}

start() {
    if running; then
        log "already running on $DISPLAY"
        return
    fi
    # A session whose desktop has gone (Wine closes an idle one) leaves its display server behind.
    if [ -f "$state/env" ] && [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    rm -rf "$state"
    mkdir -p "$state"
    # Xvfb takes a free display number itself and writes it once it listens: two sessions started at
    # the same moment can never pick the same one.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/display" >"$state/xvfb.log" 2>&1 \
        </dev/null &
    local xvfb=$!
    wait_for 30 "Xvfb to take a display" test -s "$state/display"
    export DISPLAY=:$(head -n 1 "$state/display")
    printf 'DISPLAY=%s\nXVFB_PID=%s\n' "$DISPLAY" "$xvfb" >"$state/env"
    wait_for 30 "Xvfb on $DISPLAY" xdpyinfo -display "$DISPLAY"

    prepare_prefix
    prepare_locales
    # Kept up between test programs, so each starts in milliseconds; answers non-zero if already up.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    setsid "$WINE" explorer /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
    wait_for 60 "the Wine desktop" desktop_shown "$DISPLAY"
    if [ -n "${VANTOR_DESKTOP_KEEPER:-}" ]; then
        setsid "$WINE" "$VANTOR_DESKTOP_KEEPER" "$state/keeper-ready" </dev/null >/dev/null 2>&1 &
        wait_for 60 "the desktop keeper" test -e "$state/keeper-ready"
        # Had the desktop closed before the keeper joined it, the keeper has opened it again.
        wait_for 60 "the Wine desktop" desktop_shown "$DISPLAY"
    fi
    # The work area settles a moment after the desktop appears.
    sleep 1
    log "running on $DISPLAY (prefix $WINEPREFIX)"
}

stop() {
    if [ -f "$state/env" ]; then
        # shellcheck disable=SC1091
        . "$state/env"
    fi
    "$WINESERVER" -k 2>/dev/null || true
    timeout 20 "$WINESERVER" -w 2>/dev/null || true
    if [ -n "${XVFB_PID:-}" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
        kill "$XVFB_PID" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$XVFB_PID" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$XVFB_PID" 2>/dev/null || true
    fi
    rm -f "$state/env"
    log "stopped"
}

case $command in
start) start ;;
prefix)
    mkdir -p "$state"
    prepare_prefix
    ;;
stop) stop ;;
env)
    running || { log "not running"; exit 1; }
    printf 'export WINEPREFIX=%q WINEDEBUG=-all WINEDLLOVERRIDES=%q DISPLAY=%q\n' "$WINEPREFIX" "$WINEDLLOVERRIDES" "$DISPLAY"
    ;;
*)
    echo "usage: session.sh start|stop|env|prefix BUILD_DIR" >&2
    exit 2
    ;;
esac
