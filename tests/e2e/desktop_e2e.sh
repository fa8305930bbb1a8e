#!/usr/bin/env bash
# The desktop a customer sees: korvane.exe in a fresh prefix with a catalogue written from the
# published byte layout, driven with xdotool (rest, click, tab switch) and checked by pixels.
set -euo pipefail
exe=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT
drive_c="$WINEPREFIX/drive_c"
python3 "$here/make_catalogue.py" "$drive_c/ProgramData/Quillmoran/Shell" "$drive_c/pictures" \
    'C:\pictures\shot.bmp'
catalogue="$drive_c/ProgramData/Quillmoran/Shell/icons.bin"
before=$(md5sum <"$catalogue")

wine "$exe" >/dev/null 2>&1 &
wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
sleep 2
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
bg="0,0,96"

# icon_drawn COLUMN ROW SHOT: most of the icon's 32 x 32 square is not the background.
icon_drawn() {
    local x=$(($1 * 75 + 23)) y=$((d + $2 * 75 + 4)) background
    background=$(convert "$3" -crop "32x32+$x+$y" +repage -fill black +opaque "rgb($bg)" \
        -fill white -opaque "rgb($bg)" -format '%[fx:int(mean*1024)]' info:)
    [ "$background" -lt 512 ]
}
shoot() { sleep 0.3; import -window root "$work/$1.png"; echo "$work/$1.png"; }

shot=$(shoot start)
icon_drawn 0 0 "$shot" || fail "Notepad's icon is missing"
icon_drawn 1 0 "$shot" || fail "Registry editor's icon is missing"
icon_drawn 2 1 "$shot" || fail "the application icon for a missing icon file is missing"
! icon_drawn 3 2 "$shot" || fail "a program of another tab is drawn"
[ "$(pixel "$shot" 5 $((d + 80)))" = "$bg" ] || fail "grid background"

# Resting on Notepad shows its screenshot scaled to the upper right quarter...
xdotool mousemove $((23 + 16)) $((d + 20))
sleep 1.2
shot=$(shoot rest-on-icon)
[ "$(pixel "$shot" $((e + 12)) 12)" = "255,0,0" ] || fail "no screenshot after a rest on the icon"
[ "$(pixel "$shot" $((w - 12)) $((d - 12)))" = "255,255,255" ] || fail "screenshot not scaled"
# ...and resting on empty space hides it again.
xdotool mousemove $((8 * 75 + 30)) $((d + 3 * 75 + 30))
sleep 1.2
shot=$(shoot rest-on-nothing)
[ "$(pixel "$shot" $((e + 12)) 12)" = "$bg" ] || fail "screenshot still shown over nothing"

# A click shows it at once.
xdotool mousemove $((23 + 16)) $((d + 20)) click 1
sleep 0.3
shot=$(shoot click-on-icon)
[ "$(pixel "$shot" $((e + 12)) 12)" = "255,0,0" ] || fail "no screenshot after a click"
# The description: white text on the description background in the upper left quarter.
white=$(convert "$shot" -crop "$((e - 10))x$((d / 3))+5+5" +repage -fill black +opaque white \
    -format '%[fx:int(mean*w*h)]' info:)
[ "$white" -gt 50 ] || fail "no description text shown ($white white pixels)"

# The second tab: find where the selected (light) first tab ends on the strip and click past it.
strip_y=$((d - 12))
x=2
while [ $x -lt $e ] && [ "$(pixel "$shot" $x $strip_y)" != "46,64,94" ]; do x=$((x + 1)); done
[ $x -lt $e ] || fail "no tab strip at y=$strip_y"
xdotool mousemove $((x + 12)) $strip_y click 1
sleep 0.5
shot=$(shoot second-tab)
icon_drawn 3 2 "$shot" || fail "the second tab's program is not drawn"
! icon_drawn 0 0 "$shot" || fail "the first tab's program is still drawn"

[ "$(md5sum <"$catalogue")" = "$before" ] || fail "icons.bin was rewritten"
echo "e2e desktop: icons, rest, click and tab switch as expected; screenshots in $work"
