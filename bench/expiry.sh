#!/usr/bin/env bash
# Expiry benchmark: starts the real dormivo with settings that bring it up running for one
# minute on "Lauch Program" with one program that records when it starts, and reports how
# many milliseconds after the process started that program started (ideal: 60000 plus the
# start-up time).
#   bench/expiry.sh [BUILD_DIR]      (needs xvfb, xdotool and sqlcipher)
set -euo pipefail
build=$(realpath "${1:-build}")
source=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
app=$work/app
mkdir -p "$app" "$work/config"
cp "$build/bin/dormivo" "$build/bin/dormivo-power" "$app/"
"$build/tools/dormivo-seed" "$source/resources/seed.sql" "$app/info.velkaro"
cat >"$work/record" <<RECORD
#!/bin/sh
date +%s%N > "$work/started"
RECORD
chmod +x "$work/record"
sqlcipher "$app/info.velkaro" >/dev/null <<SQL
PRAGMA key = 'quorndale482';
INSERT INTO tmpsetting VALUES ('0', 'Started', 1, 0, 5, '1');
INSERT INTO programs VALUES ('$work/record');
SQL

for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -noreset -screen 0 1024x640x24 >/dev/null 2>&1 &
xvfb=$!
pid=""
trap 'kill $pid $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=:$n
until xdotool getdisplaygeometry 2>/dev/null | grep -q .; do sleep 0.1; done

# The program's registry and autostart entries go to a throwaway folder.
export XDG_CONFIG_HOME=$work/config
start=$(date +%s%N)
"$app/dormivo" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 900); do
    [ -s "$work/started" ] && break
    sleep 0.1
done
[ -s "$work/started" ] || { echo "the program never started" >&2; exit 1; }
echo "listed program started $((($(cat "$work/started") - start) / 1000000)) ms after dormivo"
