#!/usr/bin/env bash
# The operator configures the desktop on the real korvane.exe, with the mouse and keyboard only:
# log in, add a tab, add a program through the editor and start it, write its description and
# save it with Ctrl+S, move its icon, rename a tab; then restart and find everything as left.
set -euo pipefail
exe=$1 marker_writer=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/probe"
cp "$marker_writer" "$drive_c/probe/probe.exe"
data="$drive_c/ProgramData/Quillmoran/Shell"
python3 "$here/make_catalogue.py" "$data" "$drive_c/pictures" 'C:\pictures\shot.bmp'
catalogue() { python3 "$here/read_catalogue.py" "$data/icons.bin"; }
# saved GREP_ARGS...: waits up to 5 s for the catalogue on disk to match.
saved() {
    for _ in $(seq 1 50); do
        catalogue 2>/dev/null | grep -q "$@" && return 0
        sleep 0.1
    done
    return 1
}

start_desktop() {
    wine "$exe" >/dev/null 2>&1 &
    wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
    sleep 2
}
start_desktop
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
shoot() { sleep 0.4; import -window root "$work/$1.png"; echo "$work/$1.png"; }
cell_x() { echo $(($1 * 75 + 39)); }
cell_y() { echo $((d + $1 * 75 + 20)); }

# Centres of the white runs down the column at X of the dialog now on screen that are white at
# X2 too: the wide edit fields, not the preview or the caption.
white_runs() {
    import -window root "$work/dialog.png"
    local y
    convert "$work/dialog.png" -crop "1x$HEIGHT+$1+$Y" +repage -depth 8 txt:- |
        awk -v top="$Y" 'NR > 1 { split($1, p, "[,:]"); white = ($0 ~ /#FFFFFF/) }
            white && !inside { start = p[2]; inside = 1 }
            !white && inside { if (p[2] - start > 8) print top + int((start + p[2]) / 2); inside = 0 }' |
        while read -r y; do
            [ "$(pixel "$work/dialog.png" "$2" "$y")" = "255,255,255" ] && echo "$y"
        done
}

# Log in.
xdotool mousemove $((e - 56)) $((d - 19)) click 1
answer "Enter password" "Admin1"
answer "Warning!" ""

# Add a tab with the Add tab button.
xdotool mousemove $((e - 167)) $((d - 19)) click 1
answer "Enter new tab name" "Fresh"
saved -x "tab Fresh" || fail "the new tab was not saved"

# Add a program on the free cell (5, 1) of the first tab through the editor.
xdotool mousemove "$(cell_x 5)" "$(cell_y 1)" click 3
sleep 0.5
xdotool key Down Return
focus_dialog "Add/edit program"
mapfile -t edits < <(white_runs $((X + WIDTH / 10)) $((X + WIDTH * 8 / 10)))
[ ${#edits[@]} -ge 2 ] || fail "the editor's program and parameter fields were not found"
xdotool mousemove $((X + WIDTH / 10)) "${edits[0]}" click 1
xdotool type --delay 30 'C:\probe\probe.exe'
xdotool mousemove $((X + WIDTH / 10)) "${edits[1]}" click 1
xdotool type --delay 30 'C:\probe\added.txt started'
shoot editor >/dev/null
xdotool key Return
wait_closed "Add/edit program"
saved '^entry 5 1 0 1 Icon description|C:\\probe\\probe.exe|C:\\probe\\added.txt started|Program description$' ||
    fail "the added program was not saved: $(catalogue | tail -1)"

# A customer's double-click on it starts it.
xdotool mousemove "$(cell_x 5)" "$(cell_y 1)" click --repeat 2 --delay 80 1
for _ in $(seq 1 100); do
    [ -f "$drive_c/probe/added.txt" ] && break
    sleep 0.2
done
[ -f "$drive_c/probe/added.txt" ] || fail "the added program did not start"

# Its description, typed into the editor and saved with Ctrl+S.
xdotool mousemove "$(cell_x 5)" "$(cell_y 1)" click 1
sleep 0.5
xdotool mousemove $((e / 2)) $((d / 3)) click 1
xdotool key ctrl+End
xdotool type --delay 30 ' Ask at the desk.'
xdotool key ctrl+s
sleep 0.5
saved 'Ask at the desk' || fail "Ctrl+S did not save the description"

# Move its icon to the free cell (7, 2).
xdotool mousemove "$(cell_x 5)" "$(cell_y 1)" click 3
sleep 0.5
xdotool key Down Down Down Return
sleep 0.3
xdotool mousemove "$(cell_x 7)" "$(cell_y 2)" click 1
sleep 0.5
saved '^entry 7 2 0 1 Icon description|' || fail "the icon was not moved"

# Rename the first tab through the tab menu.
xdotool mousemove 20 $((d - 12)) click 3
sleep 0.5
xdotool key Down Return
answer "Edit tab name" "Work"
saved -x "tab Work" || fail "the tab was not renamed: $(catalogue | head -1)"
before=$(catalogue)
shoot edited >/dev/null

# Restart: the desktop shows what was left, from the same file.
stop_wine
wineserver -p >/dev/null 2>&1 </dev/null
start_desktop
shot=$(shoot restarted)
[ "$(catalogue)" = "$before" ] || fail "icons.bin changed across the restart"
background=$(convert "$shot" -crop "32x32+$((7 * 75 + 23))+$((d + 2 * 75 + 4))" +repage \
    -fill black +opaque "rgb(0,0,96)" -fill white -opaque "rgb(0,0,96)" \
    -format '%[fx:int(mean*1024)]' info:)
[ "$background" -lt 512 ] || fail "the moved icon is not drawn at (7, 2) after the restart"
echo "e2e editing: tab added and renamed, program added, started, described, moved; all kept across a restart"
