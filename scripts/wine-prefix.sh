#!/usr/bin/env bash
# wine-prefix.sh [WINE]: settles the Wine prefix $WINEPREFIX the way every prefix of the scripts
# and tests is: the settings of wine-prefix.reg, imported with WINE (default: wine), and Wine's
# own fonts in its Fonts folder. This Wine does not look for the fonts of the package fonts-wine
# by itself; without them "MS Sans Serif", which the dialog templates ask for, falls back to a
# much wider font and caption buttons show letters instead of their glyphs.
set -euo pipefail
wine_cmd=${1:-wine}
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ]; then
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/" 2>/dev/null || true
fi
settings="$(cd "$(dirname "$0")" && pwd)/wine-prefix.reg"
"$wine_cmd" regedit /S "Z:${settings//\//\\}" >/dev/null 2>&1 </dev/null
