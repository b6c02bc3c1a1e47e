#!/usr/bin/env bash
# Peak memory of the game decoding large PNGs, the Qt build beside the Windows
# build under wine: 16 prizes whose pictures are PNGs of 10000 x 10000 pixels
# (RGB, 8 bits, a few MB each; hard links to one file), and the Windows build
# on the bundled list as wine's baseline. Each program runs 60 s from a folder
# of its own holding a copy of it, data.ini and picture/; the figure is VmHWM
# (peak resident set) read just before it is stopped.
# Usage: bench/decode_memory.sh [SECONDS]     (default 60)
# Builds the programs in $PRIZEDRAW_BENCH_BUILD (default build/) and
# build-windows/. With PRIZEDRAW_BENCH_BEFORE naming another Windows build of
# the game (an earlier prizedraw.exe), it is measured too, in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WINDOWS_BUILD_PACKAGES[@]}" \
    "${WINDOWS_TEST_PACKAGES[@]}"

build=${PRIZEDRAW_BENCH_BUILD:-build}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target prizedraw >&2
[ -f build-windows/build.ninja ] || scripts/build-windows.sh >&2
cmake --build build-windows -j "$(nproc)" --target prizedraw >&2

tmp=$(mktemp -d)
source scripts/wine_session.sh
start_wine_session
trap 'stop_wine_session; rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=xcb

# One 10000 x 10000 RGB PNG: gradients with a diagonal pattern, unfiltered.
python3 - "$tmp/big.png" <<'PY'
import struct, sys, zlib
w = h = 10000
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
red = bytes(x * 255 // (w - 1) for x in range(w))
ramp = bytes(range(256)) * (w // 256 + 2)
pack = zlib.compressobj(6)
body = []
for y in range(h):
    row = bytearray(3 * w)
    row[0::3] = red
    row[1::3] = bytes([y * 255 // (h - 1)]) * w
    row[2::3] = ramp[y % 256:y % 256 + w]
    body.append(pack.compress(b'\0' + bytes(row)))
body.append(pack.flush())
with open(sys.argv[1], 'wb') as out:
    out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)))
    out.write(chunk(b'IDAT', b''.join(body)) + chunk(b'IEND', b''))
PY

# data.ini in GBK with CR LF: 16 prizes of weight 6.25.
game_folder() { # folder program
    mkdir -p "$1/picture"
    cp "$2" "$1/"
    local k text=""
    for k in $(seq -w 1 16); do
        text+="6.25"$'\r\n'"$((10#$k * 1000003 % 16777216))"$'\r\n'"prize$k"$'\r\n'"1"$'\r\n'$'\r\n'
        ln "$tmp/big.png" "$1/picture/prize$k.jpg"
    done
    printf '%s' "$text" >"$1/data.ini"
}
game_folder "$tmp/qt" "$build/prizedraw"
game_folder "$tmp/win" build-windows/prizedraw.exe
before=${PRIZEDRAW_BENCH_BEFORE:-}
[ -z "$before" ] || game_folder "$tmp/before" "$before"
mkdir -p "$tmp/bundled"
cp -r sample/data.ini sample/picture build-windows/prizedraw.exe "$tmp/bundled/"

# Peak resident set in MB of the program run for the given seconds.
peak_mb() { # command...
    "$@" </dev/null >/dev/null 2>&1 &
    local pid=$! kb=
    sleep "$seconds"
    kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -n "$kb" ] && echo $((kb / 1024)) || echo "ended early"
}

echo "== $seconds s each" >&2
qt=$(peak_mb "$tmp/qt/prizedraw")
win=$(peak_mb wine "$tmp/win/prizedraw.exe")
[ -z "$before" ] || earlier=$(peak_mb wine "$tmp/before/prizedraw.exe")
base=$(peak_mb wine "$tmp/bundled/prizedraw.exe")
echo
echo "Machine: $(nproc) cores, wine $(wine --version 2>/dev/null | sed 's/^wine-//'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Peak memory (VmHWM) over the first $seconds s, 16 PNGs of 10000 x 10000 pixels ($(($(stat -c %s "$tmp/big.png") / 1024)) KiB each):"
echo "  Qt build:                          $qt MB"
[ -z "$before" ] || echo "  Windows build before, under wine:  $earlier MB"
echo "  Windows build under wine:          $win MB"
echo "  Windows build on the bundled list: $base MB"
