// The desktop's pop-up menus: built when needed, shown, destroyed when they close. The chosen
// item arrives at the desktop window as WM_COMMAND.
#include "app/app.h"
#include "desktop/main_frame.h"
#include "framework/modal_ui.h"
#include "framework/unique_handle.h"

POINT CMainFrame::CursorPosition() {
    POINT point{};
    ::GetCursorPos(&point);
    return point;
}

void CMainFrame::ShowMenu(const std::vector<MenuItem>& items, POINT screenPoint) {
    if (items.empty())
        return;
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu)
        return;
    for (const MenuItem& item : items) {
        if (item.id == 0)
            ::AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuA(menu.Get(), MF_STRING, item.id, item.text.c_str());
    }
    CurrentModalUi().TrackMenu(menu.Get(), 0, screenPoint, Hwnd());
}

void CMainFrame::OnRightButtonUp(POINT point) {
    if (!m_app.m_adminMode || !HitGrid(point) || !m_app.m_catalogue)
        return;
    const GridCell cell = CellOf(point);
    m_menuCell = cell;
    POINT screenPoint = point;
    ::ClientToScreen(Hwnd(), &screenPoint);
    const int tab = CurrentTab();
    if (IsCellOccupied(cell.column, cell.row, tab)) {
        const int entry = m_app.m_catalogue->FindEntry(cell.column, cell.row, tab);
        if (entry == -1)
            return;
        m_menuEntry = entry;
        ShowMenu(MenuItems(DesktopMenu::GridIcon), screenPoint);
    } else {
        ShowMenu(MenuItems(DesktopMenu::GridFreeCell,
                           static_cast<int>(m_app.m_catalogue->m_tabs.size())),
                 screenPoint);
    }
}

void CMainFrame::OnRButtonUp(TabCtrl*, TabItem* tab, POINT point) {
    if (!m_app.m_adminMode || !m_app.m_catalogue)
        return;
    const int index = tab ? m_tabStrip.GetIndex(tab) : -1;
    if (index == -1)
        return; // released beside the tabs
    m_tabMenuIndex = index;
    ShowMenu(MenuItems(DesktopMenu::Tab, static_cast<int>(m_app.m_catalogue->m_tabs.size())),
             point);
}
