#!/usr/bin/env bash
# Setup, a locked desktop and the silent uninstaller: the registry afterwards is the registry
# before the installation. The desktop is killed while it holds the lockdown, so the
# uninstaller's "korvane.exe /unlock" has to put the journal back.
set -euo pipefail
setup=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display"

fresh_prefix "$work"
trap end_test EXIT
drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Korvane"
journal="$drive_c/ProgramData/Quillmoran/Shell/lockdown.journal"
mkdir -p "$drive_c/deploy"
cp "$setup" "$drive_c/deploy/setup.exe"

# export_registry NAME: the machine's and the account's software keys as text, in a stable form.
export_registry() {
    local key
    for key in HKLM\\Software HKCU\\Software; do
        wine reg export "$key" "C:\\$1.reg" /reg:64 /y </dev/null >/dev/null 2>&1 ||
            fail "reg export $key"
        iconv -f UTF-16LE -t UTF-8 "$drive_c/$1.reg" | tr -d '\r\357\273\277'
    done >"$work/$1.txt"
}
# What may differ by design, and Wine's own bookkeeping: the settings and their subkeys (the
# customer sessions' key) stay (README, "Uninstall"), and Wine keeps per-run keys of its own
# under Software\Wine.
normalise() {
    python3 - "$1" <<'EOF'
import re, sys
keep, section = [], None
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    line = line.rstrip("\n")
    if line.startswith("["):
        section = line
    if section and re.match(r"\[HKEY_LOCAL_MACHINE\\Software\\Korvane[\\\]]", section, re.I):
        continue
    if section and re.search(r"\\Software\\Wine[\\\]]", section, re.I):
        continue
    keep.append(line)
print("\n".join(keep))
EOF
}

export_registry before
(cd "$drive_c/deploy" && wine setup.exe /S /INTEGRATE '/D=C:\Korvane' </dev/null >/dev/null 2>&1) ||
    fail "setup refused"
[ -f "$installed/korvane.exe" ] || fail "nothing installed"
(cd "$installed" && wine korvane.exe </dev/null >/dev/null 2>&1 &)
wait_window SHELL 90 >/dev/null || fail "no visible SHELL window"
for _ in $(seq 1 150); do [ -f "$journal" ] && break; sleep 0.1; done
[ -f "$journal" ] || fail "the integrated desktop did not lock"
sleep 1
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' /v NoWinKeys \
    </dev/null 2>/dev/null | tr -d '\r' | grep -q 'REG_DWORD *0x1' || fail "NoWinKeys not written"

# A power cut, as far as the registry can tell: the desktop ends without lifting anything.
for p in $(pgrep -f 'korvane\.exe' || true); do
    { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && kill -9 "$p" || true
done
for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name '^SHELL$' >/dev/null 2>&1 || break
    sleep 0.1
done

wine 'C:\Korvane\uninstall.exe' /S </dev/null >/dev/null 2>&1 || true
for _ in $(seq 1 150); do
    [ -e "$installed" ] || break
    sleep 0.2
done
[ ! -e "$installed" ] || fail "the uninstaller left $(ls "$installed")"
[ ! -f "$journal" ] || fail "the journal stayed after uninstalling"
timeout 60 wineserver -w || true
export_registry after
normalise "$work/before.txt" >"$work/before.norm"
normalise "$work/after.txt" >"$work/after.norm"
diff -u "$work/before.norm" "$work/after.norm" >&2 || fail "the registry differs after uninstalling"
echo "e2e lockdown install: registry after uninstall equals before install; files in $work"
