#pragma once
// The tab strip drawn in system colours, and the parts every style shares: caption and image
// of a tab, button glyphs in a marker colour, and the colour hooks a style overrides.

#include "controls/tabctrl/tab_ctrl_interfaces.h"

#include <windows.h>

class TabCtrlStyle_base : public ITabCtrlStyle, public TabCtrlDraw {
public:
    // ITabCtrlStyle: only drawing is replaced; metrics, hit-testing and tooltips stay the
    // control's own.
    TabCtrlDraw* GetDrawManager() override { return this; }
    ITabCtrlRecalc* GetRecalcManager() override { return nullptr; }
    ITabCtrlBehavior* GetBehaviorManager() override { return nullptr; }
    ITabCtrlToolTip* GetToolTipManager() override { return nullptr; }

    virtual COLORREF GetBorderColor(const TabCtrl* ctrl);
    virtual COLORREF GetSeparatorColor(const TabCtrl* ctrl);
    virtual COLORREF GetCtrlAreaBackColor(const TabCtrl* ctrl);
    virtual COLORREF GetTabSelectedBackColor(const TabCtrl* ctrl);
    virtual COLORREF GetTabTextColor(const TabCtrl* ctrl, const TabItem* tab);
    virtual COLORREF GetButtonMarkerColor(const TabCtrl* ctrl, bool hot, bool pushed);
    virtual COLORREF GetCtrlAreaBandColor(const TabCtrl* ctrl);
    virtual COLORREF GetEmptyWndsAreaBackColor(const TabCtrl* ctrl);
    virtual void DrawTabBack(const TabCtrl* ctrl, HDC dc, const TabItem* tab, const RECT& rect,
                             HRGN clipRgn);
    virtual void DrawTabContext(const TabCtrl* ctrl, HDC dc, const TabItem* tab, const RECT& rect,
                                HRGN clipRgn);
    virtual void DrawTabImage(const TabCtrl* ctrl, HDC dc, const TabItem* tab, const RECT& rect,
                              HRGN clipRgn);
    virtual void DrawTabText(const TabCtrl* ctrl, HDC dc, const TabItem* tab, const RECT& rect,
                             HRGN clipRgn);
    virtual void DrawButtonFrame(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                                 bool pushed);

    // TabCtrlDraw
    void DrawBorder(const TabCtrl* ctrl, HDC dc, const RECT& rect) override;
    void DrawCtrlAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) override;
    void DrawTab(const TabCtrl* ctrl, HDC dc, const TabItem* tab, HRGN clipRgn) override;
    void DrawButtonClose(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot,
                         bool pushed) override;
    void DrawButtonMenu(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot, bool pushed,
                        bool partialView) override;
    void DrawButtonScrollLeft(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot, bool pushed,
                              bool enabled) override;
    void DrawButtonScrollRight(const TabCtrl* ctrl, HDC dc, const RECT& rect, bool hot, bool pushed,
                               bool enabled) override;
    void DrawWndsAreaBack(const TabCtrl* ctrl, HDC dc, const RECT& rect) override;

protected:
    // The glyph of the system image list with that index, in the marker colour.
    void DrawMarker(const TabCtrl* ctrl, HDC dc, const RECT& rect, int glyph, bool hot,
                    bool pushed);
};
