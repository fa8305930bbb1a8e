// Hot element, clicks, the scroll buttons' timers, tab dragging and tooltip texts.
#include "controls/tabctrl/tab_ctrl.h"

namespace {

enum Timer : UINT_PTR {
    kScrollLeftDelay = 1,
    kScrollLeftRepeat = 2,
    kScrollRightDelay = 3,
    kScrollRightRepeat = 4
};
constexpr UINT kDelayMs = 300;
constexpr UINT kRepeatMs = 20;

tablayout::Box ToBox(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

TabElement TabCtrl::ElementAt(POINT point) const {
    if (m_sel) {
        if (::PtInRect(&m_closeRect, point))
            return TabElement::Button(TabButton::Close);
        if (::PtInRect(&m_menuRect, point))
            return TabElement::Button(TabButton::Menu);
        if (::PtInRect(&m_scrollLeftRect, point))
            return TabElement::Button(TabButton::ScrollLeft);
        if (::PtInRect(&m_scrollRightRect, point))
            return TabElement::Button(TabButton::ScrollRight);
    }
    return TabElement::Tab(HitTest(point));
}

void TabCtrl::UpdateHot(POINT point) {
    const TabElement hot = ElementAt(point);
    if (hot == m_hot)
        return;
    m_hot = hot;
    ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    if (m_toolTip)
        ::SendMessageA(m_toolTip, TTM_POP, 0, 0);
}

void TabCtrl::OnMouseMove(POINT point) {
    UpdateHot(point);
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Hwnd(), 0};
    ::TrackMouseEvent(&track);
    if (m_tabsDragging && m_pushed.IsTab())
        OnDragMove(point);
}

void TabCtrl::OnDragMove(POINT point) {
    TabItem* dragged = m_pushed.tab;
    if (!m_dragging) {
        if (!tablayout::BeyondDragThreshold(m_pressPoint.x, m_pressPoint.y, point.x, point.y))
            return;
        m_dragging = true;
        KeyboardHook::Instance().AddListener(this);
        m_savedOrder.clear();
        for (const auto& tab : m_tabs)
            m_savedOrder.push_back(tab.get());
        if (m_notify)
            m_notify->OnStartDrag(this, dragged, ScreenPoint(point));
        return;
    }
    if (!::PtInRect(&m_ctrlArea, point)) {
        if (m_notify)
            m_notify->OnDrag(this, dragged, ScreenPoint(point), true);
        return;
    }
    if (m_hot.IsTab() && m_hot.tab != dragged) {
        const int from = GetIndex(dragged);
        const int to = tablayout::DragDestination(from, dragged->rect.right - dragged->rect.left,
                                                  GetIndex(m_hot.tab), ToBox(m_hot.tab->rect),
                                                  point.x, point.y);
        if (from >= 0 && to >= 0) {
            tablayout::MoveElement(m_tabs, from, to);
            RecalcLayout(true);
            UpdateHot(point);
            InvalidateClient();
        }
    }
    if (m_notify)
        m_notify->OnDrag(this, dragged, ScreenPoint(point), false);
}

bool TabCtrl::PressLeft(POINT point, TabElement& pressed) {
    // The pointer may have come without a move (a click right after layout changed).
    UpdateHot(point);
    pressed = m_hot;
    if (m_hot.IsButton()) {
        m_pushed = m_hot;
        if (m_hot.Is(TabButton::ScrollLeft)) {
            m_scroll.position -= m_scrollStep;
            ::SetTimer(Hwnd(), kScrollLeftDelay, kDelayMs, nullptr);
            RecalcLayout(true);
        } else if (m_hot.Is(TabButton::ScrollRight)) {
            m_scroll.position += m_scrollStep;
            ::SetTimer(Hwnd(), kScrollRightDelay, kDelayMs, nullptr);
            RecalcLayout(true);
        }
        ::SetCapture(Hwnd());
    } else if (m_hot.IsTab()) {
        TabItem* tab = m_hot.tab;
        bool newSelection = false;
        if (!tab->disabled) {
            if (m_tabsDragging) {
                m_pressPoint = point;
                m_pushed = m_hot;
                ::SetCapture(Hwnd());
            }
            newSelection = tab != m_sel;
        }
        if (m_notify) {
            AliveGuard guard(*this);
            m_notify->OnLButtonDown(this, tab, ScreenPoint(point));
            if (!guard.alive)
                return false;
        }
        // The handler may have deleted or disabled the tab.
        if (newSelection && Owns(tab) && !tab->disabled) {
            SetSel(tab);
            RecalcLayout(true);
            if (m_notify) {
                AliveGuard guard(*this);
                m_notify->OnTabSelected(this, tab);
                if (!guard.alive)
                    return false;
            }
        }
    }
    InvalidateClient();
    return true;
}

void TabCtrl::OnLButtonUp(POINT point) {
    if (m_pushed.IsNone())
        return;
    const bool closeClicked = m_pushed.Is(TabButton::Close) && ::PtInRect(&m_closeRect, point);
    const bool menuClicked = m_pushed.Is(TabButton::Menu) && ::PtInRect(&m_menuRect, point);
    AliveGuard guard(*this);
    StopScrolling();
    InvalidateClient();
    FinishDrag(false); // the owner hears of the drag's end and may destroy the control
    if (!guard.alive || !m_notify || !(closeClicked || menuClicked))
        return;
    // Drawn pushed while the owner reacts (a menu usually opens here).
    m_pushed = TabElement::Button(closeClicked ? TabButton::Close : TabButton::Menu);
    if (closeClicked)
        m_notify->OnCloseButtonClicked(this, m_closeRect, ScreenPoint(point));
    else
        m_notify->OnMenuButtonClicked(this, m_menuRect, ScreenPoint(point));
    if (!guard.alive)
        return;
    m_pushed = {};
    InvalidateClient();
}

void TabCtrl::StopScrolling() {
    if (!m_pushed.IsButton())
        return;
    if (Hwnd()) {
        if (m_pushed.Is(TabButton::ScrollLeft)) {
            ::KillTimer(Hwnd(), kScrollLeftDelay);
            ::KillTimer(Hwnd(), kScrollLeftRepeat);
        } else if (m_pushed.Is(TabButton::ScrollRight)) {
            ::KillTimer(Hwnd(), kScrollRightDelay);
            ::KillTimer(Hwnd(), kScrollRightRepeat);
        }
    }
    m_pushed = {};
    if (Hwnd() && ::GetCapture() == Hwnd())
        ::ReleaseCapture();
}

void TabCtrl::FinishDrag(bool cancel) {
    if (!m_pushed.IsTab())
        return;
    TabItem* tab = m_pushed.tab;
    m_pushed = {};
    // Releasing the capture reports a capture change, which finds nothing pushed any more.
    if (Hwnd() && ::GetCapture() == Hwnd())
        ::ReleaseCapture();
    if (!m_dragging)
        return;
    m_dragging = false;
    if (KeyboardHook::Instance().HasListener(this))
        KeyboardHook::Instance().RemoveListener(this);
    if (cancel && !m_savedOrder.empty()) {
        ApplyOrder(m_savedOrder);
        RecalcLayout(true);
    }
    m_savedOrder.clear();
    if (m_notify)
        m_notify->OnFinishDrag(this, tab, cancel);
}

void TabCtrl::OnKeyDown(UINT key, UINT) {
    if (key == VK_ESCAPE && m_dragging) {
        FinishDrag(true);
        InvalidateClient();
    }
}

void TabCtrl::OnTimer(UINT_PTR id) {
    switch (id) {
    case kScrollLeftDelay:
        ::KillTimer(Hwnd(), id);
        if (m_pushed.Is(TabButton::ScrollLeft))
            ::SetTimer(Hwnd(), kScrollLeftRepeat, kRepeatMs, nullptr);
        break;
    case kScrollLeftRepeat:
        if (m_hot.Is(TabButton::ScrollLeft)) {
            m_scroll.position -= m_scrollStep;
            Update(true);
        }
        break;
    case kScrollRightDelay:
        ::KillTimer(Hwnd(), id);
        if (m_pushed.Is(TabButton::ScrollRight))
            ::SetTimer(Hwnd(), kScrollRightRepeat, kRepeatMs, nullptr);
        break;
    case kScrollRightRepeat:
        if (m_hot.Is(TabButton::ScrollRight)) {
            m_scroll.position += m_scrollStep;
            Update(true);
        }
        break;
    default:
        Default(WM_TIMER, id, 0);
        break;
    }
}

void TabCtrl::FillToolTipText() {
    m_tipBuffer.clear();
    if (m_hot.Is(TabButton::Close))
        m_tipBuffer = m_tipClose;
    else if (m_hot.Is(TabButton::Menu))
        m_tipBuffer = m_tipMenu;
    else if (m_hot.Is(TabButton::ScrollLeft))
        m_tipBuffer = m_tipScrollLeft;
    else if (m_hot.Is(TabButton::ScrollRight))
        m_tipBuffer = m_tipScrollRight;
    else if (m_hot.IsTab() && Owns(m_hot.tab)) {
        const TabItem* tab = m_hot.tab;
        switch (tablayout::ChooseTabTip(ToBox(tab->rect), ToBox(m_tabsArea), tab->width,
                                        !tab->tooltip.empty())) {
        case tablayout::TabTip::OwnText:
            m_tipBuffer = tab->tooltip;
            break;
        case tablayout::TabTip::Caption:
            m_tipBuffer = tab->text;
            break;
        case tablayout::TabTip::None:
            break;
        }
    }
}

LRESULT TabCtrl::OnNotify(NMHDR* header) {
    if (!header)
        return 0;
    if (m_toolTip && header->hwndFrom == m_toolTip) {
        if (header->code == TTN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
            FillToolTipText();
            info->szText[0] = '\0';
            info->hinst = nullptr;
            info->lpszText = m_tipBuffer.data();
            return 0;
        }
        if (header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
            FillToolTipText();
            const int n = ::MultiByteToWideChar(CP_ACP, 0, m_tipBuffer.c_str(), -1, nullptr, 0);
            m_tipBufferWide.assign(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
            if (n > 0)
                ::MultiByteToWideChar(CP_ACP, 0, m_tipBuffer.c_str(), -1, m_tipBufferWide.data(),
                                      n);
            info->szText[0] = L'\0';
            info->hinst = nullptr;
            info->lpszText = m_tipBufferWide.data();
            return 0;
        }
    }
    HWND parent = ::GetParent(Hwnd());
    return parent
               ? ::SendMessageA(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header))
               : 0;
}
