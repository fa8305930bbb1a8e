#include "controls/tabctrl/tab_ctrl_interfaces.h"

// Empty defaults: a style or an owner overrides only what it needs.

bool TabCtrlDraw::IsStraightOrder(const TabCtrl*) {
    return true;
}
void TabCtrlDraw::DrawBegin(const TabCtrl*, HDC) {}
void TabCtrlDraw::DrawBorder(const TabCtrl*, HDC, const RECT&) {}
void TabCtrlDraw::DrawCtrlAreaBack(const TabCtrl*, HDC, const RECT&) {}
void TabCtrlDraw::DrawTab(const TabCtrl*, HDC, const TabItem*, HRGN) {}
void TabCtrlDraw::DrawButtonClose(const TabCtrl*, HDC, const RECT&, bool, bool) {}
void TabCtrlDraw::DrawButtonMenu(const TabCtrl*, HDC, const RECT&, bool, bool, bool) {}
void TabCtrlDraw::DrawButtonScrollLeft(const TabCtrl*, HDC, const RECT&, bool, bool, bool) {}
void TabCtrlDraw::DrawButtonScrollRight(const TabCtrl*, HDC, const RECT&, bool, bool, bool) {}
void TabCtrlDraw::DrawWndsAreaBack(const TabCtrl*, HDC, const RECT&) {}
void TabCtrlDraw::DrawEnd(const TabCtrl*, HDC) {}

bool TabCtrlUserAbility::CanShowCloseButton(const TabCtrl*) {
    return true;
}
bool TabCtrlUserAbility::CanShowMenuButton(const TabCtrl*) {
    return true;
}
bool TabCtrlUserAbility::CanShowScrollButtons(const TabCtrl*) {
    return true;
}

void TabCtrlNotify::OnTabPreCreate(TabCtrl*, HWND, const char*, int) {}
void TabCtrlNotify::OnTabPostCreate(TabCtrl*, TabItem*) {}
void TabCtrlNotify::OnTabPreDestroy(TabCtrl*, TabItem*) {}
void TabCtrlNotify::OnCloseButtonClicked(TabCtrl*, const RECT&, POINT) {}
void TabCtrlNotify::OnMenuButtonClicked(TabCtrl*, const RECT&, POINT) {}
void TabCtrlNotify::OnTabSelected(TabCtrl*, TabItem*) {}
void TabCtrlNotify::OnLButtonDown(TabCtrl*, TabItem*, POINT) {}
void TabCtrlNotify::OnLButtonDblClk(TabCtrl*, TabItem*, POINT) {}
void TabCtrlNotify::OnRButtonDown(TabCtrl*, TabItem*, POINT) {}
void TabCtrlNotify::OnRButtonUp(TabCtrl*, TabItem*, POINT) {}
void TabCtrlNotify::OnStartDrag(TabCtrl*, TabItem*, POINT) {}
void TabCtrlNotify::OnDrag(TabCtrl*, TabItem*, POINT, bool) {}
void TabCtrlNotify::OnFinishDrag(TabCtrl*, TabItem*, bool) {}
