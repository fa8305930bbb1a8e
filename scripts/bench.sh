#!/usr/bin/env bash
# Runs every benchmark: the catalogue load/save benchmarks natively (Google Benchmark) and the
# desktop's timing harnesses under Wine on a private Xvfb screen of 1024 x 768: one full paint
# of a 65-icon tab, start to first complete paint against notepad.exe, and the processor time
# of the idle desktop over KORVANE_BENCH_IDLE_SECONDS (60). KORVANE_BENCH_BASELINE names an older
# korvane.exe to time in the same runs, so that before and after compare on one loaded machine.
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
wine "$root/build/win/bench/win/icon_paint_profile.exe" 2>/dev/null | tr -d '\r'
desktop=$(winepath -w "$root/build/win/korvane.exe")
baseline=()
if [ -n "${KORVANE_BENCH_BASELINE:-}" ]; then
    baseline=("$(winepath -w "$KORVANE_BENCH_BASELINE")")
fi
echo "load: $(uptime)"
wine "$root/build/win/bench/win/start_to_paint_bench.exe" "$desktop" 5 "${baseline[@]}" \
    2>/dev/null | tr -d '\r'
wine "$root/build/win/bench/win/idle_cpu_bench.exe" "$desktop" \
    "${KORVANE_BENCH_IDLE_SECONDS:-60}" "${baseline[@]}" 2>/dev/null | tr -d '\r'
echo "load: $(uptime)"
