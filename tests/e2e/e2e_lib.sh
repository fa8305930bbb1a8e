# Shared helpers of the end-to-end scripts: a fresh Wine prefix, starting korvane.exe,
# screenshots and registry reads. Sourced, not run.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# fresh_prefix DIR: an empty, booted Wine prefix of our own in DIR/prefix.
fresh_prefix() {
    mkdir -p "$1"
    export WINEPREFIX="$(cd "$1" && pwd)/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEARCH=win64
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$1"
    wineboot -i >/dev/null 2>&1 || fail "wineboot"
    "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-prefix.sh" || fail "prefix settings"
    wineserver -w
    wineserver -p >/dev/null 2>&1 </dev/null
}

stop_wine() { wineserver -k 2>/dev/null || true; }

# end_test: the EXIT trap of every script. Stops Wine; a passed script's prefix (about 700 MB,
# mostly Wine's own DLLs) goes too, so that the scripts of one run do not fill the disk. A failed
# script keeps its prefix to look into.
end_test() {
    local status=$?
    stop_wine
    [ "$status" -ne 0 ] || [ -z "${WINEPREFIX:-}" ] || rm -rf "$WINEPREFIX"
    return "$status"
}

# read_settings: takes one snapshot of HKLM\Software\Korvane (64-bit view) for reg_value and
# reg_type; one query instead of one per value keeps the check quick and steady under load.
read_settings() {
    local attempt
    for attempt in 1 2 3; do
        if wine reg query 'HKLM\Software\Korvane' /reg:64 2>/dev/null | tr -d '\r' \
            >"$WINEPREFIX/settings.txt" && grep -q REG_ "$WINEPREFIX/settings.txt"; then
            return 0
        fi
        sleep 1
    done
    return 1
}

# reg_value NAME: the data column of the snapshot's value NAME, as reg.exe shows it.
reg_value() {
    awk -v n="$1" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print; found = 1 } END { exit !found }' \
        "$WINEPREFIX/settings.txt"
}

reg_type() { awk -v n="$1" '$1 == n { print $2 }' "$WINEPREFIX/settings.txt"; }

# pixel FILE X Y: "R,G,B" of one pixel of a screenshot.
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}

# wait_window TITLE SECONDS: the X id of the visible window named exactly TITLE.
wait_window() {
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# focus_dialog TITLE: the pointer over the dialog named TITLE (with no window manager keys go
# where the pointer is); sets X, Y, WIDTH and HEIGHT to its geometry.
focus_dialog() {
    local id
    id=$(wait_window "$1" 20) || fail "no '$1' window"
    eval "$(xdotool getwindowgeometry --shell "$id")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + 8))
    sleep 0.5 # the dialog takes the keyboard once it is up
}

# wait_closed TITLE: waits up to 5 s for the window named TITLE to go.
wait_closed() {
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "'$1' did not close"
}

# answer TITLE TEXT: types TEXT into the dialog named TITLE, presses Enter, waits for it to go.
answer() {
    focus_dialog "$1"
    [ -z "$2" ] || xdotool type --delay 30 "$2"
    xdotool key Return
    wait_closed "$1"
}
