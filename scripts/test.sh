#!/usr/bin/env bash
# Builds Dormivo with warnings as errors and runs every test.
#   BUILD_DIR   where to build (default build)
#   SANITIZE=1  build with AddressSanitizer and UndefinedBehaviorSanitizer
#   REPEAT=N    run the whole suite N times, stopping at the first failure
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DDORMIVO_TESTS=ON -DDORMIVO_WERROR=ON \
      -DDORMIVO_SANITIZE="$([ "${SANITIZE:-0}" = 1 ] && echo ON || echo OFF)"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure --repeat until-fail:"${REPEAT:-1}"
