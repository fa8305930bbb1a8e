#!/usr/bin/env bash
# Crashes of the real korvane.exe, caused from outside by a thread started in it at an invalid
# address: each leaves a dump (at most 20 are kept), the catalogue as it was and, within 3 s, a
# new desktop in the locked user mode; the third crash within a minute stops the restarts and,
# when the Winlogon Shell value names this korvane.exe, starts explorer.exe (a stand-in beside it).
set -euo pipefail
exe=$1 injector=$2 fake_explorer=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap stop_wine EXIT
drive_c="$WINEPREFIX/drive_c"
install="$drive_c/Korvane"
mkdir -p "$install"
cp "$exe" "$install/korvane.exe"
cp "$fake_explorer" "$install/explorer.exe"
data="$drive_c/ProgramData/Quillmoran/Shell"
python3 "$here/make_catalogue.py" "$data" "$drive_c/pictures" 'C:\pictures\shot.bmp'
cp "$data/icons.bin" "$work/icons.before"
# 25 dumps of earlier crashes, a minute apart, and a file that is not a dump.
mkdir -p "$data/Crashes"
for i in $(seq 10 34); do
    echo MDMP >"$data/Crashes/old-$i.dmp"
    echo note >"$data/Crashes/old-$i.txt"
    touch -d "2020-01-01 00:$i:00" "$data/Crashes/old-$i.dmp" "$data/Crashes/old-$i.txt"
done
echo kept >"$data/Crashes/notes.log"

read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
settings_shown() { [ "$(pixel "$1" $((e - 93)) $((d - 31)))" != "0,0,96" ]; }

# crash N: crashes the running desktop; sets restarted (a pid or "none") and after (ms).
crash() {
    local line
    line=$(wine "$injector" 6 2>/dev/null | tr -d "\r" || true)
    echo "crash $1: $line"
    [[ $line =~ ^crashed\ [0-9]+\ exit\ 0xC0000005\ ended\ [0-9]+\ restarted\ ([0-9]+|none)\ after\ ([0-9]+)$ ]] ||
        fail "crash $1: unexpected report '$line'"
    restarted=${BASH_REMATCH[1]} after=${BASH_REMATCH[2]}
}

# all_end: no korvane.exe process (the desktops and their watcher) remains within 10 s.
all_end() {
    for _ in $(seq 1 50); do
        pgrep -f 'Korvane.korvane\.exe' >/dev/null || return 0
        sleep 0.2
    done
    fail "korvane.exe still runs after the restarts stopped: $(pgrep -af 'Korvane.korvane\.exe')"
}

wine 'C:\Korvane\korvane.exe' >/dev/null 2>&1 &
first=$!
wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
sleep 2
xdotool mousemove $((e - 56)) $((d - 19)) click 1
answer "Enter password" "Caf3Pass"
answer "Warning!" ""
sleep 0.5
import -window root "$work/admin.png"
settings_shown "$work/admin.png" || fail "not in admin mode before the crash"

crash 1
[ "$restarted" != none ] || fail "no desktop after the first crash"
! kill -0 "$first" 2>/dev/null || fail "the first desktop still runs after its crash"
[ "$after" -le 3000 ] || fail "the new desktop came after $after ms"
cmp -s "$work/icons.before" "$data/icons.bin" || fail "icons.bin changed"
new_dumps=("$data"/Crashes/korvane.exe-*.dmp)
[ ${#new_dumps[@]} -eq 1 ] || fail "${#new_dumps[@]} dumps of this crash"
[ "$(head -c 4 "${new_dumps[0]}")" = MDMP ] || fail "the dump is not a minidump"
[ "$(ls "$data"/Crashes/*.dmp | wc -l)" -eq 20 ] || fail "$(ls "$data"/Crashes/*.dmp | wc -l) dumps kept"
for i in $(seq 10 15); do
    [ ! -e "$data/Crashes/old-$i.dmp" ] && [ ! -e "$data/Crashes/old-$i.txt" ] ||
        fail "old dump $i (one of the six oldest) was kept"
done
[ -e "$data/Crashes/old-16.dmp" ] && [ -e "$data/Crashes/old-16.txt" ] || fail "old dump 16 went"
[ -e "$data/Crashes/notes.log" ] || fail "a file that is no dump was deleted"
sleep 1.5
import -window root "$work/after-crash.png"
! settings_shown "$work/after-crash.png" || fail "the restarted desktop is in admin mode"

crash 2
[ "$restarted" != none ] || fail "no desktop after the second crash"
[ "$after" -le 3000 ] || fail "the second new desktop came after $after ms"
sleep 1
crash 3
[ "$restarted" = none ] || fail "restarted after three crashes within a minute"
all_end
[ ! -e "$install/explorer-started.txt" ] || fail "explorer.exe started though we are not the shell"
[ "$(ls "$data"/Crashes/korvane.exe-*.dmp | wc -l)" -eq 3 ] || fail "not one dump per crash"
cmp -s "$work/icons.before" "$data/icons.bin" || fail "icons.bin changed"

# The same as the log-on shell: the third crash hands the screen to explorer.exe.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon' /v Shell /t REG_SZ \
    /d 'C:\Korvane\korvane.exe' /f /reg:64 >/dev/null 2>&1 || fail "cannot set the Shell value"
wine 'C:\Korvane\korvane.exe' >/dev/null 2>&1 &
wait_window SHELL 60 >/dev/null || fail "no visible SHELL window as the log-on shell"
sleep 1
for n in 1 2; do
    crash "$n (shell)"
    [ "$restarted" != none ] || fail "no desktop after crash $n as the log-on shell"
    sleep 1
done
crash "3 (shell)"
[ "$restarted" = none ] || fail "restarted after three crashes as the log-on shell"
all_end
for _ in $(seq 1 25); do
    [ -e "$install/explorer-started.txt" ] && break
    sleep 0.2
done
[ -e "$install/explorer-started.txt" ] || fail "explorer.exe was not started"
[ "$(ls "$data"/Crashes/*.dmp | wc -l)" -eq 20 ] || fail "more than 20 dumps kept"
cmp -s "$work/icons.before" "$data/icons.bin" || fail "icons.bin changed"

echo "e2e crash: restarts within 3 s, dumps pruned to 20, icons.bin unchanged, explorer.exe as shell"
