#!/usr/bin/env bash
# Draws the programs' own artwork with ImageMagick and writes it beside this script; the files are
# committed, so a build needs no image tools. Run it again after changing a drawing.
#   side_picture.bmp         bitmap 144: the wizard pages' side picture (a night sky over hills)
#   folder_side_picture.bmp  bitmap 150: the folder and final pages' side picture (a folder)
#   ../rovexa.ico, ../dismara.ico  the programs' icons (a box with an arrow in, and out)
set -euo pipefail
cd "$(dirname "$0")"
# The side pictures fill the frame of 88x160 dialog units: 132x260 pixels in the dialog font.
width=132
height=260

convert -size ${width}x${height} gradient:'#0b1f5c'-'#3a7bd5' \
    -fill '#f5f0c8' -draw 'circle 96,48 96,60' \
    -fill '#1d5a2a' -draw "polygon 0,200 40,170 80,190 ${width},160 ${width},${height} 0,${height}" \
    -fill '#2f7d3a' -draw "polygon 0,230 50,205 100,225 ${width},210 ${width},${height} 0,${height}" \
    -fill white -draw 'point 20,30' -draw 'point 50,60' -draw 'point 30,100' -draw 'point 70,20' -draw 'point 110,110' \
    -type TrueColor BMP3:side_picture.bmp

convert -size ${width}x${height} gradient:'#3a7bd5'-'#0b1f5c' \
    -fill '#e8b84a' -stroke '#8a6414' -strokewidth 2 \
    -draw 'roundrectangle 22,100 110,170 6,6' -draw 'polygon 22,104 22,88 56,88 64,100' \
    -fill '#f6d27a' -draw 'roundrectangle 22,112 110,170 6,6' \
    -type TrueColor BMP3:folder_side_picture.bmp

# icon WORD COLOUR ARROW: a box in that colour, the arrow going into it or out of it.
icon() {
    local name=$1 colour=$2 arrow=$3
    local sizes=()
    for size in 32 16; do
        convert -size 32x32 xc:none -fill "$colour" -stroke '#202020' -strokewidth 1.5 \
            -draw 'polygon 4,14 16,20 28,14 28,28 16,30 4,28' -fill '#ffffff' -stroke none \
            -draw "$arrow" -resize ${size}x${size} "PNG32:$name-$size.png"
        sizes+=("$name-$size.png")
    done
    convert "${sizes[@]}" -compress none "../$name.ico"
    rm -f "${sizes[@]}"
}
icon rovexa '#3a7bd5' 'polygon 12,2 20,2 20,9 25,9 16,18 7,9 12,9'
icon dismara '#c0392b' 'polygon 16,2 25,11 20,11 20,18 12,18 12,11 7,11'
