#!/usr/bin/env bash
# Draws the icons of the game (prizedraw) and of the list editor (prizeedit)
# as PNG in the sizes a desktop asks for. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"

sizes=(16 22 24 32 48 64 128 256)

# Both icons: a dark rounded tile with a reel of three prize cards (picture
# above, colour strip below) under the yellow marker, as the window shows them.
# Drawn once at 512 pixels and scaled down.
reel=(
    -fill '#1c1c2e' -stroke none -draw 'roundrectangle 16,16 496,496 72,72'
    -fill '#000000' -draw 'rectangle 16,140 496,148' -draw 'rectangle 16,404 496,412'
    -fill '#c8c8c8' -draw 'rectangle 36,168 176,384' -draw 'rectangle 186,168 326,384' -draw 'rectangle 336,168 476,384'
    -fill '#ff69b4' -draw 'rectangle 36,310 176,384'
    -fill '#ffff00' -draw 'rectangle 186,310 326,384'
    -fill '#1e90ff' -draw 'rectangle 336,310 476,384'
    -fill '#ff4090' -draw 'circle 106,236 106,200'
    -fill '#ffd700' -draw 'polygon 206,290 226,240 286,240 306,290'
    -fill '#ffffff' -draw 'roundrectangle 386,196 426,290 8,8'
    -fill '#ffd700' -stroke '#8a6d00' -strokewidth 6
    -draw 'polygon 216,40 296,40 256,100' -draw 'rectangle 246,100 266,440'
)
# The editor adds a pencil across the lower right corner.
pencil=(
    -stroke none -fill '#f4a300' -draw 'polygon 300,460 250,410 440,220 490,270'
    -fill '#f2d2a9' -draw 'polygon 300,460 250,410 220,490'
    -fill '#303030' -draw 'polygon 248,472 232,456 220,490'
    -fill '#e05050' -draw 'polygon 440,220 490,270 506,254 456,204'
)

draw() { # name, then drawing options
    local name=$1 size
    shift
    local master
    master=$(mktemp --suffix=.png)
    convert -size 512x512 xc:none "$@" -strip "$master"
    for size in "${sizes[@]}"; do
        convert "$master" -filter Lanczos -resize "${size}x${size}" -strip \
            -define png:exclude-chunks=date,time "$name-$size.png"
    done
    rm -f "$master"
}

draw prizedraw "${reel[@]}"
draw prizeedit "${reel[@]}" "${pencil[@]}"
