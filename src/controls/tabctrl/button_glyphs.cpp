#include "controls/tabctrl/button_glyphs.h"

#include <cstdlib>

namespace buttonglyphs {

namespace {

// A triangle pointing down, 7 wide and 4 high, with its top row at `top`.
bool DownTriangle(int cx, int top, int x, int y) {
    const int row = y - top;
    return row >= 0 && row < 4 && std::abs(x - cx) <= 3 - row;
}

// A triangle pointing left (or right), 4 wide and 7 high; `outline` keeps only its edges.
bool SideTriangle(bool pointsLeft, int cx, int cy, int x, int y, bool outline) {
    const int column = pointsLeft ? x - (cx - 2) : (cx + 1) - x; // 0 at the tip
    if (column < 0 || column > 3)
        return false;
    const int dy = std::abs(y - cy);
    if (dy > column)
        return false;
    return !outline || dy == column || column == 3;
}

} // namespace

bool GlyphPixel(int glyph, int size, int x, int y) {
    if (x < 0 || y < 0 || x >= size || y >= size)
        return false;
    const int c = size / 2;
    switch (glyph) {
    case kClose: {
        const int dx = x - c;
        const int dy = y - c;
        if (std::abs(dx) > 3 || std::abs(dy) > 3)
            return false;
        // Two pixels thick, so that the cross reads at small sizes.
        return dx == dy || dx == -dy || dx - 1 == dy || dx - 1 == -dy;
    }
    case kMenu:
        return DownTriangle(c, c - 1, x, y);
    case kMenuPartial:
        return DownTriangle(c, c, x, y) || (y == c - 3 && std::abs(x - c) <= 3);
    case kScrollLeft:
    case kScrollLeftDisabled:
        return SideTriangle(true, c, c, x, y, glyph == kScrollLeftDisabled);
    case kScrollRight:
    case kScrollRightDisabled:
        return SideTriangle(false, c, c, x, y, glyph == kScrollRightDisabled);
    default:
        return false;
    }
}

} // namespace buttonglyphs
