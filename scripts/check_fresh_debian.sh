#!/usr/bin/env bash
# Installs the .deb with apt into a fresh, minimal Debian 12 root, as on a new
# machine, and starts the game and prizeodds there: shows that the package's
# dependencies bring everything it needs. Downloads about 150 MB of Debian
# packages and takes a few minutes, so CI leaves it out. Needs root.
# Usage: scripts/check_fresh_debian.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${PACKAGE_PACKAGES[@]}" "${FRESH_PACKAGES[@]}"
[ "$(id -u)" -eq 0 ] || { echo "needs root, for the chroot" >&2; exit 1; }

build=${1:-build-package}
debs=("$build"/prizedraw_*.deb)
[ -f "${debs[0]}" ] || { echo "no .deb in $build: run scripts/package.sh first" >&2; exit 1; }
deb=$(readlink -f "${debs[0]}")

scratch=$(mktemp -d)
root=$scratch/root
display=:$((100 + RANDOM % 100))
xvfb= game=
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    umount "$root/proc" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

echo "== a minimal Debian 12 root"
mmdebstrap --quiet --variant=minbase --mode=root bookworm "$root"
mount -t proc proc "$root/proc"
before=$(chroot "$root" dpkg-query -W -f='${Package}\n' | wc -l)

echo "== apt install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
chroot "$root" apt-get update -qq
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./tmp/$(basename "$deb")" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log" >&2; exit 1; }
after=$(chroot "$root" dpkg-query -W -f='${Package}\n' | wc -l)
echo "packages: $before in the fresh root, $after after installing prizedraw"
chroot "$root" dpkg-query -W -f='${Package} ${Version}\n' prizedraw fonts-arphic-uming libqt6widgets6 libqt6gui6

echo "== the game, from the fresh root, on a virtual display"
# The X server's abstract socket is shared with the chroot.
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
chroot "$root" env DISPLAY="$display" QT_QPA_PLATFORM=xcb /usr/games/prizedraw 2>"$scratch/game.log" &
game=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Powered by' | head -1) ||
    { cat "$scratch/game.log" >&2; echo "FAILED: no window" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window \"$(xdotool getwindowname "$window")\", ${WIDTH}x${HEIGHT}"
import -window "$window" "$scratch/window.png" && cp "$scratch/window.png" "$build/fresh-debian-window.png" &&
    echo "saved $build/fresh-debian-window.png"

echo "== prizeodds in the fresh root"
chroot "$root" prizeodds --quiet /usr/lib/prizedraw/data.ini | head -3
echo "== the package installs and runs on a fresh Debian 12"
