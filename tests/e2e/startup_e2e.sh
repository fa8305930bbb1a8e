#!/usr/bin/env bash
# First start of korvane.exe in a fresh prefix: a full-screen desktop in the background colour,
# every setting written with its default, the data folder made; a second start ends at once.
set -euo pipefail
exe=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT

wine "$exe" >/dev/null 2>&1 &
first=$!
window=$(wait_window SHELL 60) || fail "no visible SHELL window"
sleep 1

read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" -eq 0 ] && [ "$Y" -eq 0 ] || fail "window at $X,$Y"
[ "$WIDTH" -eq "$screen_w" ] && [ "$HEIGHT" -eq "$screen_h" ] ||
    fail "window ${WIDTH}x${HEIGHT}, screen ${screen_w}x${screen_h}"

shot="$work/first-start.png"
import -window root "$shot"
for point in "5 5" "$((screen_w * 3 / 4)) 100" "$((screen_w - 3)) $((screen_h - 3))" \
    "$((screen_w / 2 + 50)) $((screen_h * 3 / 4))"; do
    # shellcheck disable=SC2086
    colour=$(pixel "$shot" $point)
    [ "$colour" = "0,0,96" ] || fail "pixel ($point) is $colour, not the background 0,0,96"
done
# The dividers: along the top of the grid and between the two upper quarters.
for point in "100 $((screen_h / 2))" "$((screen_w / 2)) 100"; do
    # shellcheck disable=SC2086
    colour=$(pixel "$shot" $point)
    [ "$colour" = "0,0,0" ] || fail "pixel ($point) is $colour, not a black divider"
done

# Every setting but the password, with its type and default.
read_settings || fail "the settings key cannot be read"
check() {
    local name=$1 type=$2 data=$3
    local got_type got_data
    got_type=$(reg_type "$name")
    got_data=$(reg_value "$name" || true)
    [ "$got_type" = "$type" ] || fail "$name has type '$got_type', not $type"
    [ "$got_data" = "$data" ] || fail "$name is '$got_data', not '$data'"
}
check isRestart REG_DWORD 0x1
check lockdown REG_DWORD 0x1
check fontheight REG_DWORD 0xc
check fontwidth REG_DWORD 0x0
check fontescapement REG_DWORD 0x0
check fontorientation REG_DWORD 0x0
check fontweight REG_DWORD 0x190
for b in fontitalic fontunderline fontstrikeout fontoutprecision fontclipprecision fontquality \
    fontpitchandfamily; do
    check "$b" REG_BINARY 00
done
check fontcharset REG_BINARY 01
check fontfacename REG_SZ "MS Sans Serif"
check fontcolor REG_DWORD 0xffffff
check ofback REG_DWORD 0x600000
check ofcolor REG_DWORD 0xffffff
check isBitmap REG_DWORD 0x0
[ "$(reg_type backgroundBitmap)" = REG_SZ ] || fail "backgroundBitmap missing"
check cvetfona REG_DWORD 0x600000
check cveticon REG_DWORD 0x600000
check fullscreen REG_DWORD 0x0
[ "$(reg_type mainhwnd)" = REG_DWORD ] || fail "mainhwnd not published"
[ "$(reg_value mainhwnd)" != 0x0 ] || fail "mainhwnd is 0"
if reg_type password | grep -q . || reg_type passwordhash | grep -q .; then
    fail "a password was written"
fi

data_dir="$WINEPREFIX/drive_c/ProgramData/Quillmoran/Shell"
[ -d "$data_dir" ] || fail "no data folder $data_dir"
[ ! -e "$data_dir/icons.bin" ] || fail "icons.bin written without a change"

# A second start reads the catalogue and ends without a window of its own.
start=$SECONDS
timeout 60 wine "$exe" >/dev/null 2>&1 || fail "second instance failed or hung"
[ $((SECONDS - start)) -lt 30 ] || fail "second instance took $((SECONDS - start)) s"
[ "$(xdotool search --onlyvisible --name '^SHELL$' | wc -l)" -eq 1 ] || fail "two desktops"
kill -0 "$first" 2>/dev/null || fail "the first instance ended"

echo "e2e startup: window ${WIDTH}x${HEIGHT}, background and settings as expected; screenshot $shot"
