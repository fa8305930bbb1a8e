#pragma once
// The shapes of the strip's button glyphs (close, menu and scroll arrows), one square image
// per glyph, so that the buttons can be drawn without any resource.

namespace buttonglyphs {

enum Glyph {
    kClose = 0,
    kMenu = 1,
    kMenuPartial = 2,
    kScrollLeft = 3,
    kScrollLeftDisabled = 4,
    kScrollRight = 5,
    kScrollRightDisabled = 6,
    kCount = 7
};

// Whether pixel (x, y) of a size x size image belongs to the glyph.
bool GlyphPixel(int glyph, int size, int x, int y);

} // namespace buttonglyphs
