#include "controls/tabctrl/tab_ctrl_style_base.h"

#include "controls/tabctrl/button_glyphs.h"
#include "controls/tabctrl/draw_helpers.h"
#include "controls/tabctrl/tab_ctrl.h"
#include "framework/dc.h"
#include "framework/unique_handle.h"

COLORREF TabCtrlStyle_base::GetBorderColor(const TabCtrl*) {
    return ::GetSysColor(COLOR_BTNSHADOW);
}
COLORREF TabCtrlStyle_base::GetSeparatorColor(const TabCtrl*) {
    return ::GetSysColor(COLOR_BTNSHADOW);
}
COLORREF TabCtrlStyle_base::GetCtrlAreaBackColor(const TabCtrl*) {
    return ::GetSysColor(COLOR_BTNFACE);
}
COLORREF TabCtrlStyle_base::GetTabSelectedBackColor(const TabCtrl*) {
    return ::GetSysColor(COLOR_WINDOW);
}
COLORREF TabCtrlStyle_base::GetTabTextColor(const TabCtrl*, const TabItem* tab) {
    return ::GetSysColor(tab->disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
}
COLORREF TabCtrlStyle_base::GetButtonMarkerColor(const TabCtrl* ctrl, bool, bool) {
    return ::GetSysColor(ctrl->GetSel() ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
}
COLORREF TabCtrlStyle_base::GetCtrlAreaBandColor(const TabCtrl*) {
    return ::GetSysColor(COLOR_WINDOW);
}
COLORREF TabCtrlStyle_base::GetEmptyWndsAreaBackColor(const TabCtrl*) {
    return ::GetSysColor(COLOR_APPWORKSPACE);
}

void TabCtrlStyle_base::DrawBorder(const TabCtrl* ctrl, HDC dc, const RECT& rect) {
    tabdraw::Outline(dc, rect, GetBorderColor(ctrl));
}

void TabCtrlStyle_base::DrawCtrlAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) {
    const RECT padding = ctrl->GetRecalcManager()->GetCtrlAreaPadding(ctrl, ctrl->GetRecalcBase());
    const bool top = ctrl->GetLayout() == TabCtrl::LayoutTop;
    RECT back = rect;
    RECT band = rect;
    int lineY = 0;
    if (top) {
        back.bottom = rect.bottom - padding.bottom;
        band.top = back.bottom;
        lineY = back.bottom - 1;
    } else {
        back.top = rect.top + padding.top;
        band.bottom = back.top;
        lineY = back.top;
    }
    tabdraw::Fill(dc, back, GetCtrlAreaBackColor(ctrl));
    tabdraw::Fill(dc, band, GetCtrlAreaBandColor(ctrl));
    tabdraw::Line(dc, rect.left, lineY, rect.right, lineY, GetSeparatorColor(ctrl));
}

void TabCtrlStyle_base::DrawTab(const TabCtrl* ctrl, HDC dc, const TabItem* tab, HRGN clipRgn) {
    DrawTabBack(ctrl, dc, tab, tab->rect, clipRgn);
    DrawTabContext(ctrl, dc, tab, tab->rect, clipRgn);
}

void TabCtrlStyle_base::DrawTabBack(const TabCtrl* ctrl, HDC dc, const TabItem* tab, const RECT& r,
                                    HRGN) {
    const bool top = ctrl->GetLayout() == TabCtrl::LayoutTop;
    if (tab == ctrl->GetSel()) {
        // Cut corners on the outer edge; open towards the panes.
        const int outer = top ? r.top : r.bottom - 1;
        const int cut = top ? 2 : -2;
        const int inner = top ? r.bottom : r.top - 1;
        POINT points[6] = {{r.left, inner},      {r.left, outer + cut},      {r.left + 2, outer},
                           {r.right - 3, outer}, {r.right - 1, outer + cut}, {r.right - 1, inner}};
        UniqueBrush brush(::CreateSolidBrush(GetTabSelectedBackColor(ctrl)));
        UniquePen pen(::CreatePen(PS_SOLID, 1, GetSeparatorColor(ctrl)));
        if (brush && pen) {
            SelectObjectGuard selectBrush(dc, brush.Get());
            SelectObjectGuard selectPen(dc, pen.Get());
            ::Polygon(dc, points, 6);
        }
        return;
    }
    const TabElement hot = ctrl->GetHotElement();
    if (hot.tab == tab && !tab->disabled) {
        const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        RECT half{r.left + 2, top ? r.top + 2 : (r.top + r.bottom) / 2, r.right - 2,
                  top ? (r.top + r.bottom) / 2 : r.bottom - 2};
        RECT rest{r.left + 2, top ? half.bottom : r.top + 2, r.right - 2,
                  top ? r.bottom - 2 : half.top};
        const COLORREF light = tabdraw::Blend(highlight, window, 10);
        const COLORREF deep = tabdraw::Blend(highlight, window, 25);
        tabdraw::GradientV(dc, half, top ? light : deep, top ? deep : light);
        tabdraw::Fill(dc, rest, deep);
        tabdraw::Outline(dc, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, highlight);
        return;
    }
    // A separator at the right, unless the next tab is the selected one.
    const int index = ctrl->GetIndex(tab);
    const TabItem* next = index + 1 < ctrl->GetCount() ? ctrl->GetTab(index + 1) : nullptr;
    if (next != ctrl->GetSel())
        tabdraw::Line(dc, r.right - 1, r.top + 3, r.right - 1, r.bottom - 3,
                      GetSeparatorColor(ctrl));
}

void TabCtrlStyle_base::DrawTabContext(const TabCtrl* ctrl, HDC dc, const TabItem* tab,
                                       const RECT& rect, HRGN clipRgn) {
    ITabCtrlRecalc* recalc = ctrl->GetRecalcManager();
    const RECT padding = recalc->GetTabPadding(ctrl, ctrl->GetRecalcBase());
    RECT content{rect.left + padding.left, rect.top + padding.top, rect.right - padding.right,
                 rect.bottom - padding.bottom};
    SIZE text{};
    if (!tab->text.empty())
        ::GetTextExtentPoint32A(dc, tab->text.data(), static_cast<int>(tab->text.size()), &text);
    const int contentWidth = content.right - content.left;

    const HIMAGELIST list = tab->disabled ? ctrl->GetImageListDisabled() : ctrl->GetImageList();
    if (tab->image >= 0 && list) {
        const int imageWidth =
            tab->disabled ? ctrl->GetImageDisabledSize().cx : ctrl->GetImageSize().cx;
        const int space = recalc->GetTabImageTextSpace(ctrl, ctrl->GetRecalcBase());
        const int w = imageWidth + space + text.cx;
        if (w < contentWidth)
            content.left += (contentWidth - w) / 2;
        DrawTabImage(ctrl, dc, tab, content, clipRgn);
        content.left += space + imageWidth;
    } else if (text.cx < contentWidth) {
        content.left += (contentWidth - text.cx) / 2;
    }
    if (content.right > content.left && content.bottom > content.top)
        DrawTabText(ctrl, dc, tab, content, clipRgn);
}

void TabCtrlStyle_base::DrawTabImage(const TabCtrl* ctrl, HDC dc, const TabItem* tab,
                                     const RECT& rect, HRGN) {
    const HIMAGELIST list = tab->disabled ? ctrl->GetImageListDisabled() : ctrl->GetImageList();
    const int height = tab->disabled ? ctrl->GetImageDisabledSize().cy : ctrl->GetImageSize().cy;
    ::ImageList_Draw(list, tab->image, dc, rect.left, (rect.top + rect.bottom - height + 1) / 2,
                     ILD_TRANSPARENT);
}

void TabCtrlStyle_base::DrawTabText(const TabCtrl* ctrl, HDC dc, const TabItem* tab,
                                    const RECT& rect, HRGN) {
    ::SetTextColor(dc, GetTabTextColor(ctrl, tab));
    RECT r = rect;
    // Tab names are plain text: "Tom & Jerry" must not turn into an underlined " Jerry".
    ::DrawTextA(dc, tab->text.c_str(), -1, &r,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void TabCtrlStyle_base::DrawButtonFrame(const TabCtrl*, HDC dc, const RECT& rect, bool hot,
                                        bool pushed) {
    if (!hot && !pushed)
        return;
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const int percent = hot != pushed ? 30 : 22;
    tabdraw::Fill(dc, rect, tabdraw::Blend(highlight, ::GetSysColor(COLOR_WINDOW), percent));
    tabdraw::Outline(dc, rect, highlight);
}

void TabCtrlStyle_base::DrawMarker(const TabCtrl* ctrl, HDC dc, const RECT& rect, int glyph,
                                   bool hot, bool pushed) {
    tabdraw::Glyph(dc, ctrl->GetSystemImageList(), glyph, rect,
                   GetButtonMarkerColor(ctrl, hot, pushed));
}

void TabCtrlStyle_base::DrawButtonClose(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                                        bool pushed) {
    DrawButtonFrame(ctrl, dc, rect, hot, pushed);
    DrawMarker(ctrl, dc, rect, buttonglyphs::kClose, hot, pushed);
}

void TabCtrlStyle_base::DrawButtonMenu(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                                       bool pushed, bool partialView) {
    DrawButtonFrame(ctrl, dc, rect, hot, pushed);
    DrawMarker(ctrl, dc, rect, partialView ? buttonglyphs::kMenuPartial : buttonglyphs::kMenu, hot,
               pushed);
}

void TabCtrlStyle_base::DrawButtonScrollLeft(const TabCtrl* ctrl, HDC dc, const RECT& rect,
                                             bool hot, bool pushed, bool enabled) {
    DrawButtonFrame(ctrl, dc, rect, hot, pushed);
    DrawMarker(ctrl, dc, rect,
               enabled ? buttonglyphs::kScrollLeft : buttonglyphs::kScrollLeftDisabled, hot,
               pushed);
}

void TabCtrlStyle_base::DrawButtonScrollRight(const TabCtrl* ctrl, HDC dc, const RECT& rect,
                                              bool hot, bool pushed, bool enabled) {
    DrawButtonFrame(ctrl, dc, rect, hot, pushed);
    DrawMarker(ctrl, dc, rect,
               enabled ? buttonglyphs::kScrollRight : buttonglyphs::kScrollRightDisabled, hot,
               pushed);
}

void TabCtrlStyle_base::DrawWndsAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) {
    const bool selected = ctrl->GetCount() > 0 && ctrl->GetSel();
    tabdraw::Fill(dc, rect,
                  selected ? GetTabSelectedBackColor(ctrl) : GetEmptyWndsAreaBackColor(ctrl));
}
