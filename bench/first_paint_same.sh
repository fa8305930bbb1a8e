#!/usr/bin/env bash
# Whole-screen pixel comparison of two builds of korvane.exe (before and after a start-up
# change): each starts in a fresh prefix with the same catalogue, the screen is taken once the
# desktop is up (restricted mode), again after logging in (admin mode) and once more with a
# program chosen (its description and screenshot), and the two builds' screens must be
# identical.
#   xvfb-run -a -s '-screen 0 1024x768x24' bench/first_paint_same.sh OLD_EXE NEW_EXE [WORK]
set -euo pipefail
old=$1 new=$2 work=${3:-$(mktemp -d)}
here=$(cd "$(dirname "$0")/../tests/e2e" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))

shoot_build() { # shoot_build EXE NAME: restricted.png and admin.png in $work/NAME
    fresh_prefix "$work/$2"
    python3 "$here/make_catalogue.py" "$WINEPREFIX/drive_c/ProgramData/Quillmoran/Shell" \
        "$WINEPREFIX/drive_c/pictures" 'C:\pictures\shot.bmp' 'C:\windows\notepad.exe' ''
    wine "$1" >/dev/null 2>&1 &
    wait_window SHELL 60 >/dev/null || fail "$2: no visible SHELL window"
    sleep 3
    import -window root "$work/$2/restricted.png"
    xdotool mousemove $((e - 56)) $((d - 19)) click 1
    answer "Enter password" "Caf3Pass"
    answer "Warning!" ""
    xdotool mousemove 0 $((h - 1))
    sleep 3
    import -window root "$work/$2/admin.png"
    xdotool mousemove $((23 + 16)) $((d + 20)) click 1 mousemove 0 $((h - 1))
    sleep 2
    import -window root "$work/$2/chosen.png"
    stop_wine
}
shoot_build "$old" old
shoot_build "$new" new
status=0
for mode in restricted admin chosen; do
    differing=$(compare -metric AE "$work/old/$mode.png" "$work/new/$mode.png" null: 2>&1 || true)
    echo "$mode mode: $differing pixels differ (screens in $work/old and $work/new)"
    [ "$differing" = 0 ] || status=1
done
exit $status
