#!/usr/bin/env bash
# The room's catalogue on the real korvane.exe: taken from a share reached by a UNC path and by
# a drive letter, at start and within one interval while the desktop runs (pixels); damaged,
# foreign and over-full files refused with icons.bin untouched; a missing share at start; and
# kills at random moments while a large catalogue is taken leave icons.bin whole.
set -euo pipefail
exe=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT
data="$WINEPREFIX/drive_c/ProgramData/Quillmoran/Shell"
share="$WINEPREFIX/dosdevices/unc/roomsrv/room1"
mkdir -p "$data" "$share"
ln -s "$share" "$WINEPREFIX/dosdevices/s:"
make() { python3 "$here/room_catalogue.py" "$1" "$2"; }
# publish KIND: what an operator's copy to the share does, in one step.
publish() { make "$share/icons.new" "$1" && mv "$share/icons.new" "$share/icons.bin"; }
set_source() {
    wine reg add 'HKLM\Software\Korvane' /v cataloguesource /t REG_SZ /d "$1" /f /reg:64 \
        >/dev/null 2>&1 || fail "reg add"
}
start() {
    local t0=$SECONDS
    wine "$exe" >/dev/null 2>&1 &
    wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
    started_in=$((SECONDS - t0))
    sleep 1
}
stop() { wineserver -k 2>/dev/null || true; sleep 0.5; }

read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2))
bg="0,0,96"
# icon_drawn COLUMN SHOT: most of row 0's icon square at COLUMN is not the background.
icon_drawn() {
    local x=$(($1 * 75 + 23)) y=$((d + 4)) background
    background=$(convert "$2" -crop "32x32+$x+$y" +repage -fill black +opaque "rgb($bg)" \
        -fill white -opaque "rgb($bg)" -format '%[fx:int(mean*1024)]' info:)
    [ "$background" -lt 512 ]
}
shot() { import -window root "$work/$1.png"; echo "$work/$1.png"; }

# 1. Taken at start from \\roomsrv\room1, the one before kept as icons.prev.bin.
make "$data/icons.bin" local
cp "$data/icons.bin" "$work/local.bin"
publish room
set_source '\\roomsrv\room1\icons.bin'
wine reg add 'HKLM\Software\Korvane' /v sourceminutes /t REG_DWORD /d 1 /f /reg:64 >/dev/null 2>&1
start
s=$(shot start)
icon_drawn 2 "$s" && ! icon_drawn 0 "$s" || fail "the shared catalogue is not shown at start"
cmp -s "$share/icons.bin" "$data/icons.bin" || fail "icons.bin is not the shared one"
cmp -s "$work/local.bin" "$data/icons.prev.bin" || fail "icons.prev.bin is not the one before"
read_settings || fail "no settings"
sha=$(sha256sum <"$share/icons.bin" | cut -d' ' -f1)
reg_value cataloguetaken | grep -q "SHA-256 $sha from " || fail "cataloguetaken: $(reg_value cataloguetaken)"

# 2. A newer file on the share is on screen within one interval (a minute) while it runs.
publish newer
deadline=$((SECONDS + 100))
until s=$(shot running) && icon_drawn 4 "$s" && ! icon_drawn 2 "$s"; do
    [ $SECONDS -lt $deadline ] || fail "the newer catalogue is not shown within one interval"
    sleep 3
done
echo "newer catalogue shown $((100 - deadline + SECONDS)) s after it was put on the share"
stop

# 3. Refused at start, by UNC path and by drive letter: icons.bin stays byte for byte.
cp "$data/icons.bin" "$work/kept.bin"
for case in 'damaged|\\roomsrv\room1\icons.bin|the file holds 0 complete programs' \
            'foreign|S:\icons.bin|version 7, not 1' \
            'overfull|S:\icons.bin|finds no free cell'; do
    IFS='|' read -r kind source reason <<<"$case"
    publish "$kind"
    set_source "$source"
    start
    stop
    read_settings || fail "no settings"
    refused=$(reg_value cataloguerefused || true)
    [[ $refused == *"$source refused: "*"$reason"* ]] || fail "$kind: cataloguerefused is '$refused'"
    cmp -s "$work/kept.bin" "$data/icons.bin" || fail "$kind: icons.bin changed"
done

# 4. A share that does not exist: the local catalogue, in the usual time.
set_source '\\nosuchsrv\gone\icons.bin'
start
s=$(shot missing)
icon_drawn 4 "$s" || fail "the local catalogue is not shown with the share missing"
echo "window after ${started_in} s with the share missing"
stop
cmp -s "$work/kept.bin" "$data/icons.bin" || fail "icons.bin changed with the share missing"

# 5. Killed at random moments while a large catalogue is taken: always one whole file. A first
# round times the take from the start of the process; the kills fall around that time.
set_source 'S:\icons.bin'
make "$work/big-a.bin" big-a
make "$work/big-b.bin" big-b
ms() { echo $(($(date +%s%N) / 1000000)); }
# The desktop keeps the catalogue it took last as taken; icons.bin is put back behind its back
# between rounds, so that record goes too. (This also leaves the Wine server warm for a start.)
forget_taken() {
    wine reg delete 'HKLM\Software\Korvane' /v cataloguetaken /f /reg:64 >/dev/null 2>&1 || true
}
cp "$work/big-a.bin" "$data/icons.bin"
cp "$work/big-b.bin" "$share/icons.new" && mv "$share/icons.new" "$share/icons.bin"
forget_taken
t0=$(ms)
wine "$exe" >/dev/null 2>&1 &
until cmp -s "$data/icons.bin" "$work/big-b.bin"; do
    [ $(($(ms) - t0)) -lt 120000 ] || fail "the large catalogue was not taken"
    sleep 0.05
done
take=$(($(ms) - t0))
stop
echo "a large catalogue is taken $take ms after the process starts"
changed=0 RANDOM=25
for round in 1 2 3 4 5 6 7 8 9 10; do
    [ $((round % 2)) = 1 ] && next=big-a || next=big-b
    before=$(md5sum <"$data/icons.bin")
    cp "$work/$next.bin" "$share/icons.new" && mv "$share/icons.new" "$share/icons.bin"
    forget_taken
    wine "$exe" >/dev/null 2>&1 &
    after=$((take * 3 / 10 + RANDOM * take / 32768)) # 30 % to 130 % of the take's time
    sleep "$((after / 1000)).$(printf %03d $((after % 1000)))"
    wineserver -k 2>/dev/null || true
    sleep 0.5
    cmp -s "$data/icons.bin" "$work/big-a.bin" || cmp -s "$data/icons.bin" "$work/big-b.bin" ||
        fail "round $round: icons.bin is neither catalogue ($(stat -c %s "$data/icons.bin") bytes)"
    [ "$(md5sum <"$data/icons.bin")" = "$before" ] || changed=$((changed + 1))
    # Each round starts from the other catalogue than the share's.
    cp "$work/$next.bin" "$data/icons.bin"
done
[ $changed -ge 1 ] && [ $changed -le 9 ] ||
    fail "$changed of 10 rounds had taken the catalogue when killed: the kills missed the take"
echo "e2e room: taken, shown, refused and whole under kills ($changed of 10 rounds had taken); shots in $work"
