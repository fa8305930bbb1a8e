#!/usr/bin/env bash
# After every modal dialog the desktop opens, the first click on a spot the dialog covered does
# its job: the Settings button opens the tools menu, a right-click on the grid the grid menu,
# and a click into the program editor after its icon chooser reaches the editor. The click comes
# as soon as Windows has taken the dialog away (WINDOW_GONE tells), as an operator's would.
set -euo pipefail
exe=$1 window_gone=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT
data="$WINEPREFIX/drive_c/ProgramData/Quillmoran/Shell"
python3 "$here/make_catalogue.py" "$data" "$WINEPREFIX/drive_c/pictures" 'C:\pictures\shot.bmp'
wine "$exe" >/dev/null 2>&1 &
wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
sleep 2
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
settings_x=$((e - 93)) settings_y=$((d - 19))

# close TITLE KEY...: presses KEY... on the dialog TITLE and returns once Windows no longer
# shows it. The watcher is running before the keys go, so the moment is not missed.
close() {
    local title=$1 ready="$WINEPREFIX/drive_c/watching" watcher
    shift
    rm -f "$ready"
    wine "$window_gone" "$title" 'C:\watching' >/dev/null 2>&1 </dev/null &
    watcher=$!
    for _ in $(seq 1 300); do
        [ -e "$ready" ] && break
        sleep 0.1
    done
    [ -e "$ready" ] || fail "'$title' is not shown"
    xdotool key "$@"
    wait $watcher || fail "'$title' stays open"
}
# menu_at X Y: waits up to 10 s for a pop-up menu with its corner at (X, Y).
menu_at() {
    for _ in $(seq 1 50); do
        for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
            xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Position: $1,$2 " && return 0
        done
        sleep 0.2
    done
    return 1
}
# saved TEXT: waits up to 5 s for TEXT in the catalogue on disk.
saved() {
    for _ in $(seq 1 50); do
        [[ "$(python3 "$here/read_catalogue.py" "$data/icons.bin")" == *"$1"* ]] && return 0
        sleep 0.1
    done
    return 1
}
# close_and_click TITLE KEY: closes the dialog TITLE with KEY, then clicks once where it was:
# on the Settings button when it covered it, else right on the grid under it, else into the
# shown description, where a typed word is then saved with Ctrl+S.
close_and_click() {
    focus_dialog "$1"
    local x=$X y=$Y width=$WIDTH height=$HEIGHT
    local cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2)) gy=$((Y + HEIGHT * 3 / 4))
    close "$1" "$2"
    if [ $settings_x -ge $x ] && [ $settings_x -lt $((x + width)) ] &&
        [ $settings_y -ge $y ] && [ $settings_y -lt $((y + height)) ]; then
        xdotool mousemove $settings_x $settings_y click 1
        menu_at $settings_x $settings_y || fail "the first click on Settings after '$1' was lost"
    elif [ $gy -gt $((d + 10)) ]; then
        xdotool mousemove $cx $gy click 3
        menu_at $cx $gy || fail "the first right-click on the grid after '$1' was lost"
    else
        [ $cx -lt $e ] && [ $cy -lt $((d - 40)) ] || fail "'$1' covers nothing to click"
        xdotool mousemove $cx $cy click 1
        xdotool type --delay 30 "after${1// /}"
        xdotool key ctrl+s
        saved "after${1// /}" || fail "the first click into the description after '$1' was lost"
        return
    fi
    xdotool key Escape
    sleep 0.3
}
# setup_item N: the Nth item of the program setup menu (under the tools menu).
setup_item() {
    xdotool mousemove $settings_x $settings_y click 1
    menu_at $settings_x $settings_y || fail "no tools menu"
    xdotool key Down Down Down Down Down Down Return
    sleep 0.6
    for _ in $(seq 1 "$1"); do xdotool key Down; done
    xdotool key Return
}

# The first password is stored and announced; the dialog then comes back after a log-out.
xdotool mousemove $((e - 56)) $((d - 19)) click 1
answer "Enter password" "Admin1"
answer "Warning!" ""
xdotool mousemove $((e - 56)) $((d - 19)) click 1
sleep 0.6
xdotool mousemove $((e - 56)) $((d - 19)) click 1
focus_dialog "Enter password"
xdotool type --delay 30 Admin1
close_and_click "Enter password" Return

# The editor on Notepad, its icon chooser (through the open-file dialog), then a click into the
# editor's parameter field where the chooser was, and the editor's OK.
xdotool mousemove 39 $((d + 20)) click 3
sleep 0.6
xdotool key Down Return
focus_dialog "Add/edit program"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
sleep 1 # painted
import -window root "$work/editor.png"
editor_x=$X editor_w=$WIDTH
# The white runs down the column at a tenth of its width that are white at eight tenths too;
# the lowest is the parameter field.
mapfile -t edits < <(convert "$work/editor.png" -crop "1x$HEIGHT+$((X + WIDTH / 10))+$Y" +repage \
    -depth 8 txt:- | awk -v top="$Y" 'NR > 1 { split($1, p, "[,:]"); white = ($0 ~ /#FFFFFF/) }
        white && !inside { start = p[2]; inside = 1 }
        !white && inside { if (p[2] - start > 8) print top + int((start + p[2]) / 2); inside = 0 }' |
    while read -r y; do
        [ "$(pixel "$work/editor.png" $((X + WIDTH * 8 / 10)) "$y")" = "255,255,255" ] && echo "$y"
    done)
[ ${#edits[@]} -ge 1 ] || fail "the editor's parameter field was not found"
xdotool key space # the Change icon button has the focus
answer "Open" ""
focus_dialog "Choose icon"
close "Choose icon" Escape
xdotool mousemove $((editor_x + editor_w / 2)) "${edits[-1]}" click 1
xdotool type --delay 30 after-chooser
close "Add/edit program" Return
saved '|after-chooser|' || fail "the click into the editor after the icon chooser was lost"
xdotool mousemove $settings_x $settings_y click 1
menu_at $settings_x $settings_y || fail "the first click on Settings after the editor was lost"
xdotool key Escape
sleep 0.3

# The tab name, the background and restrictions dialogs, the font and colour dialogs (over the
# description of Notepad, shown by a click).
xdotool mousemove 39 $((d + 20)) click 1
xdotool mousemove $((e - 167)) $((d - 19)) click 1
close_and_click "Enter new tab name" Escape
setup_item 1
close_and_click "Font" Escape
setup_item 2
close_and_click "Program background selection" Escape
setup_item 3
close_and_click "Color" Escape
setup_item 4
close_and_click "Restrictions" Escape
echo "e2e dialogs: the first click after each dialog did its job"
