#!/usr/bin/env bash
# Builds the Debian package dormivo_<version>_<arch>.deb and prints its path as the last line.
#   scripts/package.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh dpkg-dev file
build=${1:-build-package}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDORMIVO_TESTS=OFF >&2
cmake --build "$build" -j"$(nproc)" >&2
(cd "$build" && cpack -G DEB) >&2
deb=$(ls -t "$build"/dormivo_*.deb | head -n1)
realpath "$deb"
