// Measuring the tabs and applying the strip geometry to the tabs and panes.
#include "controls/tabctrl/tab_ctrl.h"

#include "framework/dc.h"

#include <algorithm>

namespace {

tablayout::Edges ToEdges(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
tablayout::HorzMargin ToMargin(const RECT& r) {
    return {r.left, r.right};
}
RECT ToRect(const tablayout::Box& b) {
    return {b.left, b.top, b.right, b.bottom};
}

int TextWidth(HDC dc, HFONT font, const std::string& text) {
    if (text.empty())
        return 0;
    SelectObjectGuard select(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int TextHeight(HDC dc, HFONT font) {
    SelectObjectGuard select(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, "H", 1, &size);
    return size.cy;
}

} // namespace

int TabCtrl::StripHeight(HDC dc) const {
    const int text = std::max(TextHeight(dc, m_fontNormal), TextHeight(dc, m_fontSelect));
    return tablayout::StripHeight(text, m_imageList ? m_imageSize.cy : 0,
                                  m_imageListDisabled ? m_imageDisabledSize.cy : 0,
                                  m_systemImageList ? m_systemImageSize.cy : 0,
                                  ToEdges(m_recalc->GetTabPadding(this, &m_service)),
                                  ToEdges(m_recalc->GetCtrlAreaPadding(this, &m_service)));
}

void TabCtrl::RecalcLayout(bool redraw) {
    if (!Hwnd())
        return;
    ITabCtrlRecalc* base = &m_service;
    tablayout::LayoutInput in;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    in.client = {client.left, client.top, client.right, client.bottom};
    in.drawBorder = m_drawBorder;
    in.side = m_layout == LayoutBottom ? tablayout::StripSide::Bottom : tablayout::StripSide::Top;
    in.scrollBehavior = m_behaviorOption == BehaviorScroll;
    in.equalTabWidth = m_equalTabWidth;
    in.hideSingleTab = m_hideSingleTab;

    tablayout::StripMetrics& m = in.metrics;
    m.borderWidth = m_recalc->GetBorderWidth(this, base);
    m.ctrlAreaPadding = ToEdges(m_recalc->GetCtrlAreaPadding(this, base));
    m.wndsAreaPadding = ToEdges(m_recalc->GetWndsAreaPadding(this, base));
    m.tabHorzMargin = ToMargin(m_recalc->GetTabHorzMargin(this, base));
    m.tabPadding = ToEdges(m_recalc->GetTabPadding(this, base));
    m.tabMinWidth = m_recalc->GetTabMinWidth(this, base);
    m.scrollLeftMargin = ToMargin(m_recalc->GetButtonScrollLeftHorzMargin(this, base));
    m.scrollRightMargin = ToMargin(m_recalc->GetButtonScrollRightHorzMargin(this, base));
    m.menuMargin = ToMargin(m_recalc->GetButtonMenuHorzMargin(this, base));
    m.closeMargin = ToMargin(m_recalc->GetButtonCloseHorzMargin(this, base));
    const int imageTextSpace = m_recalc->GetTabImageTextSpace(this, base);

    {
        ClientDc dc(Hwnd());
        in.stripHeight = StripHeight(dc.Get());
        in.contentWidths.reserve(m_tabs.size());
        for (const auto& tab : m_tabs) {
            tablayout::TabMeasure measure;
            const HIMAGELIST list = tab->disabled ? m_imageListDisabled : m_imageList;
            measure.hasImage = tab->image != -1 && list != nullptr;
            measure.imageWidth = tab->disabled ? m_imageDisabledSize.cx : m_imageSize.cx;
            measure.textWidthNormal = TextWidth(dc.Get(), m_fontNormal, tab->text);
            measure.textWidthSelected = TextWidth(dc.Get(), m_fontSelect, tab->text);
            measure.extraWidth = m_recalc->GetTabExtraWidth(this, base, tab.get());
            in.contentWidths.push_back(
                tablayout::TabContentWidth(measure, imageTextSpace, m.tabPadding));
        }
    }

    const bool haveButtonImages = m_systemImageList != nullptr;
    in.buttonWidth = m_systemImageSize.cx;
    in.buttonHeight = m_systemImageSize.cy;
    in.closeShown = m_showClose && haveButtonImages && m_ability->CanShowCloseButton(this);
    in.menuShown = m_showMenu && haveButtonImages && m_ability->CanShowMenuButton(this);
    in.scrollButtonsShown =
        m_showScroll && haveButtonImages && m_ability->CanShowScrollButtons(this);
    in.scroll = m_scroll;

    const tablayout::LayoutResult r = tablayout::ComputeLayout(in);
    m_windowArea = ToRect(r.windowArea);
    m_wndsArea = ToRect(r.wndsArea);
    m_ctrlArea = ToRect(r.ctrlArea);
    m_tabsArea = ToRect(r.tabsArea);
    m_closeRect = ToRect(r.close);
    m_menuRect = ToRect(r.menu);
    m_scrollLeftRect = ToRect(r.scrollLeft);
    m_scrollRightRect = ToRect(r.scrollRight);
    m_scroll = r.scroll;
    for (std::size_t i = 0; i < m_tabs.size() && i < r.tabRects.size(); ++i) {
        m_tabs[i]->rect = ToRect(r.tabRects[i]);
        m_tabs[i]->width = r.tabWidths[i];
    }

    if (r.singleTabHidden) {
        TabItem* only = m_tabs.front().get();
        m_sel = only->disabled ? nullptr : only;
        if (m_sel)
            PlacePane(only->pane, m_wndsArea, redraw);
        else
            HidePane(only->pane);
    } else if (!m_tabs.empty()) {
        TabItem* previous = Owns(m_sel) ? m_sel : nullptr;
        TabItem* sel = previous;
        if (!sel)
            sel = TabAt(tablayout::FirstEnabled(DisabledFlags()));
        else if (sel->disabled)
            sel = TabAt(tablayout::NextEnabledElsePrevious(DisabledFlags(), GetIndex(sel)));
        m_sel = sel;
        if (m_sel)
            PlacePane(m_sel->pane, m_wndsArea, redraw);
        if (previous && previous != m_sel && (!m_sel || previous->pane != m_sel->pane))
            HidePane(previous->pane);
    } else {
        m_sel = nullptr;
    }

    if (m_toolTip) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = Hwnd();
        tool.uId = 1;
        tool.rect = m_ctrlArea;
        ::SendMessageA(m_toolTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}
