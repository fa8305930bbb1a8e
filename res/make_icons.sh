#!/usr/bin/env bash
# Draws the program icon (resource 111) at 16, 24, 32 and 48 pixels into korvane.ico.
# The .ico is kept in the repository; run this only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for s in 16 24 32 48; do
    r=$((s / 6)); m=$((s / 8)); g=$((s / 16 > 0 ? s / 16 : 1))
    inner=$((s - 2 * m)); tile=$(((inner - 3 * g) / 2))
    x0=$((m + g)); x1=$((x0 + tile + g)); y0=$((m + g)); y1=$((y0 + tile + g))
    convert -size ${s}x${s} xc:none \
        -fill '#1c2f5e' -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $r,$r" \
        -fill '#f2f4f8' -draw "rectangle $x0,$y0 $((x0 + tile - 1)),$((y0 + tile - 1))" \
        -fill '#f2f4f8' -draw "rectangle $x1,$y0 $((x1 + tile - 1)),$((y0 + tile - 1))" \
        -fill '#f2f4f8' -draw "rectangle $x0,$y1 $((x0 + tile - 1)),$((y1 + tile - 1))" \
        -fill '#f39c12' -draw "rectangle $x1,$y1 $((x1 + tile - 1)),$((y1 + tile - 1))" \
        "$tmp/icon$s.png"
done
convert "$tmp/icon16.png" "$tmp/icon24.png" "$tmp/icon32.png" "$tmp/icon48.png" korvane.ico
