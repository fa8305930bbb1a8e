#!/usr/bin/env bash
# korvane-setup.exe in a fresh Wine prefix: what it refuses (and that it then leaves nothing),
# a silent roll-out that takes over a catalogue and settings and integrates, a second run, the
# installed desktop with its help window, a run over that desktop, and the silent uninstaller.
set -euo pipefail
setup=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT
drive_c="$WINEPREFIX/drive_c"
deploy="$drive_c/deploy"
installed="$drive_c/Program Files/Korvane"
data="$drive_c/ProgramData/Quillmoran/Shell"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Korvane Shell.lnk"
winlogon='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane'
log="$drive_c/users/$(id -un)/Temp/korvane-setup.log" # %TEMP% of a Wine user
mkdir -p "$deploy" "$work/stage"
cp "$setup" "$deploy/setup.exe"

# value KEY NAME: the data of one registry value (64-bit view), empty when it is missing.
value() {
    wine reg query "$1" /v "$2" /reg:64 </dev/null 2>/dev/null | tr -d '\r' |
        awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
# run_setup ARGS...: the exit code of setup.exe beside its deploy files.
run_setup() {
    local rc=0
    (cd "$deploy" && wine setup.exe "$@" </dev/null >/dev/null 2>&1) || rc=$?
    echo "$rc"
}
# nothing_installed: no file in the install folder (an obstacle folder may stand there), no
# shortcut, no Programs and Features entry.
nothing_installed() {
    [ -z "$(find "$installed" -type f 2>/dev/null)" ] && [ ! -e "$shortcut" ] &&
        ! wine reg query "$uninstall_key" /reg:64 </dev/null >/dev/null 2>&1
}
settings() { wine reg query 'HKLM\Software\Korvane' /s /reg:64 </dev/null 2>/dev/null | tr -d '\r'; }
utf16_reg() { printf '%s\r\n' "$@" | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; }; }

python3 "$here/make_catalogue.py" "$work/stage" "$drive_c/pictures" 'C:\pictures\shot.bmp' >/dev/null
catalogue="$work/stage/icons.bin"
# The operator's catalogue already on the machine: one empty tab "Old".
mkdir -p "$data"
printf '\x00\x00\x01\x00\x01\x00\x00\x00\x04\x00\x00\x00Old\x00' >"$data/icons.bin"
cp "$data/icons.bin" "$work/old-icons.bin"
utf16_reg 'Windows Registry Editor Version 5.00' '' '[HKEY_LOCAL_MACHINE\Software\Korvane]' \
    '"isRestart"=dword:00000000' '"password"="Pns3Cnff"' '"fontcolor"=dword:0000ffff' >"$work/good.reg"

# Refusals: each exits with 2, names its reason in the log and installs nothing. The later
# ones stop after files and settings were written, at an obstacle (a folder where setup must
# write a file), and must undo all of it: settings, catalogue and Shell as they were.
wine reg add 'HKLM\Software\Korvane' /v fontcolor /t REG_DWORD /d 255 /f /reg:64 >/dev/null 2>&1
settings >"$work/settings.before"
shell_before=$(value "$winlogon" Shell)
head -c 9000 "$catalogue" >"$work/cut.bin"
{ printf '\x03\x00\x00\x00'; tail -c +5 "$catalogue"; } >"$work/old-format.bin"
{ cat "$catalogue"; printf 'junk'; } >"$work/trailing.bin"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"x"="evil.exe"\r\n' \
    >"$work/elsewhere.reg"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Korvane2]\r\n"isRestart"=dword:0\r\n' >"$work/sibling.reg"
printf 'hello\r\n' >"$work/text.reg"
cp "$catalogue" "$work/good.bin"
while IFS='|' read -r bin reg args obstacle reason; do
    rm -f "$deploy/icons.bin" "$deploy/korvane.reg" "$log"
    [ -z "$bin" ] || cp "$work/$bin" "$deploy/icons.bin"
    [ -z "$reg" ] || cp "$work/$reg" "$deploy/korvane.reg"
    [ -z "$obstacle" ] || mkdir -p "$drive_c/$obstacle/inside"
    case="'$bin$reg$args$obstacle'"
    # shellcheck disable=SC2086
    rc=$(run_setup /S $args)
    [ "$rc" = 2 ] || fail "setup with $case exited with $rc"
    grep -q "$reason" "$log" || fail "setup with $case logged: $(cat "$log")"
    nothing_installed || fail "setup with $case installed something: $(find "$installed" -type f)"
    cmp -s "$data/icons.bin" "$work/old-icons.bin" || fail "setup with $case touched icons.bin"
    settings | cmp -s - "$work/settings.before" || fail "setup with $case changed the settings"
    [ "$(value "$winlogon" Shell)" = "$shell_before" ] || fail "setup with $case set Shell"
    [ -z "$obstacle" ] || rm -r "${drive_c:?}/$obstacle"
done <<'EOF'
cut.bin||||ends inside its 4 programs
old-format.bin||||old catalogue format
trailing.bin||||4 bytes follow its last tab name
|elsewhere.reg|||writes outside HKEY_LOCAL_MACHINE\\Software\\Korvane
|sibling.reg|||writes outside
|text.reg|||is not a registry export
||/INTEGRATE|Program Files/Korvane/korvane.exe|korvane.exe could not be replaced
||/INTEGRATE|Program Files/Korvane/korvane.chm.new|korvane.chm.new could not be written
good.bin|good.reg|/INTEGRATE|ProgramData/Quillmoran/Shell/icons.bin.bak|could not be kept as
EOF
# Wine runs everything as administrator; a data folder that cannot be written stands in for
# an account without rights (a file in its place).
rm -f "$deploy/icons.bin" "$deploy/korvane.reg"
mv "$data" "$data.keep"
: >"$data"
rc=$(run_setup /S)
rm "$data"
mv "$data.keep" "$data"
[ "$rc" = 2 ] && grep -q 'Shell cannot be written' "$log" && nothing_installed ||
    fail "setup with an unwritable data folder: $rc, $(cat "$log")"

# The roll-out: silent, with the configured machine's catalogue and settings, integrated.
cp "$catalogue" "$deploy/icons.bin"
cp "$work/good.reg" "$deploy/korvane.reg"
[ "$(run_setup /S /INTEGRATE)" = 0 ] || fail "setup /S /INTEGRATE: $(cat "$log")"
for f in korvane.exe korvane.chm uninstall.exe; do
    [ -s "$installed/$f" ] || fail "$f not installed"
done
[ -s "$shortcut" ] || fail "no Start-menu shortcut"
cmp -s "$data/icons.bin" "$catalogue" || fail "the catalogue beside setup was not taken over"
cmp -s "$data/icons.bin.bak" "$work/old-icons.bin" || fail "the previous catalogue was not kept"
[ "$(value 'HKLM\Software\Korvane' isRestart)" = 0x0 ] || fail "isRestart not imported"
[ "$(value 'HKLM\Software\Korvane' password)" = Pns3Cnff ] || fail "password not imported"
quoted_exe='"C:\Program Files\Korvane\korvane.exe"'
[ "$(value "$winlogon" Shell)" = "$quoted_exe" ] || fail "Shell is '$(value "$winlogon" Shell)'"
[ "$(value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Policies\System' EnableLUA)" = 0x0 ] ||
    fail "EnableLUA not 0"
while IFS='|' read -r name expected; do
    [ "$(value "$uninstall_key" "$name")" = "$expected" ] ||
        fail "Add/Remove Programs $name is '$(value "$uninstall_key" "$name")'"
done <<'EOF'
DisplayName|Korvane Shell
DisplayVersion|1.23
Publisher|Quillmoran
UninstallString|"C:\Program Files\Korvane\uninstall.exe"
QuietUninstallString|"C:\Program Files\Korvane\uninstall.exe" /S
EOF

# Updates that fail keep the installed program whole, and Shell naming it: one stopped by a
# full disk (no file may grow past half of korvane.exe: with the signal ignored, the write
# fails as on a full disk) and one stopped after the program files were replaced (the
# catalogue cannot be taken over).
printf 'previous build' >>"$installed/korvane.exe"
cp "$installed/korvane.exe" "$work/previous.exe"
limit=$(($(stat -c %s "$work/previous.exe") / 2048))
wine reg add 'HKLM\Software\Korvane' /v fontcolor /t REG_DWORD /d 255 /f /reg:64 >/dev/null 2>&1
settings >"$work/settings.installed"
rc=$(
    trap '' XFSZ
    ulimit -f $limit
    run_setup /S /INTEGRATE
)
cmp -s "$installed/korvane.exe" "$work/previous.exe" || fail "a full disk cut korvane.exe short"
[ "$rc" = 2 ] && grep -q "could not be written" "$log" ||
    fail "setup on a full disk: $rc, $(cat "$log")"
cp "$work/old-icons.bin" "$deploy/icons.bin"
mv "$data/icons.bin.bak" "$work/kept.bak"
mkdir -p "$data/icons.bin.bak/inside"
rc=$(run_setup /S /INTEGRATE)
rm -r "$data/icons.bin.bak"
mv "$work/kept.bak" "$data/icons.bin.bak"
cp "$catalogue" "$deploy/icons.bin"
[ "$rc" = 2 ] && grep -q "could not be kept as" "$log" ||
    fail "setup that cannot take the catalogue over: $rc, $(cat "$log")"
cmp -s "$installed/korvane.exe" "$work/previous.exe" || fail "a failed update changed korvane.exe"
[ -z "$(find "$installed" -name '*.new' -o -name '*.old')" ] || fail "left: $(ls "$installed")"
[ "$(value "$winlogon" Shell)" = "$quoted_exe" ] || fail "a failed update changed Shell"
[ "$(value "$uninstall_key" DisplayName)" = "Korvane Shell" ] || fail "a failed update unregistered"
[ -s "$shortcut" ] || fail "a failed update removed the shortcut"
cmp -s "$data/icons.bin" "$catalogue" || fail "a failed update changed the catalogue"
settings | cmp -s - "$work/settings.installed" || fail "a failed update changed the settings"

# Run twice with the same files: still fine, and the kept catalogue is not overwritten.
[ "$(run_setup /S)" = 0 ] || fail "second setup: $(cat "$log")"
cmp -s "$data/icons.bin.bak" "$work/old-icons.bin" || fail "the second run lost the kept catalogue"
! cmp -s "$installed/korvane.exe" "$work/previous.exe" || fail "the second run kept the previous korvane.exe"

# The installed desktop shows the taken-over catalogue; setup refuses to run over it.
(cd "$installed" && wine korvane.exe >/dev/null 2>&1) &
wait_window SHELL 60 >/dev/null || fail "the installed desktop shows no window"
sleep 2
read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
d=$((h / 2)) e=$((w / 2))
import -window root "$work/installed-desktop.png"
[ "$(pixel "$work/installed-desktop.png" $((e + e / 2)) $((d + d / 2)))" = "0,0,96" ] ||
    fail "no desktop background in the installed desktop"
before=$(stat -c %Y "$installed/korvane.exe")
[ "$(run_setup /S)" = 2 ] || fail "setup ran over the running desktop"
grep -q "is running" "$log" || fail "setup over the desktop logged: $(cat "$log")"
[ "$(stat -c %Y "$installed/korvane.exe")" = "$before" ] || fail "korvane.exe replaced under the desktop"

# The imported password logs in at once (no "Password saved"); the tools menu's "Help" (its
# seventh item) opens the installed help. Wine shows the window but not the page.
xdotool mousemove $((e - 56)) $((d - 19)) click 1
answer "Enter password" "Caf3Pass"
sleep 0.5
xdotool mousemove $((e - 93)) $((d - 19)) click 1
sleep 0.6
xdotool key Down Down Down Down Down Down Down Return
help=$(wait_window "Korvane Shell Help" 30) || fail "Help opened no 'Korvane Shell Help' window"
sleep 1
import -window root "$work/help-window.png"
xdotool windowclose "$help" 2>/dev/null || true
# Exit program: the red button's exit menu, second item.
xdotool mousemove $((e - 19)) $((d - 19)) click 1
sleep 0.6
xdotool key Down Down Return
for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name '^SHELL$' >/dev/null 2>&1 || break
    sleep 0.2
done
! xdotool search --onlyvisible --name '^SHELL$' >/dev/null 2>&1 || fail "'Exit program' left the desktop"
wait || true

# The silent uninstaller (it runs from a copy of itself, so the result is awaited).
wine "C:\\Program Files\\Korvane\\uninstall.exe" /S >/dev/null 2>&1
for _ in $(seq 1 100); do
    [ -e "$installed" ] || break
    sleep 0.2
done
[ ! -e "$installed" ] || fail "left in Program Files: $(ls "$installed")"
[ ! -e "$shortcut" ] || fail "the shortcut stayed"
! wine reg query "$uninstall_key" /reg:64 >/dev/null 2>&1 || fail "still in Add/Remove Programs"
[ "$(value "$winlogon" Shell)" = explorer.exe ] || fail "Shell left as '$(value "$winlogon" Shell)'"
cmp -s "$data/icons.bin" "$catalogue" || fail "uninstalling lost icons.bin"
[ "$(value 'HKLM\Software\Korvane' fontcolor)" = 0xffff ] || fail "uninstalling lost the settings"
echo "e2e installer: refusals, roll-out, second run, desktop and help, uninstall; screenshots in $work"
