#!/usr/bin/env bash
# The operator and the customer on the real korvane.exe: log in by typing the password into the
# real dialog, see the admin buttons and menus, log out, and start a program by double-clicking
# its icon (a helper that leaves a marker file).
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
rm -f "$drive_c/probe/started.txt"
python3 "$here/make_catalogue.py" "$drive_c/ProgramData/Quillmoran/Shell" "$drive_c/pictures" \
    'C:\pictures\shot.bmp' 'C:\probe\probe.exe' 'C:\probe\started.txt hello customer'

wine "$exe" >/dev/null 2>&1 &
wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
sleep 2
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
bg="0,0,96"
shoot() { sleep 0.4; import -window root "$work/$1.png"; echo "$work/$1.png"; }
# button_shown X SHOT: the button at X is drawn (not background) above the tab strip's top.
button_shown() { [ "$(pixel "$2" "$1" $((d - 31)))" != "$bg" ]; }
shot=$(shoot restricted)
button_shown $((e - 56)) "$shot" || fail "no mode button"
! button_shown $((e - 93)) "$shot" || fail "the Settings button shows in restricted mode"

# Log in: the first password is stored (as a verifier) and announced.
xdotool mousemove $((e - 56)) $((d - 19)) click 1
answer "Enter password" "Caf3Pass"
answer "Warning!" ""
sleep 0.5
shot=$(shoot admin)
for x in $((e - 93)) $((e - 130)) $((e - 167)); do
    button_shown $x "$shot" || fail "admin button at x=$x is not shown"
done
read_settings || fail "settings unreadable"
! reg_value password >/dev/null || fail "password stored readable as '$(reg_value password)'"
reg_value passwordhash | grep -Eq '^pbkdf2-sha256\$200000\$[A-Za-z0-9+/]{22}==\$[A-Za-z0-9+/]{43}=$' ||
    fail "passwordhash holds '$(reg_value passwordhash)'"

# A click shows the description, writable, under its formatting tool bar.
xdotool mousemove $((23 + 16)) $((d + 20)) click 1
sleep 0.6
shoot admin-description >/dev/null

# The tools menu from the Settings button, and the grid menu on an icon (looked at, then closed).
xdotool mousemove $((e - 93)) $((d - 19)) click 1
sleep 0.6
shoot tools-menu >/dev/null
xdotool key Escape
sleep 0.3
xdotool mousemove $((23 + 16)) $((d + 20)) click 3
sleep 0.6
shoot grid-menu >/dev/null
xdotool key Escape
sleep 0.3

# The tab menu, the program setup menu (a second menu after the tools menu), the background
# dialog from it, the exit menu and the shutdown menu behind its first item: looked at, closed.
xdotool mousemove 20 $((d - 12)) click 3
sleep 0.6
shoot tab-menu >/dev/null
xdotool key Escape
xdotool mousemove $((e - 93)) $((d - 19)) click 1
sleep 0.6
xdotool key Down Down Down Down Down Down Return
sleep 0.6
shoot setup-menu >/dev/null
xdotool key Down Down Return
focus_dialog "Program background selection"
shoot background-dialog >/dev/null
xdotool key Escape
wait_closed "Program background selection"
xdotool mousemove $((e - 19)) $((d - 19)) click 1
sleep 0.6
shoot exit-menu >/dev/null
xdotool key Down Return
sleep 0.6
shoot shutdown-menu >/dev/null
xdotool key Escape
sleep 0.3

# Log out: the admin buttons go again.
xdotool mousemove $((e - 56)) $((d - 19)) click 1
sleep 0.6
shot=$(shoot restricted-again)
! button_shown $((e - 93)) "$shot" || fail "the Settings button stays after logging out"

# A customer double-clicks the first icon: its program starts with its parameters.
xdotool mousemove $((23 + 16)) $((d + 20)) click --repeat 2 --delay 80 1
for _ in $(seq 1 100); do
    [ -f "$drive_c/probe/started.txt" ] && break
    sleep 0.2
done
[ -f "$drive_c/probe/started.txt" ] || fail "the double-click started nothing"
[ "$(tr -d '\r' <"$drive_c/probe/started.txt")" = "$(printf 'hello\ncustomer')" ] ||
    fail "started with '$(cat "$drive_c/probe/started.txt")'"
echo "e2e modes: password login and logout, menus, and a program started by double-click; screenshots in $work"
