#!/usr/bin/env bash
# Installs what is missing, builds korvane.exe and starts the desktop under Wine.
#   scripts/run.sh [--size WxH]
# With DISPLAY set, the desktop runs inside a Wine virtual desktop window of that size (1024x768
# by default) on your display, so it does not cover your real screen. Without DISPLAY it runs
# on a private Xvfb screen, writes a screenshot, prints its path and stops.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=1024x768
while [ $# -gt 0 ]; do
    case "$1" in
    --size) size=$2; shift 2 ;;
    *) echo "usage: scripts/run.sh [--size WxH]" >&2; exit 2 ;;
    esac
done

"$root/scripts/deps.sh"
"$root/scripts/build.sh" win --target korvane

export WINEPREFIX="${KORVANE_RUN_PREFIX:-$root/build/run/prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once)..."
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
exe="$root/build/win/korvane.exe"

if [ -n "${DISPLAY:-}" ]; then
    echo "Starting Korvane Shell in a ${size} Wine desktop on $DISPLAY (close that window to stop)."
    exec wine explorer "/desktop=korvane,$size" "$exe"
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 0.5
wine "$exe" >/dev/null 2>&1 &
for _ in $(seq 1 150); do
    xdotool search --onlyvisible --name '^SHELL$' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 2
mkdir -p "$root/shots"
shot="$root/shots/run-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "Korvane Shell ran on Xvfb ($size); screenshot: $shot"
