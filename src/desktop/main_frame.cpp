#include "desktop/main_frame.h"
#include "desktop/system_actions.h"

#include "desktop/picture_loader.h"

#include "app/app.h"
#include "app/lockdown_session.h"
#include "framework/dc.h"
#include "framework/file_exception_report.h"
#include "framework/modal_ui.h"
#include "resource.h"
#include "session/customer_session.h"

#include <commctrl.h>
#include <richedit.h>

namespace {

// Ticks of the repaint timer since the program started, for the whole process.
int g_timerTicks = 0;

// The five buttons in their creation order, with their icons.
constexpr UINT kButtonIds[5] = {CMainFrame::kModeButtonId, CMainFrame::kSaveButtonId,
                                CMainFrame::kSettingsButtonId, CMainFrame::kShutdownButtonId,
                                CMainFrame::kAddTabButtonId};
constexpr UINT kButtonIcons[5] = {IDI_LOCKED, IDI_SAVE, IDI_SETTINGS, IDI_SHUTDOWN, IDI_ADD_TAB};

} // namespace

CMainFrame::CMainFrame(CApp& app) : m_app(app) {}

CMainFrame::~CMainFrame() {
    // Children first: they go with the window, the bitmaps they show after it.
    Destroy();
    if (m_screenshotBitmap)
        ::DeleteObject(m_screenshotBitmap);
}

bool CMainFrame::Create(const char* title, const RECT& rect) {
    if (!RegisterClass(kClassName, CS_DBLCLKS, nullptr))
        return false;
    return CreateEx(0, kClassName, title, WS_POPUP, rect, nullptr, nullptr);
}

void CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.dwExStyle = 0; // no client edge
}

bool CMainFrame::PreTranslateMessage(MSG& msg) {
    if (m_toolTip)
        ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    return Window::PreTranslateMessage(msg);
}

CXButtonXP* CMainFrame::Button(UINT id) const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (kButtonIds[i] == id)
            return m_buttons[i].get();
    }
    return nullptr;
}

HWND CMainFrame::ButtonHwnd(UINT id) const {
    CXButtonXP* button = Button(id);
    return button ? button->Hwnd() : nullptr;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (Default(message, wParam, lParam) == -1)
            return -1;
        return OnCreate();
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT clip;
        ::GetClipBox(dc, &clip);
        HBRUSH brush = m_app.m_backgroundBrush ? m_app.m_backgroundBrush.Get()
                                               : static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        SelectObjectGuard select(dc, brush);
        ::PatBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, PATCOPY);
        return TRUE;
    }
    case WM_PAINT: {
        PaintDc dc(Hwnd());
        DrawIcons(dc.Get());
        return 0;
    }
    case WM_SIZE:
        Default(message, wParam, lParam);
        OnSize();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return Default(message, wParam, lParam);
    case WM_LBUTTONUP:
        OnLeftButtonUp({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return Default(message, wParam, lParam);
    case WM_LBUTTONDBLCLK:
        StartProgramAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))},
                       (wParam & MK_SHIFT) != 0);
        return Default(message, wParam, lParam);
    case WM_RBUTTONUP: {
        m_moveMode = false; // any right-button release ends a pending move
        const LRESULT result = Default(message, wParam, lParam);
        OnRightButtonUp({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return result;
    }
    case WM_COMMAND:
        // Menu items and button clicks; other notifications of the children go on.
        if (HIWORD(wParam) == 0 && OnCommand(LOWORD(wParam)))
            return 0;
        return Default(message, wParam, lParam);
    case kCreateHiddenChildren:
        CreateHiddenChildren();
        return 0;
    case RoomCatalogue::kReadyMessage:
        OnRoomCatalogueReady();
        return 0;
    case kDescriptionChanged:
        OnDescriptionChanged();
        return 0;
    case kDescriptionSave:
        // Ctrl+S saves only where the Save description button is offered: in admin mode.
        if (::IsWindowVisible(ButtonHwnd(kSaveButtonId)))
            SaveDescription();
        return 0;
    case WM_CLOSE:
        // Closing the window (Alt+F4 among others) is the shutdown button: customers never
        // close the desktop; only the exit commands destroy it.
        OnCommand(command::kShutdownButton);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

int CMainFrame::OnCreate() {
    m_tabStrip.SetToolTipDeferred(true);
    if (m_tabStrip.Create(Hwnd(), WS_CHILD | WS_VISIBLE, RECT{}, kTabStripId))
        m_tabStrip.SetNotifyManager(this);
    // The desktop starts in restricted user mode with no program chosen: only the mode and
    // shutdown buttons show, the description and the screenshot have no room until a program is
    // chosen, and no tooltip shows before the pointer rests on a button. The admin buttons, the
    // tab pages, the screenshot, the description editor and the tooltips (windows that each cost
    // a round of server calls under Wine; the classes of the pages, the screenshot and the
    // tooltips also load the common controls library, which the buttons avoid) are made once the
    // first paint is done.
    CreateButtons(false);
    ::PostMessageA(Hwnd(), kCreateHiddenChildren, 0, 0);
    if (!ShutdownButtonEnabled(m_app.isRestart, SessionsEnabled()))
        ::EnableWindow(ButtonHwnd(kShutdownButtonId), FALSE);
    UpdateChildren();
    RebuildTabs();
    return 0;
}

void CMainFrame::CreateButtons(bool adminButtons) {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const bool admin = kButtonIds[i] == kSaveButtonId || kButtonIds[i] == kSettingsButtonId ||
                           kButtonIds[i] == kAddTabButtonId;
        if (admin != adminButtons || m_buttons[i])
            continue;
        auto button = std::make_unique<CXButtonXP>();
        if (button->CreateWithoutCommonControls("", WS_CHILD | (admin ? 0 : WS_VISIBLE), RECT{},
                                                Hwnd(), kButtonIds[i])) {
            button->SetIcon(kButtonIcons[i], 1).EnableTheming(true);
            ::RedrawWindow(button->Hwnd(), nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        m_buttons[i] = std::move(button);
    }
}

void CMainFrame::CreateHiddenChildren() {
    if (m_hiddenChildrenMade || !Hwnd())
        return;
    m_hiddenChildrenMade = true;
    CreateTabPages();
    m_tabStrip.Update(false);
    CreateScreenshot();
    // Each overlaps its neighbours by a pixel; made in their first order after the other two,
    // every overlapping pair keeps the order of their creation, so the same button draws the
    // shared pixel.
    CreateButtons(true);
    MoveChild(ButtonHwnd(kSaveButtonId), m_layout.saveButton);
    MoveChild(ButtonHwnd(kSettingsButtonId), m_layout.settingsButton);
    MoveChild(ButtonHwnd(kAddTabButtonId), m_layout.addTabButton);
    CreateDescriptionEditor();
    CreateToolTips();
}

void CMainFrame::CreateScreenshot() {
    m_screenshot = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_BITMAP, 0, 0, 0, 0, Hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScreenshotId)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    if (!m_screenshot)
        return;
    // It takes the place in the stacking order that it had when it was the first child made:
    // beyond the tab strip, which was the next.
    const bool firstMadeOnTop = ::GetWindow(Hwnd(), GW_CHILD) == m_tabStrip.Hwnd();
    ::SetWindowPos(m_screenshot, firstMadeOnTop ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MoveChild(m_screenshot, m_layout.screenshot);
}

void CMainFrame::CreateToolTips() {
    m_tabStrip.CreateToolTip();
    m_toolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!m_toolTip)
        return;
    ::SendMessageA(m_toolTip, TTM_SETMAXTIPWIDTH, 0, 0x7FFF);
    const struct {
        UINT id;
        const char* text;
    } tips[] = {{kModeButtonId, "Switch to admin mode"},
                {kShutdownButtonId, "Shutdown/reboot computer"},
                {kSaveButtonId, "Save description"},
                {kSettingsButtonId, "Settings"},
                {kAddTabButtonId, "Add tab"}};
    for (const auto& tip : tips) {
        TOOLINFOA info{};
        info.cbSize = sizeof(info);
        info.uFlags = TTF_IDISHWND;
        info.hwnd = Hwnd();
        info.uId = reinterpret_cast<UINT_PTR>(ButtonHwnd(tip.id));
        info.lpszText = const_cast<char*>(tip.text);
        ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

CRulerRichEditCtrl& CMainFrame::Editor() {
    CreateHiddenChildren();
    if (!m_description)
        m_description = std::make_unique<CRulerRichEditCtrl>();
    return *m_description;
}

void CMainFrame::CreateDescriptionEditor() {
    if (!m_description)
        m_description = std::make_unique<CRulerRichEditCtrl>();
    CRulerRichEditCtrl& editor = *m_description;
    editor.m_notifyWnd = Hwnd();
    editor.m_changeMessage = kDescriptionChanged;
    editor.m_saveMessage = kDescriptionSave;
    // Hidden from the start, so the editor does not make the bar and ruler only to hide them.
    editor.ShowRuler(false);
    editor.ShowToolbar(false);
    if (!editor.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{}, Hwnd(), kDescriptionId, true))
        return;
    editor.SetReadOnly(true);
    ::SendMessageA(editor.GetRichEditCtrl().Hwnd(), EM_SETBKGNDCOLOR, 0,
                   static_cast<LPARAM>(m_app.ofback));
    ColourDescriptionSelection();
}

// New text typed into the description takes the description colour.
void CMainFrame::ColourDescriptionSelection() {
    HWND edit = Editor().GetRichEditCtrl().Hwnd();
    if (!edit)
        return;
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = static_cast<COLORREF>(m_app.ofcolor);
    ::SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void CMainFrame::LayoutGrid() {
    m_placedLimit = -1;
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    m_layout = DesktopLayout::Compute(client.right, client.bottom, m_app.m_adminMode != 0);
    if (!m_app.m_catalogue) {
        m_occupancy = Occupancy();
        return;
    }
    PlacementResult placed = PlaceEntries(*m_app.m_catalogue, m_layout.columns, m_layout.rows);
    m_occupancy = std::move(placed.occupancy);
    m_placedLimit = placed.placedLimit;
    if (placed.saveError)
        ReportFileException(Hwnd(), FileException(placed.saveErrorPath, *placed.saveError));
    if (m_placedLimit != -1)
        AppMessageBox(Hwnd(), "No space for icons, please increase your screen resolution",
                      "Warning!", MB_OK);
}

void CMainFrame::MoveChild(HWND child, const GridRect& r) const {
    if (!child)
        return;
    // A child already in place is left alone: under Wine even a move that changes nothing
    // costs a round of window-position messages and a server call, for every child.
    RECT now;
    if (::GetWindowRect(child, &now)) {
        ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&now), 2);
        if (now.left == r.left && now.top == r.top && now.right == r.right &&
            now.bottom == r.bottom)
            return;
    }
    ::MoveWindow(child, r.left, r.top, r.Width(), r.Height(), TRUE);
}

void CMainFrame::UpdateChildren() {
    MoveChild(m_screenshot, m_layout.screenshot);
    if (m_shownEntry >= 0 && m_app.m_catalogue && m_shownEntry < m_app.m_catalogue->m_count) {
        CreateHiddenChildren();
        const ProgramEntry& entry = m_app.m_catalogue->m_entries[m_shownEntry];
        SetScreenshot(nullptr); // the picture lets go of the bitmap before it is replaced
        LoadPicture(entry.screenshotPath, m_layout.screenshot.Width(), m_layout.screenshot.Height(),
                    static_cast<COLORREF>(m_app.cvetfona), m_screenshotBitmap);
        SetScreenshot(m_screenshotBitmap);
        ::ShowWindow(m_screenshot, SW_SHOW);

        MoveChild(Editor().Hwnd(), m_layout.description);
        m_loadingDescription = true;
        Editor().SetRTF(entry.description);
        ColourDescriptionSelection();
        m_loadingDescription = false;
    }
    MoveChild(ButtonHwnd(kModeButtonId), m_layout.modeButton);
    MoveChild(ButtonHwnd(kSaveButtonId), m_layout.saveButton);
    MoveChild(ButtonHwnd(kSettingsButtonId), m_layout.settingsButton);
    MoveChild(ButtonHwnd(kShutdownButtonId), m_layout.shutdownButton);
    MoveChild(ButtonHwnd(kAddTabButtonId), m_layout.addTabButton);
    MoveChild(m_tabStrip.Hwnd(), m_layout.tabStrip);
}

void CMainFrame::SetScreenshot(HBITMAP bitmap) {
    if (!m_screenshot)
        return;
    auto previous = reinterpret_cast<HBITMAP>(
        ::SendMessageA(m_screenshot, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    // A static of the version 6 controls may draw from its own copy of a 32-bit bitmap; such a
    // copy is ours to delete, our own bitmap is not.
    if (previous && previous != m_screenshotBitmap && previous != bitmap)
        ::DeleteObject(previous);
}

void CMainFrame::RebuildTabs() {
    if (!m_tabStrip.Hwnd())
        return;
    m_tabStrip.DeleteAll();
    for (HWND page : m_tabPages)
        ::DestroyWindow(page);
    m_tabPages.clear();
    if (m_app.m_catalogue) {
        for (const std::string& name : m_app.m_catalogue->m_tabs)
            m_tabStrip.Add(nullptr, name.c_str(), -1);
    }
    if (m_hiddenChildrenMade)
        CreateTabPages();
    // The strip selects the first tab added, so the grid starts on tab 0.
    m_tabStrip.Update(true);
}

void CMainFrame::CreateTabPages() {
    // The pages are empty place-holders of no size (list views: the common controls library),
    // so the first paint shows the same without them.
    for (int k = 0; k < m_tabStrip.GetCount(); ++k) {
        HWND page =
            ::CreateWindowExA(0, WC_LISTVIEWA, "", 0x42000009, 0, 0, 0, 0, m_tabStrip.Hwnd(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstTabPageId + k)),
                              ::GetModuleHandleA(nullptr), nullptr);
        m_tabPages.push_back(page);
        m_tabStrip.GetTab(k)->pane = page;
    }
}

int CMainFrame::CurrentTab() const {
    return m_tabStrip.Hwnd() ? m_tabStrip.GetIndex(m_tabStrip.GetSel()) : -1;
}

void CMainFrame::OnTabSelected(TabCtrl*, TabItem*) {
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

bool CMainFrame::HitGrid(POINT p) const {
    return m_layout.HitGrid(p.x, p.y);
}

GridCell CMainFrame::CellOf(POINT p) const {
    return m_layout.CellOf(p.x, p.y);
}

bool CMainFrame::IsCellOccupied(int column, int row, int tab) const {
    return m_occupancy.IsOccupied(column, row, tab);
}

int CMainFrame::EntryAt(POINT p) const {
    if (!HitGrid(p) || !m_app.m_catalogue)
        return -1;
    const GridCell cell = CellOf(p);
    return EntryOnCell(*m_app.m_catalogue, m_occupancy, cell.column, cell.row, CurrentTab());
}

void CMainFrame::OnSize() {
    if (::IsIconic(Hwnd())) {
        ::ShowWindow(Hwnd(), SW_SHOWNORMAL);
        return;
    }
    m_app.ReadScreenRect();
    LayoutGrid();
    UpdateChildren();
    RebuildBackground();
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id == CApp::kRepaintTimer) {
        if (m_app.m_onTick)
            m_app.m_onTick();
        OnRepaintTick();
        if (m_app.m_session)
            m_app.m_session->OnTick(); // the idle watch needs no timer of its own
    } else if (id == kHoverTimer)
        OnHoverTimer();
}

void CMainFrame::InvalidateGrid() {
    // A marker that goes needs the background under it, so the grid is erased too.
    const RECT grid{0, m_layout.gridTop, m_layout.width, m_layout.height};
    ::InvalidateRect(Hwnd(), &grid, TRUE);
}

void CMainFrame::OnRepaintTick() {
    if (m_app.m_lockdown)
        m_app.m_lockdown->OnTimer();
    if (++g_timerTicks < 10) {
        for (UINT id : {kModeButtonId, kShutdownButtonId})
            ::RedrawWindow(ButtonHwnd(id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
    if (m_running.Refresh(CurrentProgramJob()))
        InvalidateGrid();
    {
        ClientDc dc(Hwnd());
        DrawIcons(dc.Get());
    }
    if (::GetForegroundWindow() != Hwnd())
        return;
    const int oldWidth = m_app.m_screenWidth;
    const int oldHeight = m_app.m_screenHeight;
    m_app.ReadScreenRect();
    if (oldWidth == m_app.m_screenWidth && oldHeight == m_app.m_screenHeight)
        return;
    RebuildBackground();
    const RECT& r = m_app.m_screenRect;
    ::MoveWindow(Hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}
