#!/usr/bin/env bash
# Builds the Debian package dormivo_<version>_<arch>.deb from debian/ with dpkg-buildpackage
# and prints its path as the last line. It builds in a copy of the sources (what git tracks or
# would add), so that no build folder of the tree gets into the package and the tree stays
# clean; the package, its debug symbols and the .changes file land in BUILD_DIR.
#   scripts/package.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build-essential debhelper dpkg-dev >&2
build=$(realpath -m "${1:-build-package}")
sources="$build/dormivo"
rm -rf "$sources" "$build"/dormivo[_-]*
mkdir -p "$sources"
git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -c | tar -x -C "$sources"
(cd "$sources" && dpkg-buildpackage -b -uc -us -j"$(nproc)") >&2
version=$(dpkg-parsechangelog -l debian/changelog -S Version)
realpath "$build/dormivo_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb"
