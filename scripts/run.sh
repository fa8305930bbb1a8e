#!/usr/bin/env bash
# Installs what is missing, builds korvane.exe and starts the desktop under Wine.
#   scripts/run.sh [--size WxH] [--empty]
# With DISPLAY set, the desktop runs inside a Wine virtual desktop window of that size (1024x768
# by default) on your display, so it does not cover your real screen. Without DISPLAY it runs
# on a private Xvfb screen, rests the pointer on the first icon, writes a screenshot, prints its
# path and stops.
# A prefix without a catalogue gets the demo one, built from demo/catalogue.json by the
# korvane-catalogue.exe just built; --empty starts without it (and removes the demo catalogue
# if it is still as installed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=1024x768
empty=0
while [ $# -gt 0 ]; do
    case "$1" in
    --size) size=$2; shift 2 ;;
    --empty) empty=1; shift ;;
    *) echo "usage: scripts/run.sh [--size WxH] [--empty]" >&2; exit 2 ;;
    esac
done

"$root/scripts/deps.sh"
"$root/scripts/build.sh" win --target korvane korvane-catalogue

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
# Unmanaged windows (there is no window manager on Xvfb) and Wine's own dialog fonts.
"$root/scripts/wine-prefix.sh"
exe="$root/build/win/korvane.exe"

# The demo catalogue, with its screenshots drawn now. A copy of what was installed tells
# --empty whether the prefix still holds it unchanged.
data="$WINEPREFIX/drive_c/ProgramData/Quillmoran/Shell"
installed_demo="$(dirname "$WINEPREFIX")/demo-icons.bin"
if [ "$empty" = 1 ]; then
    if [ -f "$data/icons.bin" ] && cmp -s "$data/icons.bin" "$installed_demo"; then
        rm -f "$data/icons.bin"
        echo "Removed the demo catalogue; starting with an empty desktop."
    elif [ -f "$data/icons.bin" ]; then
        echo "The prefix holds a catalogue of your own ($data/icons.bin); it is kept."
    fi
elif [ ! -e "$data/icons.bin" ]; then
    echo "Installing the demo catalogue (demo/catalogue.json)..."
    mkdir -p "$data"
    "$root/demo/make_screenshots.sh" "$data/Demo"
    wine "$root/build/win/korvane-catalogue.exe" build "Z:${root//\//\\}\\demo\\catalogue.json" \
        -o 'C:\ProgramData\Quillmoran\Shell\icons.bin' | tr -d '\r'
    cp "$data/icons.bin" "$installed_demo"
fi

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
# In restricted user mode a pointer resting on an icon shows its description and screenshot.
height=${size#*x}
xdotool mousemove 37 $((height / 2 + 30))
sleep 1.5
mkdir -p "$root/shots"
shot="$root/shots/run-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "Korvane Shell ran on Xvfb ($size); screenshot: $shot"
