#!/usr/bin/env bash
# Start-up benchmark, on a private session bus (every desktop has one) and a private Xvfb.
# Starts a bare frameless Qt window of the main window's size, a process that opens the
# settings file once, and Dormivo in turn, run by run, so that noise hits all alike, and takes
# the median of each: the time from exec to the first mapped window, and the time the opening
# takes in a fresh process, as a start pays it. Then: the private memory (Pss_Anon) of both
# windows once they show, the CPU a running countdown takes per tick, and the time a later
# start takes to hand over to the running Dormivo (median of 10). The last line is the ratio
# dormivo / (bare + opening), then that hand-over time.
#   bench/startup.sh [BUILD_DIR] [RUNS]      (needs xvfb, xdotool and dbus-run-session)
set -euo pipefail
if [ -z "${DORMIVO_BENCH_BUS:-}" ]; then
    DORMIVO_BENCH_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
build=$(realpath "${1:-build}")
runs=${2:-15}
tools=$build/tools

# Dormivo runs from a copy of its application folder, with its own XDG folders, so the
# benchmark leaves the build's settings file and the user's files alone. Recorders stand in
# for systemctl and loginctl in case a countdown ever ran out.
scratch=$(mktemp -d)
app=$scratch/app
mkdir -p "$app" "$scratch/runtime" "$scratch/path"
chmod 0700 "$scratch/runtime"
cp "$build/bin/dormivo" "$build/bin/dormivo-power" "$build/bin/info.velkaro" "$app/"
for tool in systemctl loginctl; do
    printf '#!/bin/sh\nexit 0\n' >"$scratch/path/$tool"
    chmod +x "$scratch/path/$tool"
done
export XDG_RUNTIME_DIR=$scratch/runtime XDG_CONFIG_HOME=$scratch/config
export XDG_CACHE_HOME=$scratch/cache XDG_DATA_HOME=$scratch/data PATH=$scratch/path:$PATH

for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -noreset -screen 0 1024x640x24 >/dev/null 2>&1 &
xvfb=$!
running=""
cleanup() {
    [ -z "$running" ] || kill "$running" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
export DISPLAY=:$n
until xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.05; done

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Starts a program in the background and waits until a window of it shows.
start_shown() {
    "$@" >/dev/null 2>&1 &
    running=$!
    until xdotool search --onlyvisible --pid "$running" >/dev/null 2>&1; do
        kill -0 "$running" 2>/dev/null || { echo "$1 ended before showing a window" >&2; exit 1; }
        sleep 0.05
    done
}
stop_running() {
    kill "$running"
    wait "$running" 2>/dev/null || true
    running=""
}
pss_anon_mb() {
    awk '/^Pss_Anon:/ {printf "%.1f", $2 / 1024}' "/proc/$1/smaps_rollup"
}
# Nanoseconds every thread of a process has spent on a CPU.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{s += $1} END {print s}'; }

bare_times=() app_times=() opening_times=()
for _ in $(seq "$runs"); do
    bare_times+=("$("$tools/dormivo-first-window" "$tools/dormivo-bare-window")")
    opening_times+=("$("$tools/dormivo-open-store" "$app/info.velkaro")")
    app_times+=("$("$tools/dormivo-first-window" "$app/dormivo")")
done
bare=$(printf '%s\n' "${bare_times[@]}" | median)
dormivo=$(printf '%s\n' "${app_times[@]}" | median)
opening=$(printf '%s\n' "${opening_times[@]}" | median)
echo "first window, median of $runs: bare ${bare} ms, dormivo ${dormivo} ms;" \
    "opening the settings file in a fresh process ${opening} ms"

start_shown "$tools/dormivo-bare-window"
sleep 1
bare_mb=$(pss_anon_mb "$running")
stop_running
start_shown "$app/dormivo" --start 5 --action "shut down"
sleep 1
app_mb=$(pss_anon_mb "$running")
before=$(cpu_ns "$running")
sleep 10
tick=$(awk -v a="$before" -v b="$(cpu_ns "$running")" 'BEGIN {printf "%.2f", (b - a) / 10 / 1e6}')
echo "private memory (Pss_Anon): bare ${bare_mb} MB, dormivo ${app_mb} MB;" \
    "a running countdown: ${tick} ms of CPU per tick"

handovers=()
for _ in $(seq 10); do
    begin=$(date +%s%N)
    "$app/dormivo" >/dev/null 2>&1
    handovers+=($((($(date +%s%N) - begin) / 100000)))
done
handover=$(printf '%s\n' "${handovers[@]}" | median | awk '{printf "%.1f", $1 / 10}')
stop_running
awk -v a="$dormivo" -v b="$bare" -v k="$opening" -v h="$handover" \
    'BEGIN {printf "dormivo / (bare + opening) = %.2f; handing over: %s ms\n", a / (b + k), h}'
