#!/usr/bin/env bash
# Photographs the program as a user sees it, into docs/screenshots/: the mini window idle and with
# traffic, the tray icon at each load level and its tip, the popup menu over the window and over the
# icon, the about box and the settings dialog's three pages (the first also with its list open), as a
# Japanese Windows shows them; and the
# English face (english-*.png): the window with its menu, the tip, the about box and the three pages; and
# the usage window's two views in both languages, with the time each took to open.
#   screenshots.sh            all of that at 96 dpi
#   screenshots.sh --dpi N    the mini window, the tray icon, the about box, the settings dialog and the
#                             usage window at N dpi, at their own size (the icon enlarged), as <name>-<N>dpi.png
# Needs the Windows tree built (tools/build.sh windows); runs in the private Wine session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOR_BUILD_DIR:-$root/build}/windows
out=$root/docs/screenshots
mkdir -p "$out"
wine=/usr/lib/wine/wine64
dpi=96
if [ "${1:-}" = --dpi ]; then dpi=${2:?screenshots.sh --dpi N}; fi
# Wine takes one density per session: another one has a session, and a prefix, of its own.
session=$build
[ "$dpi" = 96 ] || session=$build/dpi-$dpi

run=$(mktemp -d)
vantor_pid=
cleanup() {
    [ -z "$vantor_pid" ] || kill "$vantor_pid" 2>/dev/null || true
    rm -rf "$run"
    "$root/tools/wine/session.sh" stop "$session" 2>/dev/null || true
}
trap cleanup EXIT
"$root/tools/wine/session.sh" start "$session" "$dpi"
eval "$("$root/tools/wine/session.sh" env "$session")"
cp "$build/app/vantor.exe" "$run/"
# The program speaks its user's UI language: Japanese first, from the session's locales.
unset LC_ALL
export LOCPATH=$session/locales
export LC_MESSAGES=ja_JP.UTF-8 2>/dev/null

shoot() {  # name x y width height [scale]
    /usr/bin/import -display "$DISPLAY" -window root -crop "$4x$5+$2+$3" +repage "$out/$1.png"
    [ -z "${6:-}" ] || /usr/bin/convert "$out/$1.png" -filter point -resize "$6%" "$out/$1.png"
    echo "screenshots: $out/$1.png"
}
# Waits until the screen has a window with this name (xdotool finds it by its caption).
wait_for_window() {
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name -- "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "screenshots: no window '$1'" >&2
    return 1
}
# Starts the program with these settings (the INI file's text) and gives it time for a few ticks.
start() {
    printf '%b' "$1" >"$run/vantor20.ini"
    (cd "$run" && exec "$wine" vantor.exe </dev/null >/dev/null 2>&1) &
    vantor_pid=$!
    sleep "${2:-2.5}"
}
# Ends it as a user does: 終了, the last item of the icon's menu (or of the menu at x y).
quit() {
    xdotool mousemove "${1:-1013}" "${2:-757}"
    sleep 0.3
    xdotool click 3
    sleep 0.8
    xdotool key Up Return
    for _ in $(seq 50); do kill -0 "$vantor_pid" 2>/dev/null || break; sleep 0.1; done
    vantor_pid=
}

# The usage window over five years of history (tools/win32/usage_window.cpp), each view in each language,
# as usage-*.png and english-usage-*.png with `suffix`; prints how long each opening took.
usage_window() {  # suffix
    # A folder of its own: the program's runs above left their own history in $run.
    local folder=$run/usage
    mkdir -p "$folder"
    cp "$build/tools/vantor_usage_window.exe" "$folder/"
    for language in ja en; do
        prefix=
        [ "$language" = ja ] || prefix=english-
        for view in days periods; do
            (cd "$folder" && exec "$wine" vantor_usage_window.exe 'Z:'"${folder//\//\\}" "$language" "$view" </dev/null >"$run/out.txt" 2>&1) &
            vantor_pid=$!
            for _ in $(seq 600); do grep -q '^window:' "$run/out.txt" 2>/dev/null && break; sleep 0.1; done
            read -r _ x y width height < <(grep '^window:' "$run/out.txt")
            grep '^opened' "$run/out.txt" | sed "s/^/screenshots: $language $view: /"
            sleep 1
            shoot "${prefix}usage-$view$1" "$x" "$y" "$width" "$height"
            kill "$vantor_pid" 2>/dev/null || true
            wait "$vantor_pid" 2>/dev/null || true
            vantor_pid=
        done
    done
}

# At another density: the window (at 200, 200, its lengths scaled from 217 x 78), then the about box and
# the settings dialog, both centred.
if [ "$dpi" != 96 ]; then
    scale() { echo $(( ($1 * dpi + 48) / 96 )); }
    start ''
    shoot "mini-window-idle-${dpi}dpi" 190 190 "$(scale 240)" "$(scale 100)"
    shoot "taskbar-idle-${dpi}dpi" $((1024 - $(scale 60))) $((768 - $(scale 28))) "$(scale 60)" "$(scale 28)" 300
    menu_at="$((200 + $(scale 100))) $((200 + $(scale 30)))"
    xdotool mousemove $menu_at
    sleep 0.3
    xdotool click 3
    sleep 0.8
    xdotool key Down Return
    wait_for_window 'About Infomation'
    sleep 0.5
    width=$(scale 380) height=$(scale 110)
    shoot "about-box-${dpi}dpi" $(( (1024 - width) / 2 )) $(( (768 - height) / 2 )) "$width" "$height"
    xdotool key Escape
    sleep 0.5
    xdotool mousemove $menu_at
    sleep 0.3
    xdotool click 3
    sleep 0.8
    xdotool key Down Down Return
    wait_for_window 'インタフェース設定'
    sleep 0.5
    width=$(scale 500) height=$(scale 230)
    # The tabs lie where they do at 96 dpi, seen from the centre of the screen, scaled.
    tabs_y=$((384 - $(scale 72)))
    for page in interface:0 graph:$((512 - $(scale 54))) log:$((512 + $(scale 20))); do
        [ "${page#*:}" = 0 ] || { xdotool mousemove "${page#*:}" "$tabs_y" click 1; sleep 0.5; }
        shoot "settings-${page%%:*}-${dpi}dpi" $(( (1024 - width) / 2 )) $(( (768 - height) / 2 )) "$width" "$height"
    done
    xdotool key Escape
    sleep 0.5
    quit $menu_at
    usage_window "-${dpi}dpi"
    exit 0
fi

# The menu over the window, and the about box and the dialog's pages it opens (both centred), with
# these names, captions and the dialog's second and third tabs at these x positions.
menu_and_dialogs() {  # prefix about-caption settings-caption tab2-x tab3-x
    xdotool mousemove 300 230
    sleep 0.3
    xdotool click 3
    sleep 0.8
    shoot "$1menu-over-window" 290 220 150 180 200
    xdotool key Down Return
    wait_for_window "$2"
    sleep 0.5
    shoot "$1about-box" 322 339 380 90 200
    xdotool key Escape
    sleep 0.5
    xdotool mousemove 300 230
    sleep 0.3
    xdotool click 3
    sleep 0.8
    xdotool key Down Down Return
    wait_for_window "$3"
    sleep 0.5
    # The dialog: 483 x 185 client pixels, centred; its tabs sit along the top of the page control.
    shoot "$1settings-interface" 262 274 500 220 200
    # The interface list opened: the two ways of watching above the interfaces.
    xdotool key alt+Down
    sleep 0.5
    shoot "$1settings-interface-list" 262 274 500 260 200
    xdotool key Escape
    sleep 0.3
    xdotool mousemove "$4" 312 click 1
    sleep 0.5
    shoot "$1settings-graph" 262 274 500 220 200
    xdotool mousemove "$5" 312 click 1
    sleep 0.5
    shoot "$1settings-log" 262 274 500 220 200
    xdotool key Escape
    sleep 0.5
}

# The window stands at (200, 200) with its frame; 217 x 78 client pixels inside. Row 1, the loopback
# interface, carries the traffic the pictures show.
start '[Interface]\r\nSelected=1\r\n'
shoot mini-window-idle 190 190 250 110 200
"$wine" "$build/tools/vantor_traffic.exe" 10 4 &
traffic=$!
sleep 6
shoot mini-window-traffic 190 190 250 110 200
shoot taskbar-with-traffic 964 748 60 20 400
xdotool mousemove 1013 757
sleep 1.5
shoot tray-tip 700 600 324 168
wait "$traffic"

menu_and_dialogs '' 'About Infomation' 'インタフェース設定' 458 532

# The menu over the icon, which opens upwards and to the left of the pointer.
xdotool mousemove 1013 757
sleep 0.3
xdotool click 3
sleep 0.8
shoot menu-over-icon 870 580 154 188 200
xdotool key Escape
sleep 0.5
quit

# The icon at each load level: loopback traffic of 0.25 MB/s against fixed maxima (both directions
# carry the same bytes on the loopback interface, so both screens show one level).
for level in idle:100000:0 cyan:2048:0.25 yellow:394:0.25 red:100:0.25; do
    IFS=: read -r name gauge rate <<<"$level"
    pids=()
    if [ "$rate" != 0 ]; then
        "$wine" "$build/tools/vantor_traffic.exe" 8 "$rate" &
        pids+=($!)
    fi
    start "[Gauge]\r\nSend=$gauge\r\nRese=$gauge\r\n[Interface]\r\nSelected=1\r\nflg=1\r\n[Window]\r\nmain=0\r\n" 4
    shoot "taskbar-$name" 964 748 60 20 400
    quit
    [ ${#pids[@]} -eq 0 ] || wait "${pids[@]}"
done

# The English face, as any other Windows shows it.
export LC_MESSAGES=C.UTF-8
"$wine" "$build/tools/vantor_traffic.exe" 10 4 &
traffic=$!
start '[Interface]\r\nSelected=1\r\n' 6
xdotool mousemove 1013 757
sleep 1.5
shoot english-tray-tip 700 600 324 168
menu_and_dialogs english- 'About Vantor' 'Interface settings' 408 470
quit
wait "$traffic"
usage_window ""
