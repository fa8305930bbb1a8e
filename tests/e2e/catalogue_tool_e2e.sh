#!/usr/bin/env bash
# The cross-built korvane-catalogue.exe under Wine: the demo catalogue builds, dumps and builds
# again to the same bytes, a text beyond ASCII lands in the file as Windows-1252, and a faulty
# catalogue is refused with its place and writes nothing.
#   catalogue_tool_e2e.sh KORVANE-CATALOGUE.EXE WINE-RUN.SH DEMO-FOLDER WORK-FOLDER
set -euo pipefail
tool=$1 wine_run=$2 demo=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
win() { echo "Z:${1//\//\\}"; } # a Linux path as Wine sees it
run() { "$wine_run" "$tool" "$@" | tr -d '\r'; }

run build "$(win "$demo/catalogue.json")" -o "$(win "$work/demo.bin")" >"$work/build.txt" ||
    fail "demo build: $(cat "$work/build.txt")"
run dump "$(win "$work/demo.bin")" -o "$(win "$work/demo.json")" || fail "dump"
run build "$(win "$work/demo.json")" -o "$(win "$work/again.bin")" >/dev/null || fail "rebuild"
cmp -s "$work/demo.bin" "$work/again.bin" || fail "dump and build changed the bytes"
run check "$(win "$work/demo.bin")" | grep -q "the desktop shows it as it is" || fail "check"

printf '{"tabs": ["B\xc3\xbcro"], "programs": []}' >"$work/umlaut.json"
run build "$(win "$work/umlaut.json")" -o "$(win "$work/umlaut.bin")" >/dev/null || fail "umlaut"
# header, tab count 1, length 5, "B\xFCro\0"
[ "$(od -An -tx1 -j12 -N5 "$work/umlaut.bin" | tr -d ' \n')" = "42fc726f00" ] ||
    fail "the tab name is not Windows-1252: $(od -An -tx1 "$work/umlaut.bin")"

printf '{"tabs": ["A"],\n "programs": [{"caption": "N", "program": "p", "window": "huge"}]}' \
    >"$work/bad.json"
set +e
out=$(run build "$(win "$work/bad.json")" -o "$(win "$work/bad.bin")")
status=$?
set -e
[ "$status" = 1 ] || fail "a faulty catalogue gave exit status $status"
grep -q 'bad.json:2:58: "window" of program "N" must be' <<<"$out" || fail "message: $out"
[ ! -e "$work/bad.bin" ] && [ ! -e "$work/bad.bin.tmp" ] || fail "a refused build wrote a file"
echo "korvane-catalogue.exe: all checks passed"
