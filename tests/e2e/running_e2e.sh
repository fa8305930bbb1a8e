#!/usr/bin/env bash
# Back to a running program on the real korvane.exe: a second double-click restores the
# minimised window of the program the first one started, and starts nothing; Shift+double-click
# starts a second copy; once every copy is closed a double-click starts a new process.
set -euo pipefail
exe=$1 family=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
# Minimising takes a window manager's part below (minimise_window.py): the program's windows are
# managed here, as under a real desktop, not left unmanaged as in the other tests' prefixes.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1
trap end_test EXIT
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/probe"
cp "$family" "$drive_c/probe/family.exe"
python3 "$here/make_catalogue.py" "$drive_c/ProgramData/Quillmoran/Shell" "$drive_c/pictures" \
    'C:\pictures\shot.bmp' 'C:\probe\family.exe' 'window'

read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2))
# family_pids: the family processes of this prefix (other developers run Wine too).
family_pids() {
    local pid
    for pid in $(pgrep -f 'probe.family\.exe' || true); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            echo "$pid"
    done
    return 0
}
count() { family_pids | wc -l; }
windows() { xdotool search --onlyvisible --name '^Running family from' 2>/dev/null || true; }
wait_for() { # wait_for SECONDS COMMAND...: until COMMAND succeeds
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.3
    done
}
has_count() { [ "$(count)" -eq "$1" ]; }
window_count() { [ "$(windows | wc -l)" -eq "$1" ]; }
double_click() { # double_click [shift]: on the first icon
    xdotool mousemove $((23 + 16)) $((d + 20))
    if [ "${1:-}" = shift ]; then
        xdotool keydown Shift_L click --repeat 2 --delay 80 1 keyup Shift_L
    else
        xdotool click --repeat 2 --delay 80 1
    fi
}
# in_front ID: the X window ID is stacked above the desktop's SHELL window (xwininfo lists the
# root's children from the top down).
in_front() {
    local shell order
    shell=$(xdotool search --onlyvisible --name '^SHELL$' | head -1)
    order=$(for hex in $(xwininfo -root -children | awk '/^ +0x/ { print $1 }'); do
        printf '%d\n' "$hex"
    done)
    [ -n "$shell" ] && [ "$(echo "$order" | grep -nx "$1" | cut -d: -f1)" -lt \
        "$(echo "$order" | grep -nx "$shell" | cut -d: -f1)" ]
}

wine "$exe" >/dev/null 2>&1 &
wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
sleep 2

# 1. Started, minimised, double-clicked again: the same process comes back in front.
double_click
wait_for 60 has_count 1 || fail "the program did not start ($(count) processes)"
wait_for 60 window_count 1 || fail "no program window"
first=$(family_pids)
id=$(windows)
# Minimised from its system menu (Alt+Space, Minimize); keys go to the window under the pointer.
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key alt+space
sleep 1
xdotool key n
sleep 1
python3 "$here/minimise_window.py" "$id" # the window manager's part: Xvfb has none
wait_for 20 window_count 0 || fail "the program window was not minimised"
sleep 2.5 # one timer tick: the marker is drawn from the refreshed list
import -window root "$work/minimised.png"
[ "$(pixel "$work/minimised.png" 70 $((d + 5)))" = "255,255,255" ] || fail "no marker on the running icon: $(pixel "$work/minimised.png" 70 $((d + 5)))"
double_click
wait_for 20 window_count 1 || fail "the window was not restored"
sleep 2
[ "$(count)" -eq 1 ] && [ "$(family_pids)" = "$first" ] || fail "a second process started: $(family_pids | tr '\n' ' ')"
id=$(windows)
import -window root "$work/restored.png"
eval "$(xdotool getwindowgeometry --shell "$id")"
[ "$(pixel "$work/restored.png" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)))" = "255,255,255" ] ||
    fail "the restored window's white client area is not on screen"
in_front "$id" || fail "the restored window is not in front of the desktop"

# 2. Shift+double-click: a second copy.
double_click shift
wait_for 60 has_count 2 || fail "Shift+double-click started no second copy ($(count))"

# 3. Both closed: the next double-click starts a new process.
# Keys go to the window under the pointer (no window manager): Alt+F4 over each copy.
for attempt in 1 2 3 4 5 6; do
    id=$(windows | head -1)
    [ -n "$id" ] || break
    eval "$(xdotool getwindowgeometry --shell "$id")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key alt+F4
    sleep 2
done
wait_for 30 has_count 0 || fail "the copies did not close ($(count) left)"
sleep 2.5 # a timer tick sees them gone
double_click
wait_for 60 has_count 1 || fail "no new process after both were closed"
[ "$(family_pids)" != "$first" ] || fail "the old process id again"
echo "PASS"
