#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian (no error, no warning) and its launcher,
# metainfo, icons and bash completion, installs it with apt-get and starts the installed
# program under Xvfb as an ordinary user, who must get a settings file of their own.
# Needs root (as in CI). It checks with a user of its own, made for the run, and afterwards
# removes that user, the package and whatever else it made; it touches no other user's
# files, and refuses to run where a dormivo package is already installed.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "package-check: run as root" >&2; exit 1; }
refuse_installed() {
    local status
    status=$(dpkg-query -W -f='${db:Status-Status}' dormivo 2>/dev/null || true)
    if [ -n "$status" ] && [ "$status" != not-installed ]; then
        echo "package-check: a dormivo package is already on this machine ($status);" \
             "remove it first, this check installs and purges its own" >&2
        exit 1
    fi
}
refuse_installed
apt-get update
scripts/deps.sh lintian desktop-file-utils appstream bash-completion file xvfb xauth \
    dbus-daemon

deb=$(scripts/package.sh "${BUILD_DIR:-build-package}" | tail -n1)
echo "package: $deb ($(stat -c %s "$deb") bytes," \
     "Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB)"
dpkg-deb -f "$deb" Depends Recommends
# Info-level tags are shown, not failed on.
lintian --fail-on error,warning --display-info "$deb"

work=$(mktemp -d /tmp/dormivo-package-check.XXXXXX)
chmod 755 "$work"
user=""
installed=""
pid=""
cleanup() {
    local status=$?
    [ -z "$pid" ] || kill -TERM -- "-$pid" 2>/dev/null || true
    if [ -n "$user" ]; then
        # Whatever of the check's own user still runs goes with it.
        for _ in $(seq 50); do
            pgrep -u "$user" >/dev/null || break
            sleep 0.1
        done
        left=$(pgrep -u "$user" || true)
        [ -z "$left" ] || kill -KILL $left 2>/dev/null || true
        userdel --remove "$user" 2>/dev/null || true
        if id "$user" >/dev/null 2>&1; then
            echo "package-check: could not remove the user $user" >&2
            status=1
        fi
    fi
    if [ -n "$installed" ] &&
        ! DEBIAN_FRONTEND=noninteractive apt-get purge -y dormivo >/dev/null; then
        echo "package-check: could not purge the dormivo package it installed" >&2
        status=1
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$work/contents"
desktop-file-validate "$work/contents/usr/share/applications/dormivo.desktop"
appstreamcli validate --pedantic --no-net "$work"/contents/usr/share/metainfo/*.metainfo.xml
for size in 16 22 24 32 48 64 128 256; do
    icon="$work/contents/usr/share/icons/hicolor/${size}x$size/apps/dormivo.png"
    file "$icon" | grep -q ": PNG image data, $size x $size," ||
        { echo "package-check: no $size px icon" >&2; exit 1; }
done
for doc in usr/share/man/man1/dormivo.1.gz usr/share/doc/dormivo/copyright; do
    [ -s "$work/contents/$doc" ] || { echo "package-check: the package lacks /$doc" >&2; exit 1; }
done

# The package could have appeared while it was being built.
refuse_installed
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y "$(realpath "$deb")"
version=$(/usr/bin/dormivo --version)
[ "$version" = "Dormivo 1.0" ] || { echo "unexpected version: $version" >&2; exit 1; }
# bash-completion finds the completion by the command's name, and completes the action names.
completed=$(bash -c 'source /usr/share/bash-completion/bash_completion
    __load_completion dormivo || exit 1
    COMP_WORDS=(dormivo --action lauch) COMP_CWORD=2 COMP_LINE="dormivo --action lauch"
    COMP_POINT=${#COMP_LINE}
    "$(complete -p dormivo | sed "s/.* -F \([^ ]*\) .*/\1/")" dormivo lauch --action
    echo "${COMPREPLY[*]}"')
[ "$completed" = 'Lauch\ Program' ] ||
    { echo "package-check: bash completes --action lauch as '$completed'" >&2; exit 1; }

# A name nobody has, and a home inside the work folder, so that removing them removes
# nothing of anyone else's.
user="dormivo-check-$(od -An -N4 -tx1 /dev/urandom | tr -d ' \n')"
home="$work/home"
useradd --home-dir "$home" --create-home --shell /usr/sbin/nologin --no-log-init "$user" || {
    user=""
    echo "package-check: could not make a user of its own" >&2
    exit 1
}
runtime="$work/runtime"
install -d -m 700 -o "$user" -g "$(id -gn "$user")" "$runtime"
settings="$home/.local/share/dormivo/info.velkaro"
# Asking a Dormivo that does not run starts none, and makes no settings file for the user.
said=$(cd "$home" && runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin \
    XDG_RUNTIME_DIR="$runtime" /usr/bin/dormivo --status) && asked=0 || asked=$?
[ "$said/$asked" = "Dormivo is not running/1" ] && [ ! -e "$settings" ] ||
    { echo "package-check: dormivo --status said '$said' (status $asked)" >&2; exit 1; }
# Its own process group, so that the program, its bus and its X server stop together; the
# runtime folder and a session bus of its own keep it out of shared places.
(cd "$home" && exec setsid runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin \
    XDG_RUNTIME_DIR="$runtime" TMPDIR="$runtime" \
    xvfb-run -a dbus-run-session -- /usr/bin/dormivo) >"$work/run.log" 2>&1 &
pid=$!
for _ in $(seq 150); do
    [ -f "$settings" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
[ -f "$settings" ] || { cat "$work/run.log" >&2; echo "no per-user settings file" >&2; exit 1; }
mode=$(stat -c %a "$settings")
[ "$mode" = 600 ] || { echo "settings file mode $mode, not 600" >&2; exit 1; }
cmp -s "$settings" /usr/lib/dormivo/info.velkaro || { echo "copy differs from the default" >&2; exit 1; }
kill -TERM -- "-$pid"
wait "$pid" 2>/dev/null || true
pid=""
echo "package-check: a settings file of its own appeared for a new user (mode $mode)"
