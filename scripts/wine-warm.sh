#!/usr/bin/env bash
# ctest fixture: "start WINE_RUN KEEPALIVE_EXE" makes the Wine server persistent and starts a
# keep-alive program; "stop WINE_RUN" ends the server. Output goes nowhere so nothing holds
# ctest's pipe.
set -euo pipefail
action=$1 wine_run=$2
prefix_env=$(grep -o 'KORVANE_WINEPREFIX:-[^}]*' "$wine_run" | cut -d- -f2-)
export WINEPREFIX="${KORVANE_WINEPREFIX:-$prefix_env}"
case "$action" in
start)
    "$wine_run" cmd /c exit >/dev/null 2>&1 || true # makes the prefix if needed
    wineserver -w >/dev/null 2>&1 || true # a server started without -p ends first
    wineserver -p >/dev/null 2>&1 </dev/null || true
    # Boot the session's services now, with nothing of ctest's inherited, so that the tests'
    # processes find them running instead of starting (and leaving behind) their own.
    "$wine_run" cmd /c exit >/dev/null 2>&1 </dev/null || true
    # Without a window manager Wine waits two seconds for every managed window it hides;
    # unmanaged windows make dialog and frame tests instant. Also Wine's own dialog fonts.
    "$(dirname "$0")/wine-prefix.sh" "$wine_run" || true
    ready=$(mktemp -u /tmp/korvane-keepalive.XXXXXX)
    nohup "$wine_run" "$3" "Z:$ready" >/dev/null 2>&1 </dev/null &
    disown || true
    for _ in $(seq 1 300); do
        [ -e "$ready" ] && break
        sleep 0.1
    done
    rm -f "$ready"
    ;;
stop)
    wineserver -k || true
    ;;
esac
