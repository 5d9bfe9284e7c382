#!/usr/bin/env bash
# Measures what vantor.exe costs while it idles, beside the same-services baseline (vantor_baseline.exe),
# all in one private Wine session: the program shown, the program hidden, the baseline shown and hidden.
# The program runs once per user, so it is measured shown and then hidden, the baseline's two beside it
# both times.
# Both exes run stripped, as the release zip has the program: Wine reads an image's sections, debug
# sections included, into private memory, so unstripped copies would count their debug data.
# After they settle, prints for each the private memory (RssAnon of its Wine process, at the end) and the
# CPU time it used (utime + stime) over the measured seconds, then what the session's shared processes
# used meanwhile (their work for all of the programs together).
#
#   tools/measure-idle.sh BUILD_DIR     the Windows tree (build/windows), or the build directory above it
#
# VANTOR_IDLE_SETTLE (default 10) and VANTOR_IDLE_SECONDS (default 30) change the two waits.
# The session's prefix lives in BUILD_DIR/idle-session and is kept for the next run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "${1:?usage: measure-idle.sh BUILD_DIR}" && pwd)
[ ! -f "$tree/app/vantor.exe" ] && [ -f "$tree/windows/app/vantor.exe" ] && tree=$tree/windows
program=$tree/app/vantor.exe
baseline=$tree/tools/vantor_baseline.exe
probe=$tree/tools/vantor_probe.exe
for exe in "$program" "$baseline" "$probe"; do
    [ -f "$exe" ] || { echo "measure-idle: $exe is missing; build the Windows tree first" >&2; exit 1; }
done
strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$tree/CMakeCache.txt" 2>/dev/null)
strip=${strip:-x86_64-w64-mingw32-strip}
settle=${VANTOR_IDLE_SETTLE:-10}
seconds=${VANTOR_IDLE_SECONDS:-30}
session=$tree/idle-session
wine=/usr/lib/wine/wine64
tick=$(getconf CLK_TCK)

# The session is this script's alone: another run on the same tree would share its wineserver.
if "$here/wine/session.sh" env "$session" >/dev/null 2>&1; then
    echo "measure-idle: a session already runs in $session (another measure-idle.sh?)" >&2
    exit 1
fi
work=$(mktemp -d)
cleanup() {
    "$here/wine/session.sh" stop "$session" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP PIPE

# Each copy of the program in a folder of its own, since it keeps its settings file beside itself.
mkdir "$work/shown" "$work/hidden" "$work/baseline"
"$strip" -o "$work/shown/vantor.exe" "$program"
cp "$work/shown/vantor.exe" "$work/hidden/vantor.exe"
printf '[Window]\r\nmain=0\r\n' >"$work/hidden/vantor20.ini"
"$strip" -o "$work/baseline/vantor_baseline.exe" "$baseline"

"$here/wine/session.sh" start "$session" 2>/dev/null
eval "$("$here/wine/session.sh" env "$session")"
# shellcheck disable=SC1091  # XVFB_PID
. "$session/wine-session/env"

start() {  # folder exe [arguments]
    (cd "$1" && exec "$wine" "$1/$2" "${@:3}" </dev/null >/dev/null 2>&1) &
}
start "$work/baseline" vantor_baseline.exe
start "$work/baseline" vantor_baseline.exe /hidden

# The Wine process of a program names the exe in its command line (by the Unix path it was started with;
# a Windows path is taken too). The folder tells the copies apart, the argument the baseline's two.
pid_of() {  # exe [argument]
    local proc found="" args
    for proc in /proc/[0-9]*; do
        mapfile -d '' -t args 2>/dev/null <"$proc/cmdline" || continue
        [ "${args[0]:-}" = "$1" ] || [ "${args[0]:-}" = "Z:${1//\//\\}" ] || continue
        [ "${args[1]:-}" = "${2:-}" ] || continue
        [ -z "$found" ] || { echo "measure-idle: more than one process for $1 ${2:-}" >&2; return 1; }
        found=${proc#/proc/}
    done
    [ -n "$found" ] || { echo "measure-idle: no process for $1 ${2:-}" >&2; return 1; }
    echo "$found"
}
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
# The scheduler's own count, in nanoseconds, over the threads alive at the time: finer than the clock ticks.
run_ns() { cat "/proc/$1/task/"*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }

rss_anon_kb() { awk '/^RssAnon:/ { print $2 }' "/proc/$1/status"; }

row() {  # indent name pid
    local ticks ns
    ticks=$(cpu_ticks "$3" 2>/dev/null) || return 1
    ns=$(run_ns "$3")
    printf '%s%-*s %10.2f %12d %14.1f\n' "$1" $((26 - ${#1})) "$2" "$(rss_anon_kb "$3" | awk '{ print $1 / 1024 }')" \
        $(((ticks - ticks_before[$3]) * 1000 / tick)) "$(awk -v d=$((ns - ns_before[$3])) 'BEGIN { print d / 1e6 }')"
}

measure() {  # shown|hidden
    local variant=$1 pid proc started i
    start "$work/$variant" vantor.exe
    sleep "$settle"
    local names=("program $variant" "baseline shown" "baseline hidden") pids=() shared=()
    for started in "$work/$variant/vantor.exe" "$work/baseline/vantor_baseline.exe" \
        "$work/baseline/vantor_baseline.exe /hidden"; do
        # shellcheck disable=SC2086  # the exe and its argument
        pid=$(pid_of $started)
        pids+=("$pid")
    done

    # The session's own processes (wineserver, explorer, services, the device host) and its X server work
    # for every program in it; their time is shown apart, not shared out.
    for proc in /proc/[0-9]*; do
        pid=${proc#/proc/}
        case " ${pids[*]} " in *" $pid "*) continue ;; esac
        if [ "$pid" = "$XVFB_PID" ] || tr '\0' '\n' 2>/dev/null <"$proc/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            shared+=("$pid")
        fi
    done

    declare -gA ticks_before ns_before
    for pid in "${pids[@]}" "${shared[@]}"; do
        ticks_before[$pid]=$(cpu_ticks "$pid" 2>/dev/null || echo x)
        ns_before[$pid]=$(run_ns "$pid")
    done
    sleep "$seconds"

    echo "measure-idle: the program $variant; $seconds s measured after $settle s, $(nproc) CPUs," \
        "load average $(cut -d' ' -f1-3 /proc/loadavg)"
    printf '%-26s %10s %12s %14s\n' "process" "RssAnon MB" "CPU ms/${seconds} s" "on-CPU ms"
    for i in "${!pids[@]}"; do
        row "" "${names[$i]}" "${pids[$i]}" || { echo "measure-idle: ${names[$i]} ended during the measurement" >&2; exit 1; }
    done
    echo "shared by the session's programs (not in the rows above):"
    for pid in "${shared[@]}"; do
        [ "${ticks_before[$pid]}" != x ] || continue
        row "  " "$(cat "/proc/$pid/comm" 2>/dev/null)" "$pid" || true
    done

    # Each window must be in the state its row says.
    local forms baselines wanted=1
    [ "$variant" = shown ] || wanted=0
    forms=$("$wine" "$probe" TForm1 2>/dev/null | grep -c '^window' || true)
    baselines=$("$wine" "$probe" VantorBaseline 2>/dev/null | grep -c '^window' || true)
    if [ "$forms" != "$wanted" ] || [ "$baselines" != 1 ]; then
        echo "measure-idle: expected $wanted shown program and 1 shown baseline window, saw $forms and $baselines" >&2
        exit 1
    fi

    # Closed as a user closes it, so the next copy is not taken for a second start of this one.
    "$wine" taskkill /im vantor.exe >/dev/null 2>&1 || true
    for _ in $(seq 100); do kill -0 "${pids[0]}" 2>/dev/null || break; sleep 0.1; done
    kill "${pids[0]}" 2>/dev/null || true
}

measure shown
measure hidden
echo "CPU ms: utime + stime of the process over the $seconds s, in whole clock ticks ($((1000 / tick)) ms);" \
    "on-CPU ms: the scheduler's run time of its threads alive at both ends"
