#!/usr/bin/env bash
# Draws the desktop's button icons at 48 pixels and writes each as a 16/24/32/48 .ico:
# 115 red square (shutdown), 116 gear wheel (settings), 117 floppy disk (save description),
# 1025 floppy disk with a warning triangle (unsaved description), 118 card box with a green
# plus (add tab), 120 closed padlock (restricted mode), 121 open padlock (admin mode).
# The .ico files are kept in the repository; run this only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p icons
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

draw() { # name, then convert drawing arguments on a 48x48 transparent canvas
    local name=$1
    shift
    convert -size 48x48 xc:none "$@" "$tmp/$name.png"
    local sizes=()
    for s in 16 24 32; do
        convert "$tmp/$name.png" -resize ${s}x${s} "$tmp/$name-$s.png"
        sizes+=("$tmp/$name-$s.png")
    done
    convert "${sizes[@]}" "$tmp/$name.png" "icons/$name.ico"
}

floppy=(-fill '#2b4a8b' -draw 'roundrectangle 5,5 42,42 4,4'
    -fill '#dfe6f2' -draw 'rectangle 13,5 34,18'
    -fill '#2b4a8b' -draw 'rectangle 27,8 31,15'
    -fill '#f4f4f4' -draw 'rectangle 11,25 36,42'
    -stroke '#9aa4b5' -strokewidth 1 -draw 'line 14,30 33,30' -draw 'line 14,35 33,35' -stroke none)

draw shutdown -fill '#b3121b' -draw 'roundrectangle 7,7 40,40 5,5' \
    -fill '#e2333b' -draw 'roundrectangle 10,10 37,37 4,4'
draw settings -fill '#5d6673' -draw 'circle 24,24 24,8' \
    -fill '#5d6673' -draw 'rectangle 20,3 28,45' -draw 'rectangle 3,20 45,28' \
    -draw 'polygon 7,12 12,7 41,36 36,41' -draw 'polygon 36,7 41,12 12,41 7,36' \
    -fill '#c9ced6' -draw 'circle 24,24 24,15' -fill '#5d6673' -draw 'circle 24,24 24,20'
draw save "${floppy[@]}"
draw save_warning "${floppy[@]}" \
    -fill '#f2b705' -stroke '#7a5a00' -strokewidth 1 -draw 'polygon 33,23 47,46 19,46' \
    -stroke none -fill '#1a1a1a' -draw 'rectangle 32,30 34,39' -draw 'rectangle 32,41 34,43'
draw add_tab -fill '#b88a4a' -draw 'polygon 4,16 24,8 44,16 24,24' \
    -fill '#9c7036' -draw 'polygon 4,16 24,24 24,44 4,36' \
    -fill '#c99b59' -draw 'polygon 44,16 24,24 24,44 44,36' \
    -fill '#1f9d3a' -draw 'circle 36,36 36,25' \
    -fill white -draw 'rectangle 34,29 38,43' -draw 'rectangle 29,34 43,38'
draw locked -fill none -stroke '#6b717a' -strokewidth 5 -draw 'arc 13,5 35,31 180,360' \
    -draw 'line 13,18 13,24' -draw 'line 35,18 35,24' -stroke none \
    -fill '#d9a521' -draw 'roundrectangle 8,22 40,44 4,4' \
    -fill '#5a4307' -draw 'circle 24,31 24,28' -draw 'rectangle 23,31 25,38'
draw unlocked -fill none -stroke '#6b717a' -strokewidth 5 -draw 'arc 25,3 47,29 180,360' \
    -draw 'line 47,16 47,22' -stroke none \
    -fill '#d9a521' -draw 'roundrectangle 4,22 36,44 4,4' \
    -fill '#5a4307' -draw 'circle 20,31 20,28' -draw 'rectangle 19,31 21,38'
