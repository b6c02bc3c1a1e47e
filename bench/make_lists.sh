#!/usr/bin/env bash
# Writes the benchmark's prize lists once into a cache folder outside the
# repository: 1000 prizes with 1024x768 pictures, and 1000 with 12-megapixel
# ones (about 2.8 MB each, like phone photos). A few distinct pictures are
# drawn with ImageMagick; the 1000 picture files are hard links to them.
# Usage: bench/make_lists.sh CACHE_FOLDER    (prints nothing when up to date)
set -euo pipefail
cache=$1
version=1 # bump when what is written here changes
[ "$(cat "$cache/version" 2>/dev/null)" = "$version" ] && exit 0

echo "writing benchmark pictures into $cache (once)" >&2
rm -rf "$cache"
mkdir -p "$cache/sources"

# Plasma with noise: a photo's detail and entropy, 4:2:0 like a camera's.
draw() { # seed size file
    convert -size "$2" -seed "$1" plasma:fractal -attenuate 0.25 +noise Gaussian \
        -quality 90 -sampling-factor 2x2 "$3"
}
for seed in 1 2 3 4 5 6 7 8; do
    draw "$seed" 1024x768 "$cache/sources/vga$seed.jpg"
done
for seed in 1 2 3 4; do
    draw "$seed" 4000x3000 "$cache/sources/photo$seed.jpg"
done

# data.ini in GBK with CR LF: 1000 prizes of weight 0.1, named 奖品0001 to
# 奖品1000 (ASCII digits after two GBK characters).
list() { # folder source-prefix source-count
    mkdir -p "$1/picture"
    local k name text=""
    for k in $(seq 1 1000); do
        name=$(printf '奖品%04d' "$k")
        text+="0.1"$'\r\n'"$(( (k * 2654435761) % 16777216 ))"$'\r\n'"$name"$'\r\n'"$(( k % 9 + 1 ))"$'\r\n'$'\r\n'
        ln "$cache/sources/$2$(( (k - 1) % $3 + 1 )).jpg" "$1/picture/$name.jpg"
    done
    printf '%s' "$text" | iconv -f UTF-8 -t GBK >"$1/data.ini"
}
list "$cache/list-1024x768" vga 8
list "$cache/list-12mp" photo 4
echo "$version" >"$cache/version"
