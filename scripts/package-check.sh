#!/usr/bin/env bash
# Builds the Debian package, checks its launcher and metainfo, installs it with apt-get and
# starts the installed program under Xvfb as an ordinary user, who must get a settings file
# of their own. Needs root (as in CI). Removes the package and stops what it started.
#   CHECK_USER   the ordinary user to run as (default dormivo-check; made when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "package-check: run as root" >&2; exit 1; }
apt-get update
scripts/deps.sh desktop-file-utils appstream xvfb xauth dpkg-dev file

deb=$(scripts/package.sh "${BUILD_DIR:-build-package}" | tail -n1)
echo "package: $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb -f "$deb" Depends

contents=$(mktemp -d)
user=${CHECK_USER:-dormivo-check}
pid=""
cleanup() {
    [ -z "$pid" ] || kill -TERM -- "-$pid" 2>/dev/null || true
    rm -rf "$contents"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y dormivo >/dev/null 2>&1 || true
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents/usr/share/applications/dormivo.desktop"
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml

DEBIAN_FRONTEND=noninteractive apt-get install -y "$(realpath "$deb")"
version=$(/usr/bin/dormivo --version)
[ "$version" = "Dormivo 1.0" ] || { echo "unexpected version: $version" >&2; exit 1; }

id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
settings="$home/.local/share/dormivo/info.velkaro"
runuser -u "$user" -- rm -rf "$home/.local/share/dormivo" "$home/.config/dormivo"
# Its own process group, so that the program and its X server stop together.
setsid runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin \
    xvfb-run -a /usr/bin/dormivo >"$contents/run.log" 2>&1 &
pid=$!
for _ in $(seq 150); do
    [ -f "$settings" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
[ -f "$settings" ] || { cat "$contents/run.log" >&2; echo "no per-user settings file" >&2; exit 1; }
mode=$(stat -c %a "$settings")
[ "$mode" = 600 ] || { echo "settings file mode $mode, not 600" >&2; exit 1; }
cmp -s "$settings" /usr/lib/dormivo/info.velkaro || { echo "copy differs from the default" >&2; exit 1; }
kill -TERM -- "-$pid"
wait "$pid" 2>/dev/null || true
pid=""
echo "package-check: $settings appeared for $user (mode $mode)"
