#pragma once
// The desktop window: one borderless window over the whole screen with the description
// quarter, the screenshot quarter, the tab strip and buttons between them, and the icon grid
// of the selected tab in the lower half.

#include "controls/button/xbutton_xp.h"
#include "controls/richedit/ruler_rich_edit_ctrl.h"
#include "controls/tabctrl/tab_ctrl_ex.h"
#include "controls/tabctrl/tab_ctrl_style_vs2010.h"
#include "desktop/desktop_commands.h"
#include "desktop/grid_layout.h"
#include "desktop/icon_cache.h"
#include "desktop/running_programs.h"
#include "framework/unique_handle.h"
#include "framework/window.h"

#include <array>
#include <memory>
#include <vector>

class CApp;

class CMainFrame : public Window, public TabCtrlNotify {
public:
    static constexpr const char* kClassName = "KorvaneFrame";

    // Child control identifiers.
    static constexpr UINT kScreenshotId = 100;
    static constexpr UINT kModeButtonId = 102;
    static constexpr UINT kSaveButtonId = 103;
    static constexpr UINT kSettingsButtonId = 104;
    static constexpr UINT kShutdownButtonId = 105;
    static constexpr UINT kAddTabButtonId = 114;
    static constexpr UINT kTabStripId = 113;
    static constexpr UINT kFirstTabPageId = 10000;
    static constexpr UINT kDescriptionId = 1023;
    // What the description editor sends when its text changed and when Ctrl+S was pressed.
    static constexpr UINT kDescriptionChanged = WM_USER + 100;
    static constexpr UINT kDescriptionSave = WM_USER + 101;
    // Posted by OnCreate: what the first paint does not show is made once it is on screen.
    static constexpr UINT kCreateHiddenChildren = WM_USER + 102;
    static constexpr UINT_PTR kHoverTimer = 2;
    static constexpr UINT kHoverDelay = 500;

    explicit CMainFrame(CApp& app);
    ~CMainFrame() override;

    // A WS_POPUP window with the given title over `rect`, no parent, no menu.
    bool Create(const char* title, const RECT& rect);

    void LayoutGrid();
    void UpdateChildren();
    void RebuildTabs();
    void RebuildBackground();
    void DrawIcons(HDC dc);

    bool HitGrid(POINT point) const;
    GridCell CellOf(POINT point) const;
    bool IsCellOccupied(int column, int row, int tab) const;
    int EntryAt(POINT point) const;
    int CurrentTab() const;

    const DesktopLayout& Layout() const { return m_layout; }
    int PlacedLimit() const { return m_placedLimit; }
    // Null for the three admin-mode buttons until the first message loop has run.
    HWND ButtonHwnd(UINT id) const;
    CXButtonXP* Button(UINT id) const;
    HWND ScreenshotHwnd() const { return m_screenshot; }
    // The buttons' tooltip; null until the first message loop has run.
    HWND ToolTipHwnd() const { return m_toolTip; }
    TabCtrl& TabStrip() { return m_tabStrip; }
    const IconCache& CachedIcons() const { return m_iconCache; }
    const RunningPrograms& Running() const { return m_running; }
    CRulerRichEditCtrl& Description() { return Editor(); }

    // The strip reports a click on another tab: the grid shows that tab's icons.
    void OnTabSelected(TabCtrl* ctrl, TabItem* tab) override;
    // A right-button release on a tab opens the tab menu in admin mode.
    void OnRButtonUp(TabCtrl* ctrl, TabItem* tab, POINT point) override;

    // Runs a command of the command table; false for identifiers that are none of ours.
    bool OnCommand(UINT id);
    // After a customer session ended: the first tab, no description, restricted user mode.
    void ResetForNextCustomer();

    bool PreTranslateMessage(MSG& msg) override;

    int m_shownEntry = -1;
    HBITMAP m_screenshotBitmap = nullptr;
    bool m_moveMode = false;
    int m_hoverEntry = -1;
    UINT_PTR m_hoverTimer = 0;
    POINT m_lastMouse{0, 0};
    GridCell m_menuCell{};
    int m_menuEntry = -1;
    int m_tabMenuIndex = -1;
    // Set while a description is loaded into the editor: its change message is no edit.
    bool m_loadingDescription = false;

protected:
    void PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct ButtonSpec {
        UINT id;
        UINT icon;
    };

    int OnCreate();
    void CreateButtons(bool adminButtons);
    // The tab pages, the screenshot, the admin-mode buttons (hidden), the description editor
    // and the tooltips; at once when something needs them.
    void CreateHiddenChildren();
    // One empty page per tab, for the tab strip.
    void CreateTabPages();
    void CreateScreenshot();
    void CreateToolTips();
    // The description editor, made now if it is not made yet.
    CRulerRichEditCtrl& Editor();
    void OnSize();
    void OnTimer(UINT_PTR id);
    void OnRepaintTick();
    void InvalidateGrid();
    void OnHoverTimer();
    void OnMouseMove(POINT point);
    void OnLeftButtonUp(POINT point);
    void ShowDescriptionOf(int entry);
    void HideDescription();
    void SetScreenshot(HBITMAP bitmap);
    void CreateDescriptionEditor();
    void ColourDescriptionSelection();
    void MoveChild(HWND child, const GridRect& rect) const;

    // Modes (main_frame_commands.cpp).
    void AskForAdminMode();
    void EnterAdminMode();
    void LeaveAdminMode();
    void PlaceTabStrip();
    void SetButtonIcon(UINT buttonId, UINT iconId);
    void SetModeToolTip(const char* text);
    // Exit, shutdown and the commands of the tools and setup menus.
    void OnShutdownButton();
    void OfferShutdown();
    // A running program is brought back unless `newCopy` (Shift held) asks for another one.
    void StartProgramAt(POINT point, bool newCopy = false);
    void OpenHelp();
    void ChooseIconFont();
    void ChooseBackground();
    void ChooseDescriptionColour();
    void ChangePassword();
    void EditRestrictions();
    void EditIntegration();
    // The room's shared catalogue (main_frame_room.cpp).
    void EditCatalogueSource();
    void PublishCatalogue();
    void OnRoomCatalogueReady();
    // Puts a checked shared catalogue that waits in place and shows it; false when none waits.
    bool TakeRoomCatalogue();
    void ReloadCatalogue();
    // Customer sessions (main_frame_session.cpp).
    bool SessionsEnabled() const;
    void EditCustomerSessions();
    void EndCustomerSession(bool byCustomer);
    // Menus (main_frame_menus.cpp).
    static POINT CursorPosition();
    void ShowMenu(const std::vector<MenuItem>& items, POINT screenPoint);
    void OnRightButtonUp(POINT point);
    // Editing the catalogue (main_frame_editing.cpp); false for other identifiers.
    bool OnEditCommand(UINT id);
    bool IsEntry(int index) const;
    bool IsTab(int index) const;
    // Saves the whole catalogue; false (after telling the user) when the file could not be
    // written, the change staying in memory.
    bool SaveCatalogue();
    void Relayout();
    void AddProgram();
    void EditProgram();
    void DeleteProgram();
    void SetShownEntry(int index);
    // A left-button release on a free cell while a move is pending; false when none is.
    bool FinishMove(GridCell cell);
    void AddTab();
    void RenameTab();
    void DeleteTab();
    void OnDescriptionChanged();
    void SaveDescription();

    CApp& m_app;
    DesktopLayout m_layout;
    Occupancy m_occupancy;
    int m_placedLimit = -1;
    HWND m_screenshot = nullptr;
    HWND m_toolTip = nullptr;
    bool m_hiddenChildrenMade = false;
    std::array<std::unique_ptr<CXButtonXP>, 5> m_buttons;
    TabCtrlEx<TabCtrlStyle_VS2010_client> m_tabStrip;
    // Made with the editor's window: constructing it loads the Rich Edit library.
    std::unique_ptr<CRulerRichEditCtrl> m_description;
    // Empty place-holder panes the strip needs, one per catalogue tab.
    std::vector<HWND> m_tabPages;
    IconCache m_iconCache;
    RunningPrograms m_running;
};
