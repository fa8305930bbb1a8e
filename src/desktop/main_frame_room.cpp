// The room's shared catalogue on the desktop: its source dialog, publishing, and showing a
// catalogue the worker took, at once in restricted mode and when the operator leaves admin mode.
#include "app/app.h"
#include "base/text.h"
#include "desktop/main_frame.h"
#include "framework/modal_ui.h"
#include "room/catalogue_source_dialog.h"

#include <string_view>

void CMainFrame::EditCatalogueSource() {
    if (!m_app.m_room)
        return;
    CRegistryPlus& settings = m_app.m_settings;
    CatalogueSourceDialog dialog;
    settings.ReadString(room::kSourceSetting, "", dialog.m_source);
    settings.ReadDword(room::kMinutesSetting, room::kDefaultMinutes, dialog.m_minutes);
    std::string taken, refused;
    settings.TryReadString(room::kTakenSetting, taken);
    settings.TryReadString(room::kRefusedSetting, refused);
    const std::vector<std::string> lines = room::AboutLines(taken, refused);
    dialog.m_status = lines[0] + "\r\n" + lines[1];
    if (dialog.DoModal() != IDOK)
        return;
    settings.WriteString(room::kSourceSetting, dialog.m_source);
    settings.WriteDword(room::kMinutesSetting, dialog.m_minutes);
    m_app.m_room->Start(settings, dialog.m_takeNow);
    m_app.m_room->SetNotifyWindow(Hwnd());
}

void CMainFrame::PublishCatalogue() {
    if (m_app.m_room && m_app.m_room->HasSource())
        m_app.m_room->Publish(); // the outcome arrives as a report
}

bool CMainFrame::TakeRoomCatalogue() {
    if (!m_app.m_room || m_app.m_adminMode || !m_app.m_room->InstallPending(m_app.m_settings))
        return false;
    ReloadCatalogue();
    return true;
}

void CMainFrame::OnRoomCatalogueReady() {
    TakeRoomCatalogue();
    if (!m_app.m_room)
        return;
    // "Take now" and publishing answer the operator; a customer never sees them.
    for (const std::string& report : m_app.m_room->TakeReports())
        if (m_app.m_adminMode)
            AppMessageBox(Hwnd(), report, "Catalogue", MB_OK);
}

void CMainFrame::ReloadCatalogue() {
    if (!m_app.m_catalogue)
        return;
    // The program shown before stays shown when the new catalogue still has it on its tab.
    std::string shownCaption;
    int shownTab = -1;
    if (IsEntry(m_shownEntry)) {
        shownCaption = FieldText(m_app.m_catalogue->m_entries[m_shownEntry].caption);
        shownTab = m_app.m_catalogue->m_entries[m_shownEntry].tab;
    }
    m_app.m_catalogue->Load();
    m_moveMode = false;
    m_menuEntry = -1;
    m_hoverEntry = -1;
    m_shownEntry = -1;
    for (int i = 0; i < m_app.m_catalogue->m_count && shownTab >= 0; ++i) {
        const ProgramEntry& e = m_app.m_catalogue->m_entries[i];
        if (e.tab == shownTab && FieldText(e.caption) == shownCaption) {
            m_shownEntry = i;
            break;
        }
    }
    RebuildTabs();
    LayoutGrid();
    if (m_shownEntry == -1)
        HideDescription();
    UpdateChildren();
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}
