#!/usr/bin/env bash
# Start-up benchmark: the median time from starting a program to its first visible window,
# under Xvfb, for dormivo and for a bare frameless Qt window of the same size, and the time
# one opening of the settings file takes.
#   bench/startup.sh [BUILD_DIR] [RUNS]      (needs xvfb and xdotool)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-15}
for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -noreset -screen 0 1024x640x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=:$n
until xdotool getdisplaygeometry 2>/dev/null | grep -q .; do sleep 0.1; done

# Milliseconds from the start of the program until a window of it is visible.
time_to_window() {
    local start end pid
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "$1 ended before showing a window" >&2; exit 1; }
    done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

bare=$(for _ in $(seq "$runs"); do time_to_window "$build/tools/dormivo-bare-window"; done | median)
app=$(for _ in $(seq "$runs"); do time_to_window "$build/bin/dormivo"; done | median)
key=$("$build/tools/dormivo-open-store" "$build/bin/info.velkaro")
budget=$(awk -v b="$bare" -v k="$key" 'BEGIN {printf "%.0f", 1.5 * (b + k)}')
echo "bare window: ${bare} ms; dormivo: ${app} ms; opening the settings file: ${key} ms"
echo "budget 1.5 x (bare + opening): ${budget} ms -> $([ "$app" -le "$budget" ] && echo within || echo OVER)"
