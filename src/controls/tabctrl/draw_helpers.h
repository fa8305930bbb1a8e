#pragma once
// Small drawing operations the styles share: solid fills, 1-pixel lines, outlines, vertical
// gradients and glyphs of an image list recoloured to one colour.

#include <windows.h>
#include <commctrl.h>

namespace tabdraw {

void Fill(HDC dc, const RECT& rect, COLORREF colour);
// A line from (x1, y1) to (x2, y2), the end point excluded.
void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour);
// A closed outline along the rectangle's outermost pixels.
void Outline(HDC dc, const RECT& rect, COLORREF colour);
void GradientV(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);
// Draws image `index` of `list` at the rectangle's top-left corner with every opaque pixel in
// `colour`; falls back to the image as it is when the mask cannot be had.
void Glyph(HDC dc, HIMAGELIST list, int index, const RECT& rect, COLORREF colour);
// Per channel (a x percent + b x (100 - percent)) / 100.
COLORREF Blend(COLORREF a, COLORREF b, int percent);

} // namespace tabdraw
