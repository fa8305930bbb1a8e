// Painting through the draw manager, on a double buffer.
#include "controls/tabctrl/tab_ctrl.h"

#include "controls/tabctrl/rgn_ex.h"
#include "controls/tabctrl/virtual_window.h"
#include "framework/dc.h"

#include <algorithm>

void TabCtrl::OnPaint() {
    PaintDc paint(Hwnd());
    DrawTo(paint.Get());
}

void TabCtrl::DrawTo(HDC target) {
    if (!m_draw || !Hwnd())
        return;
    VirtualWindow virtualWindow(target, Hwnd());
    HDC dc = virtualWindow.Get();

    m_draw->DrawBegin(this, dc);
    if (!m_tabs.empty()) {
        m_draw->DrawCtrlAreaBack(this, dc, m_ctrlArea);
        DrawTabs(dc);
        DrawButtons(dc);
    }
    const RECT pad = m_recalc->GetWndsAreaPadding(this, &m_service);
    if (m_tabs.empty() || !m_sel || pad.left || pad.top || pad.right || pad.bottom)
        m_draw->DrawWndsAreaBack(this, dc, m_wndsArea);
    if (m_drawBorder && m_recalc->GetBorderWidth(this, &m_service) > 0) {
        RECT client{};
        ::GetClientRect(Hwnd(), &client);
        m_draw->DrawBorder(this, dc, client);
    }
    m_draw->DrawEnd(this, dc);
}

void TabCtrl::DrawTabs(HDC dc) {
    SelectObjectGuard font(dc, m_fontNormal);
    RgnEx clip;
    const RECT& area = m_tabsArea;
    ::SetRectRgn(clip.Get(), area.left, area.top, std::max(area.left, area.right), area.bottom);
    ::ExtSelectClipRgn(dc, clip.Get(), RGN_COPY);

    const int count = GetCount();
    const bool straight = m_draw->IsStraightOrder(this);
    for (int n = 0; n < count; ++n) {
        const TabItem* tab = GetTab(straight ? n : count - 1 - n);
        if (tab != m_sel && IsTabVisible(tab, nullptr))
            m_draw->DrawTab(this, dc, tab, clip.Get());
    }
    // The selected tab last, over its neighbours; an unseen one (a hidden single tab or one
    // scrolled away) is not drawn, so that its empty rectangle leaves no stray pixels.
    if (m_sel && IsTabVisible(m_sel, nullptr)) {
        const bool inactive = m_watchActivity && !m_active;
        SelectObjectGuard selectFont(dc, inactive ? m_fontNormal : m_fontSelect);
        m_draw->DrawTab(this, dc, m_sel, clip.Get());
    }
    ::SelectClipRgn(dc, nullptr);
}

void TabCtrl::DrawButtons(HDC dc) {
    auto state = [&](TabButton button, bool& hot, bool& pushed) {
        hot = m_hot.Is(button) && (m_pushed.IsNone() || m_pushed.Is(button));
        pushed = m_pushed.Is(button);
    };
    bool hot = false;
    bool pushed = false;
    if (!::IsRectEmpty(&m_scrollLeftRect)) {
        state(TabButton::ScrollLeft, hot, pushed);
        m_draw->DrawButtonScrollLeft(this, dc, m_scrollLeftRect, hot, pushed, m_scroll.leftEnabled);
        state(TabButton::ScrollRight, hot, pushed);
        m_draw->DrawButtonScrollRight(this, dc, m_scrollRightRect, hot, pushed,
                                      m_scroll.rightEnabled);
    }
    if (!::IsRectEmpty(&m_menuRect)) {
        state(TabButton::Menu, hot, pushed);
        m_draw->DrawButtonMenu(this, dc, m_menuRect, hot, pushed, m_scroll.partialView);
    }
    if (!::IsRectEmpty(&m_closeRect)) {
        state(TabButton::Close, hot, pushed);
        m_draw->DrawButtonClose(this, dc, m_closeRect, hot, pushed);
    }
}
