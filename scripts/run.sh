#!/usr/bin/env bash
# Builds the program alone, without the tests, in build-run/ and starts it from its
# application folder, build-run/bin. scripts/test.sh builds in a folder of its own (build/),
# so neither rebuilds the other's.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDORMIVO_TESTS=OFF
cmake --build build-run -j"$(nproc)"
exec build-run/bin/dormivo
