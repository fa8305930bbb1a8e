// The pointer over the grid: a click shows a program's description and screenshot, and in
// restricted user mode so does resting on its icon for half a second.
#include "app/app.h"
#include "desktop/main_frame.h"

void CMainFrame::OnLeftButtonUp(POINT point) {
    if (!HitGrid(point))
        return; // outside the grid a pending move stays pending
    const GridCell cell = CellOf(point);
    if (!IsCellOccupied(cell.column, cell.row, CurrentTab())) {
        FinishMove(cell);
        return;
    }
    m_moveMode = false; // a click on an icon shows it instead of moving onto it
    const int entry =
        m_app.m_catalogue ? m_app.m_catalogue->FindEntry(cell.column, cell.row, CurrentTab()) : -1;
    if (entry != -1)
        ShowDescriptionOf(entry);
}

void CMainFrame::ShowDescriptionOf(int entry) {
    CreateHiddenChildren();
    ::ShowWindow(Editor().Hwnd(), SW_SHOW);
    m_shownEntry = entry;
    ::SetFocus(Hwnd());
    UpdateChildren();
}

void CMainFrame::HideDescription() {
    if (m_description)
        ::ShowWindow(m_description->Hwnd(), SW_HIDE);
    SetScreenshot(nullptr);
    ::ShowWindow(m_screenshot, SW_HIDE);
}

void CMainFrame::OnMouseMove(POINT point) {
    if (point.x == m_lastMouse.x && point.y == m_lastMouse.y)
        return;
    m_lastMouse = point;
    if (m_app.m_adminMode || m_moveMode)
        return;
    m_hoverEntry = EntryAt(point);
    if (m_hoverTimer)
        ::KillTimer(Hwnd(), m_hoverTimer);
    m_hoverTimer = ::SetTimer(Hwnd(), kHoverTimer, kHoverDelay, nullptr);
}

void CMainFrame::OnHoverTimer() {
    ::KillTimer(Hwnd(), kHoverTimer);
    m_hoverTimer = 0;
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(Hwnd(), &point);
    const int entry = EntryAt(point);
    if (entry == -1 && m_hoverEntry == -1)
        HideDescription();
    else if (entry != -1 && entry == m_hoverEntry)
        OnLeftButtonUp(point);
}
