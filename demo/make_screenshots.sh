#!/usr/bin/env bash
# Draws the demo catalogue's screenshots with ImageMagick: one picture per program, a window in
# the classic Windows look with the program's own content, so nothing binary is kept in git.
#   demo/make_screenshots.sh FOLDER
set -euo pipefail
out=${1:?usage: make_screenshots.sh FOLDER}
mkdir -p "$out"
font=DejaVu-Sans
mono=DejaVu-Sans-Mono
w=480
h=360

# window NAME TITLE MENU: a grey window with a blue title bar and a menu line; the caller draws
# the client area (from y=48 down) into "$out/NAME.png" afterwards.
window() {
    convert -size ${w}x${h} xc:'#d4d0c8' \
        -fill '#0a246a' -draw "rectangle 0,0 $((w - 1)),22" \
        -fill '#a6caf0' -draw "rectangle $((w / 2)),0 $((w - 1)),22" \
        -fill white -font "$font" -pointsize 13 -annotate +8+16 "$2" \
        -fill '#d4d0c8' -draw "rectangle $((w - 20)),4 $((w - 6)),18" \
        -fill black -pointsize 12 -annotate +8+40 "$3" \
        -fill '#808080' -draw "line 0,46 $((w - 1)),46" \
        "$out/$1.png"
}

draw() { # draw NAME ARGS...: draws onto an existing picture
    local name=$1
    shift
    convert "$out/$name.png" "$@" "$out/$name.png"
}

window notepad "notes.txt - Notepad" "File   Edit   Search   Help"
draw notepad -fill white -draw "rectangle 4,50 $((w - 5)),$((h - 5))" \
    -fill black -font "$mono" -pointsize 13 \
    -annotate +10+70 "Shopping list" -annotate +10+90 "- coffee beans" \
    -annotate +10+110 "- printer paper" -annotate +10+130 "- a new mouse for PC 7" \
    -annotate +10+170 "Call the landlord on Monday."

window wordpad "Document - WordPad" "File   Edit   View   Insert   Format   Help"
draw wordpad -fill '#ece9d8' -draw "rectangle 4,50 $((w - 5)),74" \
    -fill black -font "$font" -pointsize 11 -annotate +10+66 "Arial        12     B   I   U" \
    -fill white -draw "rectangle 4,78 $((w - 5)),$((h - 5))" \
    -fill '#0a246a' -font "$font-Bold" -pointsize 20 -annotate +16+110 "Letter of application" \
    -fill black -font "$font" -pointsize 13 -annotate +16+140 "Dear Ms Novak," \
    -annotate +16+165 "I would like to apply for the position" \
    -annotate +16+185 "advertised in Tuesday's paper." \
    -fill '#c00000' -annotate +16+220 "Yours sincerely,"

window regedit "Registry Editor" "Registry   Edit   View   Favorites   Help"
draw regedit -fill white -draw "rectangle 4,50 170,$((h - 5))" \
    -draw "rectangle 174,50 $((w - 5)),$((h - 5))" \
    -fill black -font "$font" -pointsize 12 -annotate +10+68 "My Computer" \
    -annotate +20+88 "HKEY_CLASSES_ROOT" -annotate +20+108 "HKEY_CURRENT_USER" \
    -annotate +20+128 "HKEY_LOCAL_MACHINE" -annotate +34+148 "Software" \
    -fill '#0a246a' -draw "rectangle 44,154 110,170" -fill white -annotate +48+166 "Korvane" \
    -fill black -annotate +20+188 "HKEY_USERS" \
    -annotate +180+68 "Name" -annotate +300+68 "Data" \
    -annotate +180+92 "cvetfona" -annotate +300+92 "0x00600000" \
    -annotate +180+112 "isRestart" -annotate +300+112 "0x00000001" \
    -annotate +180+132 "mainhwnd" -annotate +300+132 "0x0001007a"

window winemine "WineMine" "Game   Options   Info"
mine=(-fill '#c0c0c0' -draw "rectangle 120,60 360,$((h - 20))")
for row in $(seq 0 8); do
    for col in $(seq 0 8); do
        x=$((128 + col * 25))
        y=$((70 + row * 29))
        if [ $(((row * 7 + col * 3) % 5)) -lt 2 ]; then
            mine+=(-fill '#bdbdbd' -stroke '#808080' -draw "rectangle $x,$y $((x + 23)),$((y + 27))")
        else
            mine+=(-fill '#e0e0e0' -stroke '#808080' -draw "rectangle $x,$y $((x + 23)),$((y + 27))")
            mine+=(-fill '#ffffff' -stroke none -draw "line $x,$y $((x + 23)),$y")
        fi
    done
done
mine+=(-stroke none -fill '#0000ff' -font "$font-Bold" -pointsize 16 -annotate +136+92 "1"
    -fill '#008000' -annotate +186+150 "2" -fill '#ff0000' -annotate +261+208 "3"
    -fill black -draw "circle 311,254 318,254")
draw winemine "${mine[@]}"

window cmd "Command Prompt" ""
draw cmd -fill black -draw "rectangle 0,23 $((w - 1)),$((h - 1))" \
    -fill '#c0c0c0' -font "$mono" -pointsize 13 \
    -annotate +6+44 "Microsoft Windows 10.0.19045" -annotate +6+78 "C:\\>dir /w" \
    -annotate +6+98 "[Program Files]   [ProgramData]   [users]" \
    -annotate +6+118 "[windows]          notes.txt" -annotate +6+152 "C:\\>ping example.org" \
    -annotate +6+172 "Reply: bytes=32 time=12ms TTL=56" -annotate +6+206 "C:\\>_"

window appwiz "Add/Remove Programs" ""
draw appwiz -fill white -draw "rectangle 10,56 $((w - 11)),$((h - 50))" \
    -fill black -font "$font" -pointsize 12 \
    -annotate +16+74 "Install / Uninstall" -fill '#0a246a' -draw "rectangle 14,84 $((w - 15)),102" \
    -fill white -annotate +20+98 "Korvane Shell 1.23" -fill black \
    -annotate +20+122 "Wine Gecko" -annotate +20+146 "Wine Mono" \
    -fill '#d4d0c8' -stroke '#808080' -draw "rectangle $((w - 170)),$((h - 40)) $((w - 95)),$((h - 16))" \
    -draw "rectangle $((w - 85)),$((h - 40)) $((w - 11)),$((h - 16))" -stroke none \
    -fill black -annotate +$((w - 160))+$((h - 23)) "Install..." \
    -annotate +$((w - 76))+$((h - 23)) "Remove"
