#!/usr/bin/env bash
# Runs every benchmark: the catalogue load/save benchmarks natively (Google Benchmark) and the
# desktop's timing harnesses under Wine on a private Xvfb screen of 1024 x 768: one full paint
# of a 65-icon tab; start to first complete paint against notepad.exe (KORVANE_BENCH_STARTS
# starts each, 15), on a quiet and on a loaded machine, with default settings and with the kiosk
# features on, with the memory the desktop and its watcher hold; and the processor time of the
# idle desktop over KORVANE_BENCH_IDLE_SECONDS (60). KORVANE_BENCH_BASELINE names an older
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
# Wine's services start with the first program and keep the descriptors it had: started here,
# they hold no pipe of ours open, and each harness's output below ends when the harness does.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
harness() { # harness NAME ARGS...: runs a harness of build/win/bench/win, prints its output
    local out="$root/build/bench-output.txt"
    wine "$root/build/win/bench/win/$1.exe" "${@:2}" >"$out" 2>/dev/null </dev/null || true
    tr -d '\r' <"$out"
}
harness draw_icons_bench
harness icon_paint_profile
desktop=$(winepath -w "$root/build/win/korvane.exe")
baseline=()
if [ -n "${KORVANE_BENCH_BASELINE:-}" ]; then
    baseline=("$(winepath -w "$KORVANE_BENCH_BASELINE")")
fi
# Start-up, quiet and under load: a processor hog on every core but one (nice 0, as an
# antivirus or an updater at log-on) and a writer streaming to a scratch file.
load_pids=()
start_load() {
    local cores i
    cores=$(nproc)
    for ((i = 1; i < cores; i++)); do
        nice -n 0 sh -c 'while :; do :; done' &
        load_pids+=($!)
    done
    (while :; do
        dd if=/dev/zero of="$root/build/bench-scratch" bs=1M count=256 conv=fdatasync 2>/dev/null
    done) &
    load_pids+=($!)
    sleep 2
}
stop_load() {
    [ ${#load_pids[@]} -gt 0 ] || return 0
    pkill -P "$(
        IFS=,
        echo "${load_pids[*]}"
    )" 2>/dev/null || true
    kill "${load_pids[@]}" 2>/dev/null || true
    wait "${load_pids[@]}" 2>/dev/null || true
    load_pids=()
    rm -f "$root/build/bench-scratch"
}
starts() { # starts CONDITION
    echo "== start-up, $1; load: $(uptime)"
    harness start_to_paint_bench "$desktop" "${KORVANE_BENCH_STARTS:-15}" "${baseline[@]}"
    echo "   load after: $(uptime)"
}
trap 'stop_load; wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
# A quiet series waits until the 1-minute load is back near what it was before the first one
# (at most KORVANE_BENCH_SETTLE_SECONDS, 120): the 1-minute average falls slowly after the
# loaded series, and a "quiet" series run in its tail timed a busier machine than the first.
load1() { cut -d' ' -f1 /proc/loadavg; }
quiet_load=$(load1)
settle() {
    local deadline=$((SECONDS + ${KORVANE_BENCH_SETTLE_SECONDS:-120}))
    while [ $SECONDS -lt $deadline ] &&
        awk -v now="$(load1)" -v quiet="$quiet_load" 'BEGIN { exit !(now > quiet + 0.25) }'; do
        sleep 5
    done
}
quiet_and_loaded() { # quiet_and_loaded WHAT
    settle
    starts "$1, quiet"
    start_load
    starts "$1, loaded"
    stop_load
}
quiet_and_loaded "default settings"

# The kiosk features on: the desktop is the log-on shell with its lockdown applied, customer
# sessions are on with no folder to clean, and the room's catalogue source is a share that is
# not there. Everything goes back afterwards.
reg() { wine reg "$@" /reg:64 >/dev/null 2>&1 || true; }
winlogon='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon'
shell_before=$(wine reg query "$winlogon" /v Shell /reg:64 2>/dev/null | tr -d '\r' |
    awk '$1 == "Shell" { $1 = ""; $2 = ""; sub(/^ +/, ""); print }')
reg add "$winlogon" /v Shell /t REG_SZ /d "$desktop" /f
reg add 'HKLM\Software\Korvane\Session' /v enabled /t REG_DWORD /d 1 /f
reg add 'HKLM\Software\Korvane\Session' /v folders /t REG_MULTI_SZ /d '' /f
reg add 'HKLM\Software\Korvane' /v cataloguesource /t REG_SZ /d '\\nosuchserver\room\icons.bin' /f
quiet_and_loaded "kiosk features on"
wine "$desktop" /unlock >/dev/null 2>&1 || true
reg add "$winlogon" /v Shell /t REG_SZ /d "${shell_before:-explorer.exe}" /f
reg delete 'HKLM\Software\Korvane\Session' /f
reg delete 'HKLM\Software\Korvane' /v cataloguesource /f

echo "load: $(uptime)"
harness idle_cpu_bench "$desktop" "${KORVANE_BENCH_IDLE_SECONDS:-60}" "${baseline[@]}"
echo "load: $(uptime)"
