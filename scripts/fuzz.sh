#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer in build-fuzz/ and runs each for SECONDS
# (default 60), after replaying every input that ever broke a property. Each starts from its
# seeds in tests/fuzz/corpus/<target>/ and what earlier runs found (build-fuzz/corpus/<target>/).
# Prints one line per target. An input that breaks a property is left beside the corpus, as
# tests/fuzz/corpus/<target>-crash-..., and the script ends with status 1: mend the fault and
# move the input to tests/fuzz/regressions/<target>/, where every test run replays it.
#   scripts/fuzz.sh [SECONDS]      BUILD_DIR   where to build (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/deps.sh clang libclang-rt-14-dev
build=${BUILD_DIR:-build-fuzz}
cmake -S . -B "$build" -DDORMIVO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
status=0
for target in hive autostart requests; do
    program=$build/tests/fuzz_$target
    log=$build/fuzz-$target.log
    mkdir -p "$build/corpus/$target"
    regressions=(tests/fuzz/regressions/"$target"/*)
    if [ -e "${regressions[0]}" ] && ! "$program" "${regressions[@]}" >"$log" 2>&1; then
        echo "$target: a regression fails again (see $log)"
        status=1
        continue
    fi
    if "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="tests/fuzz/corpus/$target-" \
        "$build/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        result=""
    else
        artifact=$(grep -o "tests/fuzz/corpus/$target-[^ ]*" "$log" | tail -n1 || true)
        result="  FAILED: ${artifact:-no input kept} (see $log)"
        status=1
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    per_second=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    edges=$(grep -o ' cov: [0-9]*' "$log" | tail -n1 | tr -dc 0-9 || true)
    printf '%-13s %11s executions %7s/s %6s edges%s\n' "$target" "${executions:-?}" \
        "${per_second:-?}" "${edges:-?}" "$result"
done
exit "$status"
