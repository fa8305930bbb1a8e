#pragma once
// A strip of named tabs over (or under) the pane of the selected tab. Geometry, drawing,
// hit-testing and tooltips come from replaceable managers; the owner hears of clicks,
// selection changes and drags through TabCtrlNotify.

#include "controls/tabctrl/activity_hook.h"
#include "controls/tabctrl/gdi_handles.h"
#include "controls/tabctrl/keyboard_hook.h"
#include "controls/tabctrl/tab_ctrl_interfaces.h"
#include "controls/tabctrl/tab_layout.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"
#include "framework/window.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class Profile;

class TabCtrl : public Window,
                public TabCtrlUserAbility,
                public ActivityHook::INotify,
                public KeyboardHook::Notify,
                private PreTranslateFilter {
public:
    // The control's own metrics, hit-testing and tooltip window.
    class Service : public ITabCtrlRecalc, public ITabCtrlBehavior, public ITabCtrlToolTip {
    public:
        int GetBorderWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetCtrlAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetWndsAreaPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetTabHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetTabPadding(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        int GetTabImageTextSpace(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        int GetTabExtraWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base,
                             const TabItem* tab) override;
        int GetTabMinWidth(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetButtonScrollLeftHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetButtonScrollRightHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetButtonMenuHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;
        RECT GetButtonCloseHorzMargin(const TabCtrl* ctrl, ITabCtrlRecalc* base) override;

        TabItem* HitTest(const TabCtrl* ctrl, ITabCtrlBehavior* base, int x, int y) override;
        bool SetCursor(const TabCtrl* ctrl, ITabCtrlBehavior* base) override;

        HWND CreateToolTip(TabCtrl* ctrl, ITabCtrlToolTip* base) override;

    private:
        UniqueWindow m_toolTip;
    };

    enum Layout { LayoutTop = 0, LayoutBottom = 1 };
    enum Behavior { BehaviorShrink = 0, BehaviorScroll = 1 };

    TabCtrl();
    ~TabCtrl() override;

    bool Create(HWND parent, DWORD style, const RECT& rect, UINT id);

    // Managers.
    void SetDrawManager(TabCtrlDraw* draw) { m_draw = draw; }
    TabCtrlDraw* GetDrawManager() const { return m_draw; }
    void SetRecalcManager(ITabCtrlRecalc* recalc);
    ITabCtrlRecalc* GetRecalcManager() const { return m_recalc; }
    void SetBehaviorManager(ITabCtrlBehavior* behavior);
    ITabCtrlBehavior* GetBehaviorManager() const { return m_behavior; }
    void SetToolTipManager(ITabCtrlToolTip* toolTip);
    ITabCtrlToolTip* GetToolTipManager() const { return m_toolTipManager; }
    void SetNotifyManager(TabCtrlNotify* notify) { m_notify = notify; }
    TabCtrlNotify* GetNotifyManager() const { return m_notify; }
    void SetUserAbility(TabCtrlUserAbility* ability);
    TabCtrlUserAbility* GetUserAbility() const { return m_ability; }
    // The control's own managers, the `base` every manager call receives.
    ITabCtrlRecalc* GetRecalcBase() const { return &m_service; }
    ITabCtrlBehavior* GetBehaviorBase() const { return &m_service; }

    // Options. None of them lays out or repaints; call Update afterwards.
    void SetLayout(int layout) { m_layout = layout; }
    int GetLayout() const { return m_layout; }
    void SetBehavior(int behavior) { m_behaviorOption = behavior; }
    int GetBehavior() const { return m_behaviorOption; }
    void SetDrawBorder(bool draw) { m_drawBorder = draw; }
    bool IsDrawBorder() const { return m_drawBorder; }
    void SetEqualTabWidth(bool equal) { m_equalTabWidth = equal; }
    bool IsEqualTabWidth() const { return m_equalTabWidth; }
    void SetTabsDragging(bool enable) { m_tabsDragging = enable; }
    bool IsTabsDragging() const { return m_tabsDragging; }
    void SetHideSingleTab(bool hide) { m_hideSingleTab = hide; }
    bool IsHideSingleTab() const { return m_hideSingleTab; }
    void SetShowCloseButton(bool show) { m_showClose = show; }
    bool IsShowCloseButton() const { return m_showClose; }
    void SetShowMenuButton(bool show) { m_showMenu = show; }
    bool IsShowMenuButton() const { return m_showMenu; }
    void SetShowScrollButtons(bool show) { m_showScroll = show; }
    bool IsShowScrollButtons() const { return m_showScroll; }
    void SetShowToolTips(bool show) { m_showToolTips = show; }
    bool IsShowToolTips() const { return m_showToolTips; }
    void SetScrollStep(int step) { m_scrollStep = step; }
    int GetScrollStep() const { return m_scrollStep; }

    // Images: square images as tall as the bitmap, magenta (255, 0, 255) transparent.
    bool SetImageLists(HBITMAP normal, HBITMAP disabled);
    void SetImageListsRef(HIMAGELIST normal, HIMAGELIST disabled);
    bool SetSystemImageList(HBITMAP buttons);
    void SetSystemImageListRef(HIMAGELIST buttons);
    HIMAGELIST GetImageList() const { return m_imageList; }
    HIMAGELIST GetImageListDisabled() const { return m_imageListDisabled; }
    HIMAGELIST GetSystemImageList() const { return m_systemImageList; }
    SIZE GetImageSize() const { return m_imageSize; }
    SIZE GetImageDisabledSize() const { return m_imageDisabledSize; }
    SIZE GetSystemImageSize() const { return m_systemImageSize; }

    // Fonts: the plain setters make the control's own copy, the Ref ones keep the caller's.
    bool SetFontNormal(HFONT font);
    bool SetFontSelect(HFONT font);
    void SetFontNormalRef(HFONT font);
    void SetFontSelectRef(HFONT font);
    HFONT GetFontNormal() const { return m_fontNormal; }
    HFONT GetFontSelect() const { return m_fontSelect; }

    // The cursor over tabs; null or zero removes it.
    bool SetCursor(UINT resourceId);
    bool SetCursor(HMODULE module, UINT resourceId);
    bool SetCursor(HCURSOR cursor);
    void SetCursorRef(HCURSOR cursor);
    HCURSOR GetCursor() const { return m_cursor; }

    void SetToolTipTextClose(const char* text) { m_tipClose = text ? text : ""; }
    void SetToolTipTextMenu(const char* text) { m_tipMenu = text ? text : ""; }
    void SetToolTipTextScrollLeft(const char* text) { m_tipScrollLeft = text ? text : ""; }
    void SetToolTipTextScrollRight(const char* text) { m_tipScrollRight = text ? text : ""; }
    const std::string& GetToolTipTextClose() const { return m_tipClose; }
    const std::string& GetToolTipTextMenu() const { return m_tipMenu; }
    const std::string& GetToolTipTextScrollLeft() const { return m_tipScrollLeft; }
    const std::string& GetToolTipTextScrollRight() const { return m_tipScrollRight; }
    HWND GetToolTip() const { return m_toolTip; }
    // Set before Create: the tooltip is made by the first CreateToolTip call instead of by
    // Create, so a window that has to come up fast makes it once it is on screen.
    void SetToolTipDeferred(bool deferred) { m_toolTipDeferred = deferred; }
    // Makes the tooltip of a created control that has none yet; false when it cannot be made.
    bool CreateToolTip();

    // The tab list.
    TabItem* Add(HWND pane, const char* text, int image);
    TabItem* Insert(TabItem* before, HWND pane, const char* text, int image);
    void Delete(TabItem* tab);
    void DeleteAll();
    void Update(bool redraw = true);

    int GetCount() const { return static_cast<int>(m_tabs.size()); }
    TabItem* GetTab(int index) const { return m_tabs[static_cast<std::size_t>(index)].get(); }
    int GetIndex(const TabItem* tab) const;
    TabItem* GetSel() const { return m_sel; }
    void SetSel(TabItem* tab);
    TabItem* HitTest(POINT point) const; // client coordinates

    // Per-tab queries; a tab that is not in the list answers with empty values.
    std::string GetTabText(const TabItem* tab) const;
    std::string GetTabToolTipText(const TabItem* tab) const;
    int GetTabImage(const TabItem* tab) const;
    std::int64_t GetTabData(const TabItem* tab) const;
    bool IsTabDisabled(const TabItem* tab) const;
    HWND GetTabWnd(const TabItem* tab) const;
    RECT GetTabRect(const TabItem* tab) const;
    bool IsTabVisible(const TabItem* tab, bool* partially) const;
    void SetTabText(TabItem* tab, const char* text);
    void SetTabToolTipText(TabItem* tab, const char* text);
    void SetTabData(TabItem* tab, std::int64_t data);
    void SetTabDisabled(TabItem* tab, bool disabled);

    RECT GetCtrlArea() const { return m_ctrlArea; }
    RECT GetTabsArea() const { return m_tabsArea; }
    RECT GetWndsArea() const { return m_wndsArea; }
    RECT GetWindowArea() const { return m_windowArea; }
    RECT GetButtonCloseRect() const { return m_closeRect; }
    RECT GetButtonMenuRect() const { return m_menuRect; }
    RECT GetButtonScrollLeftRect() const { return m_scrollLeftRect; }
    RECT GetButtonScrollRightRect() const { return m_scrollRightRect; }

    TabElement GetHotElement() const { return m_hot; }
    TabElement GetPushedElement() const { return m_pushed; }
    bool IsDragging() const { return m_dragging; }
    bool IsPartialView() const { return m_scroll.partialView; }
    bool IsScrollLeftAllowed() const { return m_scroll.leftEnabled; }
    bool IsScrollRightAllowed() const { return m_scroll.rightEnabled; }
    int GetScrollPos() const { return m_scroll.position; }
    int GetMaxScrollPos() const { return m_scroll.maximum; }

    // Scrolling, in scroll behaviour only; layout clamps the position.
    void ScrollToBegin();
    void ScrollToEnd();
    void EnsureVisible(TabItem* tab);

    bool SaveState(Profile& profile, const std::string& section, const std::string& entry) const;
    bool LoadState(Profile& profile, const std::string& section, const std::string& entry);

    void SetWatchActivityCtrl(bool watch);
    bool IsWatchActivityCtrl() const { return m_watchActivity; }
    bool IsActive() const { return m_active; }

    // Paints the whole client area into `target` (WM_PAINT and WM_PRINTCLIENT come here).
    void DrawTo(HDC target);

    // Relays mouse messages of the control to its tooltip.
    bool PreTranslateMessage(MSG& msg) override;

    // From KeyboardHook while a tab is dragged: Escape cancels the drag.
    void OnKeyDown(UINT key, UINT flags) override;
    void OnActive(bool active, HWND wnd) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RecalcLayout(bool redraw);

private:
    // Cleared by WM_DESTROY, so that code after a notification knows whether the control (or
    // even the object) is gone. Guards nest when a notification causes another.
    struct AliveGuard {
        explicit AliveGuard(TabCtrl& ctrl);
        ~AliveGuard();
        AliveGuard(const AliveGuard&) = delete;
        AliveGuard& operator=(const AliveGuard&) = delete;
        TabCtrl& ctrl;
        AliveGuard* previous;
        bool alive = true;
    };

    bool Owns(const TabItem* tab) const { return GetIndex(tab) >= 0; }
    TabItem* TabAt(int index) const {
        return index >= 0 && index < GetCount() ? GetTab(index) : nullptr;
    }
    std::vector<bool> DisabledFlags() const;
    void PlacePane(HWND pane, const RECT& area, bool repaint) const;
    void HidePane(HWND pane) const;
    RECT PaneRect(const RECT& area) const;
    void ApplyOrder(const std::vector<TabItem*>& order);
    int StripHeight(HDC dc) const;
    POINT ScreenPoint(POINT client) const;
    void InvalidateClient();
    void FocusSelectedPane();

    // Painting.
    void OnPaint();
    void DrawTabs(HDC dc);
    void DrawButtons(HDC dc);

    // Mouse, timers and dragging.
    TabElement ElementAt(POINT point) const;
    void UpdateHot(POINT point);
    void OnMouseMove(POINT point);
    bool PressLeft(POINT point, TabElement& pressed); // false when the control was destroyed
    void OnLButtonUp(POINT point);
    void OnTimer(UINT_PTR id);
    void StopScrolling();
    void FinishDrag(bool cancel);
    void OnDragMove(POINT point);
    LRESULT OnNotify(NMHDR* header);
    void FillToolTipText();

    std::vector<std::unique_ptr<TabItem>> m_tabs;
    std::vector<TabItem*> m_savedOrder; // the order before a drag, restored when it is cancelled
    TabItem* m_sel = nullptr;
    TabElement m_hot;
    TabElement m_pushed;
    POINT m_pressPoint{};
    bool m_dragging = false;
    tablayout::ScrollState m_scroll;

    RECT m_windowArea{};
    RECT m_ctrlArea{};
    RECT m_tabsArea{};
    RECT m_wndsArea{};
    RECT m_closeRect{};
    RECT m_menuRect{};
    RECT m_scrollLeftRect{};
    RECT m_scrollRightRect{};

    int m_layout = LayoutTop;
    int m_behaviorOption = BehaviorShrink;
    bool m_drawBorder = true;
    bool m_equalTabWidth = false;
    bool m_tabsDragging = false;
    bool m_hideSingleTab = false;
    bool m_showClose = true;
    bool m_showMenu = true;
    bool m_showScroll = true;
    bool m_showToolTips = true;
    int m_scrollStep = 15;
    bool m_watchActivity = false;
    bool m_active = false;

    UniqueImageList m_ownImageList;
    UniqueImageList m_ownImageListDisabled;
    UniqueImageList m_ownSystemImageList;
    HIMAGELIST m_imageList = nullptr;
    HIMAGELIST m_imageListDisabled = nullptr;
    HIMAGELIST m_systemImageList = nullptr;
    SIZE m_imageSize{};
    SIZE m_imageDisabledSize{};
    SIZE m_systemImageSize{};

    UniqueFont m_ownFontNormal;
    UniqueFont m_ownFontSelect;
    HFONT m_fontNormal = nullptr;
    HFONT m_fontSelect = nullptr;

    UniqueCursor m_ownCursor;
    HCURSOR m_cursor = nullptr;

    std::string m_tipClose;
    std::string m_tipMenu;
    std::string m_tipScrollLeft;
    std::string m_tipScrollRight;
    std::string m_tipBuffer;
    std::wstring m_tipBufferWide;
    HWND m_toolTip = nullptr;
    bool m_toolTipDeferred = false;
    WinApp* m_filterApp = nullptr;

    mutable Service m_service;
    TabCtrlDraw* m_draw = nullptr;
    ITabCtrlRecalc* m_recalc = &m_service;
    ITabCtrlBehavior* m_behavior = &m_service;
    ITabCtrlToolTip* m_toolTipManager = &m_service;
    TabCtrlNotify* m_notify = nullptr;
    TabCtrlUserAbility* m_ability = this;

    AliveGuard* m_aliveChain = nullptr;
};
