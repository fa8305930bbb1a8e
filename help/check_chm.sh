#!/usr/bin/env bash
# The compiled help holds every file its project names, and its contents and index each lead
# to every page. chmcmd leaves out a missing file with only a note, so this is the check.
set -euo pipefail
chm=$(realpath "$1") project=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -s "$chm" ] || fail "$chm missing or empty"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

listing=$(chmls list "$chm" | awk '{ print $NF }')
files=$(sed -n '/^\[FILES\]/,/^\[/p' "$project" | tr -d '\r' | grep -v '^\[' | grep -v '^$')
pages=$(grep '\.htm$' <<<"$files")
[ "$(wc -l <<<"$pages")" -ge 10 ] || fail "only $(wc -l <<<"$pages") pages in $project"
for f in $files korvane.hhc korvane.hhk; do
    grep -qx "/$f" <<<"$listing" || fail "$f is not in $chm"
done
for f in korvane.hhc korvane.hhk; do
    (cd "$work" && chmls extract "$chm" "/$f" "$work/$f" >/dev/null)
    [ -s "$work/$f" ] || fail "$f could not be extracted from $chm"
    for p in $pages; do
        grep -q "name=\"Local\" value=\"$p\"" "$work/$f" || fail "$f does not lead to $p"
    done
done
# The title is what the help window shows.
(cd "$work" && chmls extract "$chm" /#SYSTEM "$work/system" >/dev/null)
grep -aq "Korvane Shell Help" "$work/system" || fail "no title in $chm"
echo "help: $(wc -l <<<"$pages") pages, each in the contents and the index"
