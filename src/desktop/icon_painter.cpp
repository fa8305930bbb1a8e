#include "desktop/icon_painter.h"

#include "catalogue/icons.h"
#include "framework/dc.h"

#include <shellapi.h>

namespace {

void DrawEntry(HDC dc, const DesktopLayout& layout, const ProgramEntry& entry,
               const IconPaintStyle& style) {
    HICON extracted = nullptr;
    if (entry.iconFile[0] != '\0')
        ::ExtractIconExA(entry.iconFile, entry.iconIndex, &extracted, nullptr, 1);
    const GridRect icon = layout.IconRect(entry.column, entry.row);
    ::DrawIcon(dc, icon.left, icon.top,
               extracted ? extracted : ::LoadIcon(nullptr, IDI_APPLICATION));
    if (extracted)
        ::DestroyIcon(extracted);

    const GridRect caption = layout.CaptionRect(entry.column, entry.row);
    RECT box{caption.left, caption.top, caption.right, caption.bottom};
    ::SetTextColor(dc, style.captionText);
    ::SetBkColor(dc, style.captionBand);
    ::DrawTextA(dc, entry.caption, -1, &box, DT_CENTER | DT_WORDBREAK);
}

} // namespace

void DrawDesktopIcons(HDC dc, const DesktopLayout& layout, const Icons& catalogue, int currentTab,
                      int placedLimit, const IconPaintStyle& style) {
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
    const int drawable = DrawableCount(catalogue, placedLimit);
    for (int i = 0; i < drawable; ++i) {
        const ProgramEntry& entry = catalogue.m_entries[i];
        if (entry.tab != currentTab || entry.column < 0 || entry.row < 0 ||
            entry.column >= layout.columns || entry.row >= layout.rows)
            continue;
        DrawEntry(dc, layout, entry, style);
    }
}
