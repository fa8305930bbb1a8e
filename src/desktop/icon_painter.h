#pragma once
// Paints the desktop's divider lines and the icons with their captions of one tab.

#include "desktop/grid_layout.h"

#include <windows.h>

#include <functional>

class IconCache;
class Icons;

struct IconPaintStyle {
    HFONT captionFont = nullptr;
    COLORREF desktop = 0;     // cvetfona
    COLORREF captionBand = 0; // cveticon: each caption line sits on a band of it
    COLORREF captionText = 0; // fontcolor
};

// An icon file that yields no icon shows the system's application icon. Entries from
// `placedLimit` on (when not -1), on other tabs, or outside the grid are not drawn; tab -1 draws
// no icons. With a cache the icons come from it (one pass of it per call); without one each is
// extracted from its file and destroyed after drawing. Both paint the same pixels. An entry
// for which `isRunning` (catalogue index) holds carries a 6 x 6 dot in the caption text colour
// in its cell's top-right corner.
void DrawDesktopIcons(HDC dc, const DesktopLayout& layout, const Icons& catalogue, int currentTab,
                      int placedLimit, const IconPaintStyle& style, IconCache* cache = nullptr,
                      const std::function<bool(int)>& isRunning = {});

// Where the running marker of cell (column, row) goes.
GridRect RunningMarkerRect(const DesktopLayout& layout, int column, int row);
