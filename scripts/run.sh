#!/usr/bin/env bash
# Builds Dormivo and starts it from its application folder, build/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec build/bin/dormivo
