#include "controls/tabctrl/tab_ctrl_style_vs2010.h"

#include "controls/tabctrl/draw_helpers.h"
#include "controls/tabctrl/tab_ctrl.h"

namespace {

constexpr COLORREF kStripBack = RGB(46, 64, 94);
constexpr int kBandDepth = 4;

// The selected tab's colours, as a focused (active) or unfocused control shows them.
struct Palette {
    COLORREF gradientStart; // outer edge
    COLORREF gradientEnd;   // middle
    COLORREF inner;         // inner half of the tab and the pane bands
    COLORREF cornerA;
    COLORREF cornerB;
    COLORREF cornerC;
};

const Palette kInactive{RGB(251, 252, 252), RGB(215, 220, 228), RGB(206, 212, 223),
                        RGB(93, 109, 135),  RGB(192, 198, 206), RGB(190, 196, 204)};
const Palette kActive{RGB(255, 252, 242), RGB(255, 243, 207), RGB(255, 232, 166),
                      RGB(94, 109, 133),  RGB(195, 198, 199), RGB(195, 197, 197)};

const Palette& PaletteFor(bool active) {
    return active ? kActive : kInactive;
}

// Three pixels rounding a band's corner: on the outer row at the corner (p), the next one
// along the row (q), and the next one inwards (r).
struct Corner {
    COLORREF p;
    COLORREF q;
    COLORREF r;
};

const Corner kNearHotInactive{RGB(165, 176, 191), RGB(170, 179, 193), RGB(192, 199, 212)};
const Corner kNearHotActive{RGB(175, 180, 180), RGB(205, 194, 152), RGB(227, 214, 171)};
const Corner kNearInactive{RGB(76, 91, 116), RGB(163, 173, 190), RGB(160, 169, 185)};
const Corner kNearActive{RGB(86, 95, 105), RGB(198, 188, 149), RGB(195, 184, 144)};
const Corner kFarInactive{RGB(87, 100, 124), RGB(168, 176, 192), RGB(160, 169, 185)};
const Corner kFarActive{RGB(100, 106, 109), RGB(205, 192, 148), RGB(195, 184, 144)};

void SetCorner(HDC dc, int x, int row, int along, int inwards, const Corner& c) {
    ::SetPixelV(dc, x, row, c.p);
    ::SetPixelV(dc, x + along, row, c.q);
    ::SetPixelV(dc, x, row + inwards, c.r);
}

} // namespace

COLORREF TabCtrlStyle_VS2010_client::GetCtrlAreaBackColor(const TabCtrl*) {
    return kStripBack;
}

COLORREF TabCtrlStyle_VS2010_client::GetTabTextColor(const TabCtrl* ctrl, const TabItem* tab) {
    return tab == ctrl->GetSel() ? RGB(13, 0, 5) : RGB(248, 255, 255);
}

COLORREF TabCtrlStyle_VS2010_client::GetButtonMarkerColor(const TabCtrl*, bool hot, bool pushed) {
    return hot || pushed ? RGB(0, 0, 0) : RGB(206, 212, 221);
}

COLORREF TabCtrlStyle_VS2010_client::GetEmptyWndsAreaBackColor(const TabCtrl*) {
    return kStripBack;
}

void TabCtrlStyle_VS2010_client::DrawCtrlAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) {
    tabdraw::Fill(dc, rect, GetCtrlAreaBackColor(ctrl));
}

void TabCtrlStyle_VS2010_client::DrawWndsAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) {
    if (ctrl->GetCount() > 0 && ctrl->GetSel())
        DrawWndsAreaFrame(ctrl, dc, rect, ctrl->GetLayout() == TabCtrl::LayoutTop,
                          ctrl->IsActive());
    else
        TabCtrlStyle_base::DrawWndsAreaBack(ctrl, dc, rect);
}

void TabCtrlStyle_VS2010_client::DrawTabBack(const TabCtrl* ctrl, HDC dc, const TabItem* tab,
                                             const RECT& rect, HRGN) {
    if (tab->disabled)
        return;
    DrawTabShape(ctrl, dc, rect, ctrl->GetLayout() == TabCtrl::LayoutTop, ctrl->IsActive(),
                 tab == ctrl->GetSel(), ctrl->GetHotElement().tab == tab);
}

void TabCtrlStyle_VS2010_client::DrawButtonFrame(const TabCtrl*, HDC dc, const RECT& rect, bool hot,
                                                 bool pushed) {
    if (!hot && !pushed)
        return;
    tabdraw::Outline(dc, rect, RGB(229, 195, 101));
    const RECT inside{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    tabdraw::Fill(dc, inside, hot && pushed ? RGB(255, 232, 166) : RGB(255, 252, 244));
}

void TabCtrlStyle_VS2010_client::DrawTabShape(const TabCtrl*, HDC dc, const RECT& r, bool top,
                                              bool active, bool selected, bool hot) {
    if (selected) {
        const Palette& pal = PaletteFor(active);
        const int mid = (r.top + r.bottom) / 2;
        if (top) {
            tabdraw::Fill(dc, {r.left, mid, r.right, r.bottom}, pal.inner);
            tabdraw::GradientV(dc, {r.left, r.top, r.right, mid}, pal.gradientStart,
                               pal.gradientEnd);
        } else {
            tabdraw::Fill(dc, {r.left, r.top, r.right, mid}, pal.inner);
            tabdraw::GradientV(dc, {r.left, mid, r.right, r.bottom}, pal.gradientEnd,
                               pal.gradientStart);
        }
        const int outer = top ? r.top : r.bottom - 1;
        const int inwards = top ? 1 : -1;
        ::SetPixelV(dc, r.left, outer, pal.cornerA);
        ::SetPixelV(dc, r.left + 1, outer, pal.cornerB);
        ::SetPixelV(dc, r.left, outer + inwards, pal.cornerC);
        ::SetPixelV(dc, r.right - 1, outer, pal.cornerA);
        ::SetPixelV(dc, r.right - 2, outer, pal.cornerB);
        ::SetPixelV(dc, r.right - 1, outer + inwards, pal.cornerC);
        return;
    }
    if (!hot)
        return; // the strip shows through

    const COLORREF edge = RGB(155, 167, 183);
    const COLORREF light = RGB(111, 119, 118);
    const COLORREF dark = RGB(79, 95, 116);
    if (top) {
        tabdraw::Line(dc, r.left, r.bottom, r.left, r.top, edge);
        tabdraw::Line(dc, r.left, r.top, r.right - 1, r.top, edge);
        tabdraw::Line(dc, r.right - 1, r.top, r.right - 1, r.bottom, edge);
        tabdraw::GradientV(dc, {r.left + 1, r.top + 1, r.right - 1, r.bottom}, light, dark);
    } else {
        tabdraw::Line(dc, r.left, r.top, r.left, r.bottom - 1, edge);
        tabdraw::Line(dc, r.left, r.bottom - 1, r.right - 1, r.bottom - 1, edge);
        tabdraw::Line(dc, r.right - 1, r.bottom - 1, r.right - 1, r.top - 1, edge);
        tabdraw::GradientV(dc, {r.left + 1, r.top, r.right - 1, r.bottom - 1}, dark, light);
    }
    const int outer = top ? r.top : r.bottom - 1;
    const int next = top ? outer + 1 : outer - 1;
    ::SetPixelV(dc, r.left, outer, RGB(50, 65, 93));
    ::SetPixelV(dc, r.right - 1, outer, RGB(50, 65, 93));
    ::SetPixelV(dc, r.left + 1, outer, RGB(120, 135, 157));
    ::SetPixelV(dc, r.right - 2, outer, RGB(120, 135, 157));
    ::SetPixelV(dc, r.left, next, RGB(117, 130, 150));
    ::SetPixelV(dc, r.right - 1, next, RGB(117, 130, 150));
    ::SetPixelV(dc, r.left + 1, next, RGB(115, 126, 139));
    ::SetPixelV(dc, r.right - 2, next, RGB(115, 126, 139));
}

void TabCtrlStyle_VS2010_client::DrawWndsAreaFrame(const TabCtrl* ctrl, HDC dc, const RECT& r,
                                                   bool top, bool active) {
    const Palette& pal = PaletteFor(active);
    tabdraw::Fill(dc, {r.left, r.top, r.right, r.top + kBandDepth}, pal.inner);
    tabdraw::Fill(dc, {r.left, r.bottom - kBandDepth, r.right, r.bottom}, pal.inner);

    const bool scroll = ctrl->GetBehavior() == TabCtrl::BehaviorScroll;
    const int count = ctrl->GetCount();
    TabItem* first = count > 0 ? ctrl->GetTab(0) : nullptr;
    const bool singleHidden = ctrl->IsHideSingleTab() && count == 1;
    const bool firstSelected = first && first == ctrl->GetSel() && !singleHidden;
    const bool firstHot = first && ctrl->GetHotElement().tab == first;

    const Corner& nearCorner = active ? kNearActive : kNearInactive;
    const Corner& nearHotCorner = active ? kNearHotActive : kNearHotInactive;
    const Corner& farCorner = active ? kFarActive : kFarInactive;

    auto corners = [&](bool tabsSide, int row, int inwards) {
        if (!tabsSide || !firstSelected)
            SetCorner(dc, r.left, row, 1, inwards,
                      tabsSide && firstHot ? nearHotCorner : nearCorner);
        SetCorner(dc, r.right - 1, row, -1, inwards, farCorner);
    };
    // With scrolling the first tab may sit anywhere, so the tabs' side keeps square corners.
    if (!(top && scroll))
        corners(top, r.top, 1);
    if (!(!top && scroll))
        corners(!top, r.bottom - 1, -1);
}

int TabCtrlStyle_VS2010_client::GetBorderWidth(const TabCtrl*, ITabCtrlRecalc*) {
    return 0;
}

RECT TabCtrlStyle_VS2010_client::GetCtrlAreaPadding(const TabCtrl*, ITabCtrlRecalc*) {
    return {0, 0, 3, 0};
}

RECT TabCtrlStyle_VS2010_client::GetWndsAreaPadding(const TabCtrl*, ITabCtrlRecalc*) {
    return {0, 4, 0, 4};
}

RECT TabCtrlStyle_VS2010_client::GetTabPadding(const TabCtrl* ctrl, ITabCtrlRecalc*) {
    return ctrl->GetLayout() == TabCtrl::LayoutTop ? RECT{5, 4, 5, 3} : RECT{5, 3, 5, 4};
}
