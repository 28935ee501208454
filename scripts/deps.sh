#!/usr/bin/env bash
# Installs what building and testing Dormivo needs on Debian 12.
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev libgl-dev libsqlcipher-dev
          sqlcipher sqlite3 libgtest-dev libgmock-dev fonts-dejavu-core
          xvfb xdotool x11-utils trayer dbus-x11 at-spi2-core python3-pyatspi notification-daemon
          python3-dbus python3-gi gir1.2-gdkpixbuf-2.0 libglib2.0-bin weston qt6-wayland libxcb1-dev
          "$@")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
