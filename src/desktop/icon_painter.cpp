#include "desktop/icon_painter.h"

#include "catalogue/icons.h"
#include "desktop/icon_cache.h"
#include "framework/dc.h"
#include "framework/unique_handle.h"

#include <shellapi.h>

namespace {

void DrawEntry(HDC dc, const DesktopLayout& layout, const ProgramEntry& entry,
               const IconPaintStyle& style, IconCache* cache) {
    const GridRect iconRect = layout.IconRect(entry.column, entry.row);
    if (cache) {
        cache->Draw(dc, iconRect.left, iconRect.top, entry.iconFile, entry.iconIndex);
    } else {
        UniqueIcon extracted;
        if (entry.iconFile[0] != '\0')
            ::ExtractIconExA(entry.iconFile, entry.iconIndex, extracted.Put(), nullptr, 1);
        ::DrawIcon(dc, iconRect.left, iconRect.top,
                   extracted ? extracted.Get() : ::LoadIcon(nullptr, IDI_APPLICATION));
    }

    const GridRect caption = layout.CaptionRect(entry.column, entry.row);
    RECT box{caption.left, caption.top, caption.right, caption.bottom};
    ::SetTextColor(dc, style.captionText);
    ::SetBkColor(dc, style.captionBand);
    ::DrawTextA(dc, entry.caption, -1, &box, DT_CENTER | DT_WORDBREAK);
}

void DrawRunningMarker(HDC dc, const GridRect& r, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    SelectObjectGuard selectBrush(dc, brush.Get());
    SelectObjectGuard selectPen(dc, pen.Get());
    ::Ellipse(dc, r.left, r.top, r.right, r.bottom);
}

} // namespace

GridRect RunningMarkerRect(const DesktopLayout& layout, int column, int row) {
    const int right = (column + 1) * kCellPitch - 2;
    const int top = layout.gridTop + row * kCellPitch + 2;
    return {right - 6, top, right, top + 6};
}

void DrawDesktopIcons(HDC dc, const DesktopLayout& layout, const Icons& catalogue, int currentTab,
                      int placedLimit, const IconPaintStyle& style, IconCache* cache,
                      const std::function<bool(int)>& isRunning) {
    ::MoveToEx(dc, 0, layout.gridTop, nullptr);
    ::LineTo(dc, layout.width, layout.gridTop);
    ::MoveToEx(dc, layout.halfWidth, 0, nullptr);
    ::LineTo(dc, layout.halfWidth, layout.gridTop);

    if (currentTab < 0)
        return;
    SelectObjectGuard font(dc, style.captionFont ? static_cast<HGDIOBJ>(style.captionFont)
                                                 : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, style.desktop);
    if (cache)
        cache->BeginPass();
    const int drawable = DrawableCount(catalogue, placedLimit);
    for (int i = 0; i < drawable; ++i) {
        const ProgramEntry& entry = catalogue.m_entries[i];
        if (entry.tab != currentTab || entry.column < 0 || entry.row < 0 ||
            entry.column >= layout.columns || entry.row >= layout.rows)
            continue;
        DrawEntry(dc, layout, entry, style, cache);
        if (isRunning && isRunning(i))
            DrawRunningMarker(dc, RunningMarkerRect(layout, entry.column, entry.row),
                              style.captionText);
    }
    if (cache)
        cache->EndPass();
}
