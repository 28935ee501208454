#!/usr/bin/env bash
# Cross-builds the registry library and its test suite for Windows with MinGW-w64 and runs
# the suite under Wine, against Wine's own registry, in a throwaway prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh g++-mingw-w64-x86-64 wine wine64
build=${BUILD_DIR:-build-wine}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DDORMIVO_REGISTRY_ONLY=ON \
      -DDORMIVO_WERROR=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build" -j"$(nproc)"
prefix=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine "$build/bin/dormivo_registry_tests.exe"
