#!/usr/bin/env bash
# The customer lockdown on the real korvane.exe as the log-on shell: the Windows keys and
# Ctrl/Alt+Esc kept from a customer's program in user mode and let through in admin mode;
# then korvane.exe killed at random moments while the operator logs in and out, and every next
# start leaving the policy values exactly as user mode needs; "/unlock" and un-integration
# leaving them exactly as they were before the first start.
set -euo pipefail
exe=$1 recorder=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"
rounds=${KORVANE_LOCKDOWN_KILLS:-4}

fresh_prefix "$work"
trap end_test EXIT
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/korvane" "$drive_c/probe"
cp "$exe" "$drive_c/korvane/korvane.exe"
cp "$recorder" "$drive_c/probe/keyrec.exe"
journal="$drive_c/ProgramData/Quillmoran/Shell/lockdown.journal"
keylog="$drive_c/probe/keys.txt"
winlogon='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
user_policies='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies'

# policy_state: every key and value the lockdown may touch, sorted, one wine start.
policy_state() {
    wine cmd /c "reg query $user_policies /s /reg:64 & reg query HKCU\\Software\\Policies /s /reg:64 & reg query HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System /reg:64" \
        </dev/null 2>/dev/null | tr -d '\r' | sed '/^ *$/d' | sort
}
my_korvanes() {
    local p
    for p in $(pgrep -f 'korvane\.exe' || true); do
        { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
    done
    return 0
}
start_desktop() {
    (cd "$drive_c/korvane" && wine korvane.exe </dev/null >/dev/null 2>&1 &)
    wait_window SHELL 90 >/dev/null || fail "no visible SHELL window"
}
kill_desktop() {
    local pids
    pids=$(my_korvanes)
    [ -z "$pids" ] || kill -9 $pids 2>/dev/null || true
    for _ in $(seq 1 100); do
        [ -z "$(my_korvanes)" ] && ! xdotool search --onlyvisible --name '^SHELL$' >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "the killed desktop stays"
}
# wait_journal yes|no: until the journal exists (or is gone), bounded.
wait_journal() {
    for _ in $(seq 1 150); do
        if [ "$1" = yes ]; then [ -f "$journal" ] && return 0; else [ ! -f "$journal" ] && return 0; fi
        sleep 0.1
    done
    fail "journal should exist: $1"
}
expect_state() { # NAME EXPECTED-FILE
    policy_state >"$work/state-$1.txt"
    diff -u "$2" "$work/state-$1.txt" >&2 || fail "policy values after $1 differ"
}
# keys_after MARK: the lines of the key log after the last line MARK.
keys_after() { awk -v m="$1" '$0 == m { n = NR } { l[NR] = $0 } END { for (i = n + 1; i <= NR; i++) print l[i] }' "$keylog"; }
wait_key() {
    for _ in $(seq 1 100); do
        grep -qx "$1" "$keylog" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the key program never saw '$1'"
}

# The account's own settings the lockdown must give back: a string where a number belongs and
# a number of its own; the rest absent. The desktop is the log-on shell.
wine reg add "$user_policies\\System" /v DisableTaskMgr /t REG_SZ /d keep /f /reg:64 >/dev/null 2>&1
wine reg add "$user_policies\\Explorer" /v NoRun /t REG_DWORD /d 7 /f /reg:64 >/dev/null 2>&1
wine reg add "$winlogon" /v Shell /t REG_SZ /d 'C:\korvane\korvane.exe' /f /reg:64 >/dev/null 2>&1
policy_state >"$work/before.txt"
grep -q 'DisableTaskMgr *REG_SZ *keep' "$work/before.txt" || fail "no original to keep"

start_desktop
wait_journal yes
sleep 1
policy_state >"$work/locked.txt"
for v in 'DisableTaskMgr REG_DWORD 0x1' 'DisableLockWorkstation REG_DWORD 0x1' \
    'DisableChangePassword REG_DWORD 0x1' 'DisableRegistryTools REG_DWORD 0x2' 'NoRun REG_DWORD 0x1' \
    'NoWinKeys REG_DWORD 0x1' 'NoLogoff REG_DWORD 0x1' 'DisableCMD REG_DWORD 0x2' \
    'HideFastUserSwitching REG_DWORD 0x1'; do
    grep -q "^ *${v// / *}\$" "$work/locked.txt" || fail "user mode lacks $v"
done
! grep -q NoClose "$work/locked.txt" || fail "NoClose while customers may shut down"

# The keys. A customer's program in front, under the pointer (no window manager: keys go there).
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
(cd "$drive_c/probe" && wine keyrec.exe 'C:\probe\keys.txt' </dev/null >/dev/null 2>&1 &)
wait_key ready
# focus_recorder: a click makes the key program the foreground window (dialogs took it before).
focus_recorder() {
    xdotool mousemove $((e + e / 2)) $((d / 2)) click 1
    sleep 0.5
}
focus_recorder
send_probe() { # MARK: the three ways out, then a harmless key that proves the others were seen
    echo "$1" >>"$keylog"
    xdotool key super
    xdotool key ctrl+Escape
    xdotool key ctrl+shift+Escape
    xdotool key alt+Tab
    xdotool key alt+F4
    xdotool key z
    for _ in $(seq 1 100); do
        keys_after "$1" | grep -qx 'down 5A' && return 0
        sleep 0.1
    done
    fail "the key program did not get its keys after $1"
}
send_probe user-mode
got=$(keys_after user-mode)
! grep -qx 'down 5B' <<<"$got" || fail "Super reached the program in user mode"
! grep -qx 'down 1B' <<<"$got" || fail "an Esc combination reached the program in user mode"
grep -qx 'down 09' <<<"$got" || fail "Alt+Tab did not pass in user mode"
grep -qx 'close' <<<"$got" || fail "Alt+F4 did not pass in user mode"
import -window root "$work/user-mode.png"

# The operator logs in (the first password is stored): Windows' own ways are open again.
xdotool mousemove $((e - 56)) $((d - 19)) click 1
answer "Enter password" "pw"
answer "Warning!" ""
wait_journal no
expect_state admin "$work/before.txt"
focus_recorder
send_probe admin-mode
got=$(keys_after admin-mode)
grep -qx 'down 5B' <<<"$got" || fail "Super did not reach the program in admin mode"
[ "$(grep -cx 'down 1B' <<<"$got")" -ge 2 ] || fail "Ctrl+Esc did not reach the program in admin mode"
grep -qx 'down 09' <<<"$got" || fail "Alt+Tab did not pass in admin mode"
grep -qx 'close' <<<"$got" || fail "Alt+F4 did not pass in admin mode"
xdotool mousemove $((e - 56)) $((d - 19)) click 1
wait_journal yes
sleep 0.5
expect_state logout "$work/locked.txt"

# Killed at random moments while the operator logs in and out; each next start is locked.
log_in() {
    xdotool mousemove $((e - 56)) $((d - 19)) click 1
    focus_dialog "Enter password"
    xdotool type --delay 30 pw
    xdotool key Return
}
for round in $(seq 1 "$rounds"); do
    log_in
    if [ $((round % 2)) = 0 ]; then # killed while logging out rather than in
        wait_journal no
        xdotool mousemove $((e - 56)) $((d - 19)) click 1
    fi
    sleep "0.$((RANDOM % 3))$((RANDOM % 10))"
    kill_desktop
    start_desktop
    wait_journal yes
    sleep 1.5
    expect_state "kill-$round" "$work/locked.txt"
done

# "/unlock", as the uninstaller runs it, with no desktop running: as before the first start.
kill_desktop
(cd "$drive_c/korvane" && timeout 60 wine korvane.exe /unlock </dev/null >/dev/null 2>&1) ||
    fail "/unlock failed"
! xdotool search --onlyvisible --name '^SHELL$' >/dev/null 2>&1 || fail "/unlock showed a desktop"
[ ! -f "$journal" ] || fail "/unlock left the journal"
expect_state unlock "$work/before.txt"

# Locked again, killed, then no longer the log-on shell: the next start puts everything back.
start_desktop
wait_journal yes
sleep 1
kill_desktop
wine reg add "$winlogon" /v Shell /t REG_SZ /d explorer.exe /f /reg:64 >/dev/null 2>&1
start_desktop
wait_journal no
sleep 1
expect_state unintegrated "$work/before.txt"
kill_desktop
echo "e2e lockdown: keys in both modes, $rounds kills, /unlock and un-integration; files in $work"
