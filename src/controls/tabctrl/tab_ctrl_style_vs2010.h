#pragma once
// The desktop's look: a dark blue strip with light captions, the selected and the hot tab as
// rounded gradient shapes, and the pane framed by 4-pixel bands in the selected tab's colour.

#include "controls/tabctrl/tab_ctrl_style_base.h"

class TabCtrlStyle_VS2010_client : public TabCtrlStyle_base, public TabCtrlRecalcStub {
public:
    ITabCtrlRecalc* GetRecalcManager() override { return this; }

    COLORREF GetCtrlAreaBackColor(const TabCtrl* ctrl) override;
    COLORREF GetTabTextColor(const TabCtrl* ctrl, const TabItem* tab) override;
    COLORREF GetButtonMarkerColor(const TabCtrl* ctrl, bool hot, bool pushed) override;
    COLORREF GetEmptyWndsAreaBackColor(const TabCtrl* ctrl) override;
    void DrawTabBack(const TabCtrl* ctrl, HDC dc, const TabItem* tab, const RECT& rect,
                     HRGN clipRgn) override;
    void DrawButtonFrame(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                         bool pushed) override;
    void DrawCtrlAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) override;
    void DrawWndsAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) override;

    virtual void DrawWndsAreaFrame(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool top,
                                   bool active);
    virtual void DrawTabShape(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool top, bool active,
                              bool selected, bool hot);

    // Metrics: no border, padding only right of the tabs, room for the pane bands.
    int GetBorderWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
    RECT GetCtrlAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
    RECT GetWndsAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
    RECT GetTabPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
};
