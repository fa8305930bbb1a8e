#include "controls/tabctrl/draw_helpers.h"

#include "framework/dc.h"
#include "framework/unique_handle.h"

#include <algorithm>

namespace tabdraw {

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    if (brush)
        ::FillRect(dc, &rect, brush.Get());
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    if (!pen)
        return;
    SelectObjectGuard select(dc, pen.Get());
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void Outline(HDC dc, const RECT& r, COLORREF colour) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    if (!pen)
        return;
    SelectObjectGuard select(dc, pen.Get());
    ::MoveToEx(dc, r.left, r.top, nullptr);
    ::LineTo(dc, r.left, r.bottom - 1);
    ::LineTo(dc, r.right - 1, r.bottom - 1);
    ::LineTo(dc, r.right - 1, r.top);
    ::LineTo(dc, r.left, r.top);
}

void GradientV(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    TRIVERTEX v[2] = {};
    v[0].x = r.left;
    v[0].y = r.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    v[1].x = r.right;
    v[1].y = r.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT mesh{0, 1};
    ::GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

COLORREF Blend(COLORREF a, COLORREF b, int p) {
    auto mix = [p](int x, int y) { return (x * p + y * (100 - p)) / 100; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

namespace {

bool RecolouredGlyph(HDC dc, HIMAGELIST list, int index, const RECT& rect, COLORREF colour) {
    UniqueIcon icon(::ImageList_GetIcon(list, index, ILD_NORMAL));
    IMAGEINFO image{};
    if (!icon || !::ImageList_GetImageInfo(list, index, &image))
        return false;
    ICONINFO info{};
    if (!::GetIconInfo(icon.Get(), &info))
        return false;
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colourBits(info.hbmColor);
    BITMAP maskInfo{};
    if (!mask || !::GetObjectA(mask.Get(), sizeof(maskInfo), &maskInfo))
        return false;
    const int width = std::min<int>(rect.right - rect.left, maskInfo.bmWidth);
    // A mask without a colour bitmap holds the AND and XOR halves one above the other.
    const int maskHeight = colourBits ? maskInfo.bmHeight : maskInfo.bmHeight / 2;
    const int height = std::min<int>(rect.bottom - rect.top, maskHeight);
    if (width <= 0 || height <= 0)
        return true; // nothing to draw is not a failure

    UniqueDc maskDc(::CreateCompatibleDC(dc));
    UniqueDc workDc(::CreateCompatibleDC(dc));
    UniqueDc paintDc(::CreateCompatibleDC(dc));
    UniqueBitmap work(::CreateCompatibleBitmap(dc, width, height));
    UniqueBitmap paint(::CreateCompatibleBitmap(dc, width, height));
    UniqueBrush brush(::CreateSolidBrush(colour));
    if (!maskDc || !workDc || !paintDc || !work || !paint || !brush)
        return false;
    SelectObjectGuard selectMask(maskDc.Get(), mask.Get());
    SelectObjectGuard selectWork(workDc.Get(), work.Get());
    SelectObjectGuard selectPaint(paintDc.Get(), paint.Get());
    SelectObjectGuard selectBrush(paintDc.Get(), brush.Get());

    // Monochrome to colour maps 0 to the text colour and 1 to the background colour.
    ::SetTextColor(workDc.Get(), RGB(0, 0, 0));
    ::SetBkColor(workDc.Get(), RGB(255, 255, 255));
    ::BitBlt(workDc.Get(), 0, 0, width, height, maskDc.Get(), 0, 0, SRCCOPY);
    ::BitBlt(dc, rect.left, rect.top, width, height, workDc.Get(), 0, 0, SRCAND);
    ::BitBlt(workDc.Get(), 0, 0, width, height, nullptr, 0, 0, DSTINVERT);
    ::BitBlt(paintDc.Get(), 0, 0, width, height, workDc.Get(), 0, 0, MERGECOPY);
    ::BitBlt(dc, rect.left, rect.top, width, height, paintDc.Get(), 0, 0, SRCPAINT);
    return true;
}

} // namespace

void Glyph(HDC dc, HIMAGELIST list, int index, const RECT& rect, COLORREF colour) {
    if (!list)
        return;
    if (!RecolouredGlyph(dc, list, index, rect, colour))
        ::ImageList_Draw(list, index, dc, rect.left, rect.top, ILD_TRANSPARENT);
}

} // namespace tabdraw
