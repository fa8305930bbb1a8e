// The control's own metrics, hit-testing and tooltip window, used when no style replaces them.
#include "controls/tabctrl/tab_ctrl.h"

#include <algorithm>

int TabCtrl::Service::GetBorderWidth(const TabCtrl*, ITabCtrlRecalc*) {
    return 1;
}

RECT TabCtrl::Service::GetCtrlAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc*) {
    return ctrl->GetLayout() == LayoutTop ? RECT{3, 1, 3, 2} : RECT{3, 2, 3, 1};
}

RECT TabCtrl::Service::GetWndsAreaPadding(const TabCtrl*, ITabCtrlRecalc*) {
    return {0, 0, 0, 0};
}
RECT TabCtrl::Service::GetTabHorzMargin(const TabCtrl*, ITabCtrlRecalc*) {
    return {0, 0, 0, 0};
}
RECT TabCtrl::Service::GetTabPadding(const TabCtrl*, ITabCtrlRecalc*) {
    return {5, 3, 5, 3};
}
int TabCtrl::Service::GetTabImageTextSpace(const TabCtrl*, ITabCtrlRecalc*) {
    return 3;
}
int TabCtrl::Service::GetTabExtraWidth(const TabCtrl*, ITabCtrlRecalc*, const TabItem*) {
    return 0;
}

int TabCtrl::Service::GetTabMinWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) {
    // The padding of the style in use, so that a style's wider padding raises the minimum.
    const RECT padding = ctrl->GetRecalcManager()->GetTabPadding(ctrl, base);
    const int image = std::max(ctrl->GetImageList() ? ctrl->GetImageSize().cx : 0,
                               ctrl->GetImageListDisabled() ? ctrl->GetImageDisabledSize().cx : 0);
    return image + padding.left + padding.right;
}

RECT TabCtrl::Service::GetButtonScrollLeftHorzMargin(const TabCtrl*, ITabCtrlRecalc*) {
    return {8, 0, 0, 0};
}
RECT TabCtrl::Service::GetButtonScrollRightHorzMargin(const TabCtrl*, ITabCtrlRecalc*) {
    return {0, 0, 0, 0};
}
RECT TabCtrl::Service::GetButtonMenuHorzMargin(const TabCtrl*, ITabCtrlRecalc*) {
    return {8, 0, 0, 0};
}
RECT TabCtrl::Service::GetButtonCloseHorzMargin(const TabCtrl*, ITabCtrlRecalc*) {
    return {2, 0, 2, 0};
}

TabItem* TabCtrl::Service::HitTest(const TabCtrl* ctrl, ITabCtrlBehavior*, int x, int y) {
    const RECT area = ctrl->GetTabsArea();
    const POINT point{x, y};
    if (!::PtInRect(&area, point))
        return nullptr;
    for (int i = 0; i < ctrl->GetCount(); ++i) {
        TabItem* tab = ctrl->GetTab(i);
        if (::PtInRect(&tab->rect, point))
            return tab;
    }
    return nullptr;
}

bool TabCtrl::Service::SetCursor(const TabCtrl* ctrl, ITabCtrlBehavior* base) {
    if (!ctrl->GetCursor())
        return false;
    POINT point{};
    ::GetCursorPos(&point);
    ::ScreenToClient(ctrl->Hwnd(), &point);
    if (!ctrl->GetBehaviorManager()->HitTest(ctrl, base, point.x, point.y))
        return false;
    ::SetCursor(ctrl->GetCursor());
    return true;
}

HWND TabCtrl::Service::CreateToolTip(TabCtrl* ctrl, ITabCtrlToolTip*) {
    m_toolTip.Reset(::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      ctrl->Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr));
    if (!m_toolTip)
        return nullptr;
    const ULONG_PTR classStyle = ::GetClassLongPtrA(m_toolTip.Get(), GCL_STYLE);
    ::SetClassLongPtrA(m_toolTip.Get(), GCL_STYLE, classStyle | CS_DROPSHADOW);
    return m_toolTip.Get();
}
