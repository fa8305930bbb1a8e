#include "controls/tabctrl/tab_ctrl.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace {

// Square images as tall as the bitmap; the bitmap is copied because adding it masked changes
// its transparent pixels.
HIMAGELIST ImageListFromBitmap(HBITMAP bitmap, SIZE& size) {
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof(info), &info) || info.bmHeight <= 0 || info.bmWidth <= 0)
        return nullptr;
    const int side = info.bmHeight;
    const int count = std::max(1, static_cast<int>(info.bmWidth) / side);
    UniqueImageList list(::ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, count, 0));
    UniqueBitmap copy(static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)));
    if (!list || !copy || ::ImageList_AddMasked(list.Get(), copy.Get(), RGB(255, 0, 255)) < 0)
        return nullptr;
    int cx = 0;
    int cy = 0;
    if (!::ImageList_GetIconSize(list.Get(), &cx, &cy))
        return nullptr;
    size = {cx, cy};
    return list.Release();
}

SIZE ImageListSize(HIMAGELIST list) {
    int cx = 0;
    int cy = 0;
    if (!list || !::ImageList_GetIconSize(list, &cx, &cy))
        return {0, 0};
    return {cx, cy};
}

HFONT CopyFont(HFONT font) {
    LOGFONTA lf{};
    if (!font || !::GetObjectA(font, sizeof(lf), &lf))
        return nullptr;
    return ::CreateFontIndirectA(&lf);
}

} // namespace

TabCtrl::AliveGuard::AliveGuard(TabCtrl& c) : ctrl(c), previous(c.m_aliveChain) {
    c.m_aliveChain = this;
}

TabCtrl::AliveGuard::~AliveGuard() {
    // When the control is gone, nothing of it may be touched, not even to unlink.
    if (alive)
        ctrl.m_aliveChain = previous;
}

TabCtrl::TabCtrl() = default;

TabCtrl::~TabCtrl() {
    // Destroy the window while this class still handles its messages.
    Destroy();
    for (AliveGuard* guard = m_aliveChain; guard; guard = guard->previous)
        guard->alive = false;
    if (m_filterApp && WinApp::Current() == m_filterApp)
        m_filterApp->RemovePreTranslateFilter(this);
}

bool TabCtrl::Create(HWND parent, DWORD style, const RECT& rect, UINT id) {
    if (!m_fontNormal)
        SetFontNormal(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    if (!m_fontSelect)
        SetFontSelect(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));

    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    char className[128];
    std::snprintf(
        className, sizeof(className), "%s:%x:%x:%x:%x:%x", "TabCtrl",
        static_cast<unsigned>(reinterpret_cast<UINT_PTR>(instance)), CS_DBLCLKS,
        static_cast<unsigned>(reinterpret_cast<UINT_PTR>(::LoadCursor(nullptr, IDC_ARROW))), 0u,
        0u);
    if (!Window::RegisterClass(className, CS_DBLCLKS, nullptr))
        return false;
    if (!CreateEx(0, className, "", style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect, parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;

    if (!m_toolTipDeferred && !CreateToolTip() && m_toolTip)
        return false;
    if (m_watchActivity)
        ActivityHook::Instance().AddListener(this, Hwnd());
    // Our message loop lets the control see its mouse messages first, for the tooltip.
    m_filterApp = WinApp::Current();
    if (m_filterApp)
        m_filterApp->AddPreTranslateFilter(this);
    return true;
}

bool TabCtrl::CreateToolTip() {
    if (!Hwnd() || m_toolTip)
        return m_toolTip != nullptr;
    m_toolTip = m_toolTipManager->CreateToolTip(this, &m_service);
    if (!m_toolTip)
        return false;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Hwnd();
    tool.uId = 1;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    if (!::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)))
        return false;
    if (m_tipClose.empty())
        m_tipClose = "Close";
    if (m_tipMenu.empty())
        m_tipMenu = "Menu";
    if (m_tipScrollLeft.empty())
        m_tipScrollLeft = "Scroll Left";
    if (m_tipScrollRight.empty())
        m_tipScrollRight = "Scroll Right";
    // Made after a layout, the tool takes the area now; later layouts keep it up to date.
    tool.rect = m_ctrlArea;
    ::SendMessageA(m_toolTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    return true;
}

void TabCtrl::SetRecalcManager(ITabCtrlRecalc* recalc) {
    m_recalc = recalc ? recalc : &m_service;
}
void TabCtrl::SetBehaviorManager(ITabCtrlBehavior* behavior) {
    m_behavior = behavior ? behavior : &m_service;
}
void TabCtrl::SetToolTipManager(ITabCtrlToolTip* toolTip) {
    m_toolTipManager = toolTip ? toolTip : &m_service;
}
void TabCtrl::SetUserAbility(TabCtrlUserAbility* ability) {
    m_ability = ability ? ability : static_cast<TabCtrlUserAbility*>(this);
}

bool TabCtrl::SetImageLists(HBITMAP normal, HBITMAP disabled) {
    bool ok = true;
    m_ownImageList.Reset();
    m_ownImageListDisabled.Reset();
    m_imageSize = m_imageDisabledSize = {0, 0};
    if (normal) {
        m_ownImageList.Reset(ImageListFromBitmap(normal, m_imageSize));
        ok = ok && m_ownImageList;
    }
    if (disabled) {
        m_ownImageListDisabled.Reset(ImageListFromBitmap(disabled, m_imageDisabledSize));
        ok = ok && m_ownImageListDisabled;
    }
    m_imageList = m_ownImageList.Get();
    m_imageListDisabled = m_ownImageListDisabled.Get();
    return ok;
}

void TabCtrl::SetImageListsRef(HIMAGELIST normal, HIMAGELIST disabled) {
    m_ownImageList.Reset();
    m_ownImageListDisabled.Reset();
    m_imageList = normal;
    m_imageListDisabled = disabled;
    m_imageSize = ImageListSize(normal);
    m_imageDisabledSize = ImageListSize(disabled);
}

bool TabCtrl::SetSystemImageList(HBITMAP buttons) {
    m_ownSystemImageList.Reset();
    m_systemImageSize = {0, 0};
    if (buttons)
        m_ownSystemImageList.Reset(ImageListFromBitmap(buttons, m_systemImageSize));
    m_systemImageList = m_ownSystemImageList.Get();
    return !buttons || m_systemImageList;
}

void TabCtrl::SetSystemImageListRef(HIMAGELIST buttons) {
    m_ownSystemImageList.Reset();
    m_systemImageList = buttons;
    m_systemImageSize = ImageListSize(buttons);
}

bool TabCtrl::SetFontNormal(HFONT font) {
    m_ownFontNormal.Reset(CopyFont(font));
    m_fontNormal = m_ownFontNormal.Get();
    return m_fontNormal != nullptr;
}

bool TabCtrl::SetFontSelect(HFONT font) {
    m_ownFontSelect.Reset(CopyFont(font));
    m_fontSelect = m_ownFontSelect.Get();
    return m_fontSelect != nullptr;
}

void TabCtrl::SetFontNormalRef(HFONT font) {
    m_ownFontNormal.Reset();
    m_fontNormal = font;
}

void TabCtrl::SetFontSelectRef(HFONT font) {
    m_ownFontSelect.Reset();
    m_fontSelect = font;
}

bool TabCtrl::SetCursor(UINT resourceId) {
    return SetCursor(::GetModuleHandleA(nullptr), resourceId);
}

bool TabCtrl::SetCursor(HMODULE module, UINT resourceId) {
    m_ownCursor.Reset();
    m_cursor = nullptr;
    if (!resourceId)
        return true;
    m_ownCursor.Reset(static_cast<HCURSOR>(
        ::LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
    m_cursor = m_ownCursor.Get();
    return m_cursor != nullptr;
}

bool TabCtrl::SetCursor(HCURSOR cursor) {
    m_ownCursor.Reset();
    m_cursor = nullptr;
    if (!cursor)
        return true;
    m_ownCursor.Reset(static_cast<HCURSOR>(::CopyImage(cursor, IMAGE_CURSOR, 0, 0, 0)));
    m_cursor = m_ownCursor.Get();
    return m_cursor != nullptr;
}

void TabCtrl::SetCursorRef(HCURSOR cursor) {
    m_ownCursor.Reset();
    m_cursor = cursor;
}

// ---- The tab list ----

TabItem* TabCtrl::Add(HWND pane, const char* text, int image) {
    return Insert(nullptr, pane, text, image);
}

TabItem* TabCtrl::Insert(TabItem* before, HWND pane, const char* text, int image) {
    if (m_notify)
        m_notify->OnTabPreCreate(this, pane, text, image);
    auto tab = std::make_unique<TabItem>();
    tab->pane = pane;
    tab->image = image;
    tab->text = text ? text : "";
    // A tab that is not (or no longer) in the list inserts at the end.
    const int at = before ? GetIndex(before) : -1;
    TabItem* added = tab.get();
    if (at < 0)
        m_tabs.push_back(std::move(tab));
    else
        m_tabs.insert(m_tabs.begin() + at, std::move(tab));

    if (!m_sel)
        m_sel = TabAt(tablayout::FirstEnabled(DisabledFlags()));
    else
        HidePane(pane);
    if (m_notify)
        m_notify->OnTabPostCreate(this, added);
    return added;
}

void TabCtrl::Delete(TabItem* tab) {
    if (!Owns(tab))
        return;
    if (m_pushed.tab == tab) {
        AliveGuard guard(*this);
        StopScrolling();
        FinishDrag(true);
        // The owner heard of the drag's end and may have destroyed the control or deleted the
        // tab itself.
        if (!guard.alive || !Owns(tab))
            return;
    }
    // Only now: a cancelled drag of this tab has put the saved order back, and the tab after
    // it is the one after it in that order.
    const int index = GetIndex(tab);
    if (m_hot.tab == tab)
        m_hot = {};
    if (m_sel == tab)
        m_sel = TabAt(tablayout::NextEnabledElsePrevious(DisabledFlags(), index));
    if (tab->pane && ::IsWindow(tab->pane) && ::GetParent(tab->pane) == Hwnd())
        HidePane(tab->pane);
    // A drag of another tab must not restore a freed tab when it is cancelled.
    m_savedOrder.erase(std::remove(m_savedOrder.begin(), m_savedOrder.end(), tab),
                       m_savedOrder.end());
    if (m_notify)
        m_notify->OnTabPreDestroy(this, tab);
    // The handler may have changed the list: find the tab again.
    const int now = GetIndex(tab);
    if (now >= 0)
        m_tabs.erase(m_tabs.begin() + now);
    if (m_tabs.empty()) {
        m_sel = nullptr;
        m_scroll = {};
    }
}

void TabCtrl::DeleteAll() {
    StopScrolling();
    FinishDrag(true);
    // Taken out of the list first, so that a handler sees a consistent (empty) control.
    std::vector<std::unique_ptr<TabItem>> tabs;
    tabs.swap(m_tabs);
    m_sel = nullptr;
    m_hot = m_pushed = {};
    m_savedOrder.clear();
    m_scroll = {};
    for (auto& tab : tabs) {
        if (m_notify)
            m_notify->OnTabPreDestroy(this, tab.get());
        if (tab->pane && ::IsWindow(tab->pane) && ::GetParent(tab->pane) == Hwnd())
            HidePane(tab->pane);
        tab.reset();
    }
}

void TabCtrl::Update(bool redraw) {
    RecalcLayout(redraw);
    if (redraw)
        InvalidateClient();
}

int TabCtrl::GetIndex(const TabItem* tab) const {
    if (!tab)
        return -1;
    for (std::size_t i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs[i].get() == tab)
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<bool> TabCtrl::DisabledFlags() const {
    std::vector<bool> flags;
    flags.reserve(m_tabs.size());
    for (const auto& tab : m_tabs)
        flags.push_back(tab->disabled);
    return flags;
}

void TabCtrl::SetSel(TabItem* tab) {
    if (!Owns(tab) || tab == m_sel || tab->disabled)
        return;
    PlacePane(tab->pane, m_wndsArea, false);
    if (m_sel && m_sel->pane != tab->pane)
        HidePane(m_sel->pane);
    m_sel = tab;
}

TabItem* TabCtrl::HitTest(POINT point) const {
    return m_behavior->HitTest(this, &m_service, point.x, point.y);
}

std::string TabCtrl::GetTabText(const TabItem* tab) const {
    return Owns(tab) ? tab->text : "";
}
std::string TabCtrl::GetTabToolTipText(const TabItem* tab) const {
    return Owns(tab) ? tab->tooltip : "";
}
int TabCtrl::GetTabImage(const TabItem* tab) const {
    return Owns(tab) ? tab->image : -1;
}
std::int64_t TabCtrl::GetTabData(const TabItem* tab) const {
    return Owns(tab) ? tab->data : 0;
}
bool TabCtrl::IsTabDisabled(const TabItem* tab) const {
    return Owns(tab) && tab->disabled;
}
HWND TabCtrl::GetTabWnd(const TabItem* tab) const {
    return Owns(tab) ? tab->pane : nullptr;
}
RECT TabCtrl::GetTabRect(const TabItem* tab) const {
    return Owns(tab) ? tab->rect : RECT{};
}

bool TabCtrl::IsTabVisible(const TabItem* tab, bool* partially) const {
    if (!Owns(tab)) {
        if (partially)
            *partially = false;
        return false;
    }
    const RECT& r = tab->rect;
    const RECT& a = m_tabsArea;
    return tablayout::IsTabVisible({r.left, r.top, r.right, r.bottom},
                                   {a.left, a.top, a.right, a.bottom}, partially);
}

void TabCtrl::SetTabText(TabItem* tab, const char* text) {
    if (Owns(tab))
        tab->text = text ? text : "";
}
void TabCtrl::SetTabToolTipText(TabItem* tab, const char* text) {
    if (Owns(tab))
        tab->tooltip = text ? text : "";
}
void TabCtrl::SetTabData(TabItem* tab, std::int64_t data) {
    if (Owns(tab))
        tab->data = data;
}
void TabCtrl::SetTabDisabled(TabItem* tab, bool disabled) {
    if (Owns(tab))
        tab->disabled = disabled;
}

void TabCtrl::ScrollToBegin() {
    if (m_behaviorOption == BehaviorScroll)
        m_scroll.position = 0;
}

void TabCtrl::ScrollToEnd() {
    if (m_behaviorOption == BehaviorScroll)
        m_scroll.position = m_scroll.maximum;
}

void TabCtrl::EnsureVisible(TabItem* tab) {
    if (m_behaviorOption != BehaviorScroll || !Owns(tab))
        return;
    const RECT& r = tab->rect;
    const RECT& a = m_tabsArea;
    m_scroll.position += tablayout::EnsureVisibleDelta({r.left, r.top, r.right, r.bottom},
                                                       {a.left, a.top, a.right, a.bottom});
}

void TabCtrl::SetWatchActivityCtrl(bool watch) {
    if (watch == m_watchActivity)
        return;
    m_watchActivity = watch;
    m_active = false;
    if (!Hwnd())
        return;
    if (watch)
        ActivityHook::Instance().AddListener(this, Hwnd());
    else if (ActivityHook::Instance().HasListener(this))
        ActivityHook::Instance().RemoveListener(this);
}

void TabCtrl::OnActive(bool active, HWND) {
    if (active == m_active)
        return;
    m_active = active;
    if (Hwnd())
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

bool TabCtrl::PreTranslateMessage(MSG& msg) {
    if (m_showToolTips && m_toolTip && Hwnd() && msg.hwnd == Hwnd())
        ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    return false;
}

// ---- Panes ----

RECT TabCtrl::PaneRect(const RECT& area) const {
    const RECT pad = m_recalc->GetWndsAreaPadding(this, &m_service);
    return {area.left + pad.left, area.top + pad.top, area.right - pad.right,
            area.bottom - pad.bottom};
}

void TabCtrl::PlacePane(HWND pane, const RECT& area, bool repaint) const {
    if (!pane || !::IsWindow(pane))
        return;
    const RECT target = PaneRect(area);
    RECT current{};
    ::GetWindowRect(pane, &current);
    ::MapWindowPoints(nullptr, ::GetParent(pane), reinterpret_cast<POINT*>(&current), 2);
    if (!::EqualRect(&current, &target))
        ::MoveWindow(pane, target.left, target.top, target.right - target.left,
                     target.bottom - target.top, repaint);
    if (!(::GetWindowLongA(pane, GWL_STYLE) & WS_VISIBLE))
        ::ShowWindow(pane, SW_SHOWNA);
}

void TabCtrl::HidePane(HWND pane) const {
    if (pane && ::IsWindow(pane))
        ::ShowWindow(pane, SW_HIDE);
}

void TabCtrl::ApplyOrder(const std::vector<TabItem*>& order) {
    std::vector<std::unique_ptr<TabItem>> reordered;
    reordered.reserve(m_tabs.size());
    for (TabItem* tab : order) {
        const int at = GetIndex(tab);
        if (at >= 0)
            reordered.push_back(std::move(m_tabs[static_cast<std::size_t>(at)]));
    }
    // Tabs added since the order was taken keep their relative order at the end.
    for (auto& tab : m_tabs) {
        if (tab)
            reordered.push_back(std::move(tab));
    }
    m_tabs.swap(reordered);
}

POINT TabCtrl::ScreenPoint(POINT client) const {
    if (Hwnd())
        ::ClientToScreen(Hwnd(), &client);
    return client;
}

void TabCtrl::InvalidateClient() {
    if (Hwnd())
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TabCtrl::FocusSelectedPane() {
    if (m_sel && m_sel->pane && ::IsWindow(m_sel->pane) && ::GetFocus() != m_sel->pane)
        ::SetFocus(m_sel->pane);
}

// ---- Messages ----

LRESULT TabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT:
        DrawTo(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // everything is painted through the double buffer
    case WM_SIZE:
        RecalcLayout(true);
        InvalidateClient();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(point);
        return 0;
    case WM_LBUTTONDOWN: {
        TabElement pressed;
        if (!PressLeft(point, pressed))
            return 0;
        FocusSelectedPane();
        return Default(message, wParam, lParam);
    }
    case WM_LBUTTONDBLCLK: {
        TabElement pressed;
        if (!PressLeft(point, pressed))
            return 0;
        const LRESULT result = Default(message, wParam, lParam);
        if (pressed.IsTab() && m_notify && Owns(pressed.tab))
            m_notify->OnLButtonDblClk(this, pressed.tab, ScreenPoint(point));
        return result;
    }
    case WM_LBUTTONUP:
        Default(message, wParam, lParam);
        OnLButtonUp(point);
        return 0;
    case WM_RBUTTONDOWN: {
        FocusSelectedPane();
        UpdateHot(point);
        if ((m_hot.IsNone() || m_hot.IsTab()) && m_notify) {
            AliveGuard guard(*this);
            m_notify->OnRButtonDown(this, m_hot.tab, ScreenPoint(point));
            if (!guard.alive)
                return 0;
        }
        return Default(message, wParam, lParam);
    }
    case WM_RBUTTONUP: {
        const LRESULT result = Default(message, wParam, lParam);
        UpdateHot(point);
        if (!m_hot.IsButton() && m_notify)
            m_notify->OnRButtonUp(this, m_hot.tab, ScreenPoint(point));
        return result;
    }
    case WM_MBUTTONDOWN:
        FocusSelectedPane();
        return Default(message, wParam, lParam);
    case WM_MOUSELEAVE:
        if (!m_hot.IsNone()) {
            m_hot = {};
            InvalidateClient();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Hwnd()) {
            StopScrolling();
            FinishDrag(true);
            InvalidateClient();
        }
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_SETCURSOR:
        if (m_behavior->SetCursor(this, &m_service))
            return TRUE;
        return Default(message, wParam, lParam);
    case WM_SETFOCUS:
        FocusSelectedPane();
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DESTROY:
        DeleteAll();
        m_ownCursor.Reset();
        m_cursor = nullptr;
        // Only a watching control ever registered; asking would install the hook for nothing.
        if (m_watchActivity && ActivityHook::Instance().HasListener(this))
            ActivityHook::Instance().RemoveListener(this);
        if (m_filterApp && WinApp::Current() == m_filterApp)
            m_filterApp->RemovePreTranslateFilter(this);
        m_filterApp = nullptr;
        m_toolTip = nullptr;
        for (AliveGuard* guard = m_aliveChain; guard; guard = guard->previous)
            guard->alive = false;
        m_aliveChain = nullptr;
        return Default(message, wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}
