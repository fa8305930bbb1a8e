#pragma once
// The replaceable managers of the tab strip: drawing, metrics, hit-testing, tooltips, the
// owner's notifications and what the user may do. A null manager means the control's default
// (or, for drawing and notifications, nothing).

#include "controls/tabctrl/tab_item.h"

#include <windows.h>

class TabCtrl;

class TabCtrlDraw {
public:
    virtual ~TabCtrlDraw() = default;
    virtual bool IsStraightOrder(const TabCtrl* ctrl);
    virtual void DrawBegin(const TabCtrl* ctrl, HDC dc);
    virtual void DrawBorder(const TabCtrl* ctrl, HDC dc, const RECT& rect);
    virtual void DrawCtrlAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect);
    virtual void DrawTab(const TabCtrl* ctrl, HDC dc, const TabItem* tab, HRGN clipRgn);
    virtual void DrawButtonClose(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                                 bool pushed);
    virtual void DrawButtonMenu(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                                bool pushed, bool partialView);
    virtual void DrawButtonScrollLeft(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                                      bool pushed, bool enabled);
    virtual void DrawButtonScrollRight(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                                       bool pushed, bool enabled);
    virtual void DrawWndsAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect);
    virtual void DrawEnd(const TabCtrl* ctrl, HDC dc);
};

// Metrics. `base` is the control's own implementation, so that an override can ask it.
class ITabCtrlRecalc {
public:
    virtual ~ITabCtrlRecalc() = default;
    virtual int GetBorderWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual RECT GetCtrlAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual RECT GetWndsAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    // Only left and right carry values.
    virtual RECT GetTabHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual RECT GetTabPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual int GetTabImageTextSpace(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual int GetTabExtraWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base, const TabItem* tab) = 0;
    virtual int GetTabMinWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual RECT GetButtonScrollLeftHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual RECT GetButtonScrollRightHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual RECT GetButtonMenuHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
    virtual RECT GetButtonCloseHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) = 0;
};

// Asks `base` for everything; a style overrides only the metrics it changes.
class TabCtrlRecalcStub : public ITabCtrlRecalc {
public:
    int GetBorderWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetBorderWidth(ctrl, base);
    }
    RECT GetCtrlAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetCtrlAreaPadding(ctrl, base);
    }
    RECT GetWndsAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetWndsAreaPadding(ctrl, base);
    }
    RECT GetTabHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetTabHorzMargin(ctrl, base);
    }
    RECT GetTabPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetTabPadding(ctrl, base);
    }
    int GetTabImageTextSpace(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetTabImageTextSpace(ctrl, base);
    }
    int GetTabExtraWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base, const TabItem* tab) override {
        return base->GetTabExtraWidth(ctrl, base, tab);
    }
    int GetTabMinWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetTabMinWidth(ctrl, base);
    }
    RECT GetButtonScrollLeftHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetButtonScrollLeftHorzMargin(ctrl, base);
    }
    RECT GetButtonScrollRightHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetButtonScrollRightHorzMargin(ctrl, base);
    }
    RECT GetButtonMenuHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetButtonMenuHorzMargin(ctrl, base);
    }
    RECT GetButtonCloseHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override {
        return base->GetButtonCloseHorzMargin(ctrl, base);
    }
};

class ITabCtrlBehavior {
public:
    virtual ~ITabCtrlBehavior() = default;
    // x, y in client coordinates; null when no tab is there.
    virtual TabItem* HitTest(const TabCtrl* ctrl, ITabCtrlBehavior* base, int x, int y) = 0;
    // True when the cursor was set.
    virtual bool SetCursor(const TabCtrl* ctrl, ITabCtrlBehavior* base) = 0;
};

class ITabCtrlToolTip {
public:
    virtual ~ITabCtrlToolTip() = default;
    // The tooltip window of the control, or null.
    virtual HWND CreateToolTip(TabCtrl* ctrl, ITabCtrlToolTip* base) = 0;
};

class ITabCtrlStyle {
public:
    virtual ~ITabCtrlStyle() = default;
    virtual TabCtrlDraw* GetDrawManager() = 0;
    virtual ITabCtrlRecalc* GetRecalcManager() = 0;
    virtual ITabCtrlBehavior* GetBehaviorManager() = 0;
    virtual ITabCtrlToolTip* GetToolTipManager() = 0;
};

class TabCtrlUserAbility {
public:
    virtual ~TabCtrlUserAbility() = default;
    virtual bool CanShowCloseButton(const TabCtrl* ctrl);
    virtual bool CanShowMenuButton(const TabCtrl* ctrl);
    virtual bool CanShowScrollButtons(const TabCtrl* ctrl);
};

// Implemented by the owner; points are screen coordinates.
class TabCtrlNotify {
public:
    virtual ~TabCtrlNotify() = default;
    virtual void OnTabPreCreate(TabCtrl* ctrl, HWND pane, const char* text, int image);
    virtual void OnTabPostCreate(TabCtrl* ctrl, TabItem* tab);
    virtual void OnTabPreDestroy(TabCtrl* ctrl, TabItem* tab);
    virtual void OnCloseButtonClicked(TabCtrl* ctrl, const RECT& rect, POINT point);
    virtual void OnMenuButtonClicked(TabCtrl* ctrl, const RECT& rect, POINT point);
    virtual void OnTabSelected(TabCtrl* ctrl, TabItem* tab);
    virtual void OnLButtonDown(TabCtrl* ctrl, TabItem* tab, POINT point);
    virtual void OnLButtonDblClk(TabCtrl* ctrl, TabItem* tab, POINT point);
    virtual void OnRButtonDown(TabCtrl* ctrl, TabItem* tab, POINT point);
    virtual void OnRButtonUp(TabCtrl* ctrl, TabItem* tab, POINT point);
    virtual void OnStartDrag(TabCtrl* ctrl, TabItem* tab, POINT point);
    virtual void OnDrag(TabCtrl* ctrl, TabItem* tab, POINT point, bool outside);
    virtual void OnFinishDrag(TabCtrl* ctrl, TabItem* tab, bool cancel);
};
