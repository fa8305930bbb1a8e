#!/usr/bin/env bash
# The administrator password on the real korvane.exe: a ROT13 password imported from a
# korvane.reg (as the installer imports one) opens admin mode once through the real dialog and
# is then replaced by a PBKDF2 verifier; the old text still opens, another text does not.
# bcrypt.dll is loaded only once a password is checked.
set -euo pipefail
exe=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT
drive_c="$WINEPREFIX/drive_c"
python3 "$here/make_catalogue.py" "$drive_c/ProgramData/Quillmoran/Shell" "$drive_c/pictures" \
    'C:\pictures\shot.bmp' >/dev/null
printf '%s\r\n' 'REGEDIT4' '' '[HKEY_LOCAL_MACHINE\Software\Korvane]' '"password"="Pns3Cnff"' \
    >"$drive_c/korvane.reg"
wine reg import 'C:\korvane.reg' /reg:64 </dev/null >/dev/null 2>&1 || fail "reg import"
read_settings || fail "settings unreadable"
[ "$(reg_value password)" = Pns3Cnff ] || fail "the korvane.reg was not imported"

# ours_map_bcrypt: whether a korvane.exe of this prefix has bcrypt.dll mapped.
ours_map_bcrypt() {
    local pid
    for pid in $(pgrep -f 'korvane\.exe' || true); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
        grep -qi 'bcrypt\.dll' "/proc/$pid/maps" 2>/dev/null && return 0
    done
    return 1
}

wine "$exe" >/dev/null 2>&1 &
wait_window SHELL 60 >/dev/null || fail "no visible SHELL window"
sleep 2
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
! ours_map_bcrypt || fail "bcrypt.dll was loaded before any password was checked"

# admin_shown NAME [SECONDS]: the Settings button (admin mode only) is drawn in a screenshot,
# within SECONDS (default: at once). Checking a password takes a moment, longer under load.
admin_shown() {
    local deadline=$((SECONDS + ${2:-0}))
    while :; do
        sleep 0.6
        import -window root "$work/$1.png"
        [ "$(pixel "$work/$1.png" $((e - 93)) $((d - 31)))" = "0,0,96" ] || return 0
        [ $SECONDS -lt $deadline ] || return 1
    done
}
# log_in TEXT: types TEXT into the real password dialog.
log_in() {
    xdotool mousemove $((e - 56)) $((d - 19)) click 1
    answer "Enter password" "$1"
}
log_out() {
    xdotool mousemove $((e - 56)) $((d - 19)) click 1
    sleep 0.6
    ! admin_shown "$1" || fail "still in admin mode after logging out ($1)"
}
verifier='^pbkdf2-sha256\$200000\$[A-Za-z0-9+/]{22}==\$[A-Za-z0-9+/]{43}=$'

# The imported password opens once, with no message, and is replaced by a verifier.
log_in Caf3Pass
if wait_window 'Warning!' 3 >/dev/null; then fail "a message after the imported password"; fi
admin_shown imported 20 || fail "the imported password did not open admin mode"
ours_map_bcrypt || fail "checking the password did not load bcrypt.dll"
read_settings || fail "settings unreadable"
! reg_value password >/dev/null || fail "the ROT13 password is still stored: $(reg_value password)"
[ "$(reg_type passwordhash)" = REG_SZ ] || fail "passwordhash is '$(reg_type passwordhash)'"
reg_value passwordhash | grep -Eq "$verifier" || fail "passwordhash holds '$(reg_value passwordhash)'"
first=$(reg_value passwordhash)
log_out after-import

# The old text still opens; the verifier stays as it is.
log_in Caf3Pass
admin_shown again 20 || fail "the old text no longer opens admin mode"
read_settings || fail "settings unreadable"
[ "$(reg_value passwordhash)" = "$first" ] || fail "a login rewrote the verifier"
log_out after-again

# Another text, and the same letters in another case, are refused.
for wrong in Other1 caf3pass; do
    log_in "$wrong"
    answer "Warning!" ""
    ! admin_shown "refused-$wrong" || fail "'$wrong' opened admin mode"
done
echo "e2e password: imported ROT13 password replaced by a verifier on first login; screenshots in $work"
