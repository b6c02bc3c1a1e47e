#!/usr/bin/env bash
# Writes the bundled prize list (data.ini in GBK with CR LF line ends) and
# draws one picture per prize into picture/. Needs ImageMagick and iconv.
set -euo pipefail
cd "$(dirname "$0")"

# weight, colour (red + 256 * green + 65536 * blue), name, amount; the
# weights add up to 100.
prizes=(
    "30|65535|荧光棒|10"
    "20|11823615|棒棒糖|5"
    "15|2970272|玩具熊|1"
    "12|16748574|保温杯|1"
    "10|13158400|蓝牙耳机|1"
    "8|36095|电影票|2"
    "4|13828244|智能手表|1"
    "1|55295|金条|1"
)

list=""
for prize in "${prizes[@]}"; do
    IFS='|' read -r weight color name amount <<<"$prize"
    list+="$weight"$'\r\n'"$color"$'\r\n'"$name"$'\r\n'"$amount"$'\r\n'$'\r\n'
done
printf '%s' "$list" | iconv -f UTF-8 -t GBK >data.ini

# Pictures at twice the card's picture box (177 x 113 pixels), so they stay
# sharp on high-density screens too.
size=354x226
mkdir -p picture
draw() { # name, background, then ImageMagick drawing options
    local name=$1 background=$2
    shift 2
    convert -size "$size" "$background" "$@" -strip -quality 85 "picture/$name.jpg"
}

draw 荧光棒 gradient:'#101030-#302060' \
    -stroke '#40ff80' -strokewidth 12 -draw 'line 60,190 140,40' \
    -stroke '#ff40c0' -strokewidth 12 -draw 'line 130,200 190,30' \
    -stroke '#40c0ff' -strokewidth 12 -draw 'line 200,200 250,35' \
    -stroke '#ffff40' -strokewidth 12 -draw 'line 270,190 300,45' \
    -blur 0x2

draw 棒棒糖 gradient:'#fff0f8-#ffc0e0' \
    -fill '#d0a070' -stroke none -draw 'rectangle 172,120 182,215' \
    -fill '#ff4090' -draw 'circle 177,85 177,20' \
    -fill none -stroke white -strokewidth 8 -draw 'arc 137,45 217,125 0,300' \
    -stroke '#ffe040' -strokewidth 6 -draw 'arc 157,65 197,105 90,390'

draw 玩具熊 gradient:'#fff8e0-#f0d8a0' \
    -fill '#8b5a2b' -stroke none -draw 'circle 120,60 120,28' -draw 'circle 234,60 234,28' \
    -draw 'circle 177,118 177,40' \
    -fill '#d2a06a' -draw 'ellipse 177,145 38,28 0,360' \
    -fill black -draw 'circle 150,100 150,90' -draw 'circle 204,100 204,90' -draw 'ellipse 177,135 12,8 0,360'

draw 保温杯 gradient:'#e8f4ff-#b0d0f0' \
    -fill '#1e90ff' -stroke '#0b4f99' -strokewidth 3 -draw 'roundrectangle 137,50 217,210 14,14' \
    -fill '#c0c8d0' -draw 'roundrectangle 130,22 224,52 8,8' \
    -fill '#ffffff' -stroke none -draw 'rectangle 150,70 160,190'

draw 蓝牙耳机 gradient:'#f0ffff-#a0e0e0' \
    -fill white -stroke '#404040' -strokewidth 3 \
    -draw 'circle 120,80 120,40' -draw 'roundrectangle 108,110 132,200 10,10' \
    -draw 'circle 234,80 234,40' -draw 'roundrectangle 222,110 246,200 10,10' \
    -fill '#00c8c8' -stroke none -draw 'circle 120,80 120,62' -draw 'circle 234,80 234,62'

draw 电影票 gradient:'#402010-#804020' \
    -fill '#ffcc33' -stroke '#a06000' -strokewidth 3 -draw 'roundrectangle 40,45 314,181 10,10' \
    -stroke '#a06000' -strokewidth 3 -draw 'line 240,50 240,176' \
    -fill '#c00000' -stroke none -draw 'rectangle 70,80 210,100' -draw 'rectangle 70,120 180,135' \
    -fill '#402010' -draw 'circle 40,113 40,95' -draw 'circle 314,113 314,95'

draw 智能手表 gradient:'#f0e8ff-#c8b0f0' \
    -fill '#303030' -stroke none -draw 'rectangle 147,0 207,226' \
    -fill '#202020' -stroke '#9400d3' -strokewidth 5 -draw 'roundrectangle 122,48 232,178 20,20' \
    -stroke '#40ff80' -strokewidth 4 -draw 'line 177,113 177,70' -draw 'line 177,113 205,125'

draw 金条 gradient:'#302000-#705010' \
    -fill '#ffd700' -stroke '#a08000' -strokewidth 3 \
    -draw 'polygon 70,200 110,130 250,130 290,200' \
    -draw 'polygon 110,125 145,60 215,60 250,125' \
    -fill '#fff3a0' -stroke none -draw 'polygon 150,70 160,70 135,120 125,120'
