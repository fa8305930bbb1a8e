#!/usr/bin/env bash
# Runs every benchmark: the catalogue load/save benchmarks natively (Google Benchmark) and the
# desktop's timing harnesses under Wine on a private Xvfb screen of 1024 x 768.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

"$root/scripts/build.sh" bench --target catalogue_bench
"$root/build/bench/bench/catalogue_bench"

"$root/scripts/build.sh" win
export WINEPREFIX="${KORVANE_BENCH_PREFIX:-$root/build/bench-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
display=:$((190 + RANDOM % 50))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
wineserver -p >/dev/null 2>&1 </dev/null || true
wine "$root/build/win/bench/win/draw_icons_bench.exe" 2>/dev/null | tr -d '\r'
wine "$root/build/win/bench/win/start_to_paint_bench.exe" \
    "$(winepath -w "$root/build/win/korvane.exe")" 5 2>/dev/null | tr -d '\r'
