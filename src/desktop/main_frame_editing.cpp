// Editing the catalogue from the desktop: programs, tabs and descriptions. Every change is
// saved at once; a save that fails keeps the change in memory and says so once.
#include "app/app.h"
#include "base/text.h"
#include "desktop/catalogue_edits.h"
#include "desktop/main_frame.h"
#include "dialogs/tab_plus_dialog.h"
#include "framework/file_exception_report.h"
#include "framework/modal_ui.h"
#include "resource.h"

namespace {

constexpr const char* kEmptyTabName = "Empty tab name restricted";
constexpr const char* kDeleteTabQuestion =
    "Are you sure that you want to delete tab and all icons on it?";
constexpr const char* kDescriptionUnreadable =
    "Program description wasn't saved as the editor gave no text. Press save button once again.";

} // namespace

bool CMainFrame::OnEditCommand(UINT id) {
    using namespace command;
    switch (id) {
    case kSaveDescription:
        SaveDescription();
        return true;
    case kAddProgram:
        if (IsTab(CurrentTab())) // with no tab the program would belong to none
            AddProgram();
        return true;
    case kEditProgram:
        EditProgram();
        return true;
    case kDeleteProgram:
        DeleteProgram();
        return true;
    case kMoveIcon:
        if (IsEntry(m_menuEntry))
            m_moveMode = true;
        return true;
    case kAddTab:
        AddTab();
        return true;
    case kRenameTab:
        RenameTab();
        return true;
    case kDeleteTab:
        DeleteTab();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::IsEntry(int index) const {
    return m_app.m_catalogue && index >= 0 && index < m_app.m_catalogue->m_count;
}

bool CMainFrame::IsTab(int index) const {
    return m_app.m_catalogue && index >= 0 &&
           static_cast<std::size_t>(index) < m_app.m_catalogue->m_tabs.size();
}

bool CMainFrame::SaveCatalogue() {
    try {
        m_app.m_catalogue->Save();
        return true;
    } catch (const FileException& error) {
        ReportFileException(Hwnd(), error);
        return false;
    }
}

void CMainFrame::Relayout() {
    LayoutGrid();
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CMainFrame::DeleteProgram() {
    if (!IsEntry(m_menuEntry))
        return;
    const int removed = m_menuEntry;
    m_app.m_catalogue->RemoveEntry(removed);
    m_menuEntry = -1;
    m_hoverEntry = -1;
    SetShownEntry(ShownAfterRemovingEntry(m_shownEntry, removed));
    SaveCatalogue();
    Relayout();
}

// The program whose description the pane shows moved to `index`, or is gone (-1).
void CMainFrame::SetShownEntry(int index) {
    m_shownEntry = index;
    if (index == -1)
        HideDescription();
}

bool CMainFrame::FinishMove(GridCell cell) {
    if (!m_moveMode)
        return false;
    m_moveMode = false;
    if (!IsEntry(m_menuEntry))
        return true;
    ProgramEntry& entry = m_app.m_catalogue->m_entries[m_menuEntry];
    entry.column = cell.column; // the entry keeps its own tab
    entry.row = cell.row;
    SaveCatalogue();
    Relayout();
    return true;
}

void CMainFrame::AddTab() {
    CTabPlusDlg dialog;
    if (dialog.DoModal() != IDOK || !m_app.m_catalogue)
        return;
    if (dialog.m_tabName.empty()) {
        AppMessageBox(Hwnd(), kEmptyTabName, nullptr, MB_ICONERROR);
        return;
    }
    m_app.m_catalogue->m_tabs.push_back(dialog.m_tabName);
    RebuildTabs();
    Relayout();
    SaveCatalogue();
}

void CMainFrame::RenameTab() {
    if (!IsTab(m_tabMenuIndex))
        return;
    CTabPlusDlg dialog;
    dialog.m_isNewTab = false;
    dialog.m_tabName = m_app.m_catalogue->m_tabs[m_tabMenuIndex];
    if (dialog.DoModal() != IDOK)
        return;
    if (dialog.m_tabName.empty()) {
        AppMessageBox(Hwnd(), kEmptyTabName, nullptr, MB_ICONERROR);
        return;
    }
    m_app.m_catalogue->m_tabs[m_tabMenuIndex] = dialog.m_tabName;
    RebuildTabs();
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
    SaveCatalogue();
}

void CMainFrame::DeleteTab() {
    if (!IsTab(m_tabMenuIndex))
        return;
    if (AppMessageBox(Hwnd(), kDeleteTabQuestion, nullptr, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    Icons& catalogue = *m_app.m_catalogue;
    if (catalogue.m_tabs.size() < 2)
        return; // the last tab stays: the menu never offers it, a stale command cannot either
    const int tab = m_tabMenuIndex;
    const int shown = ShownAfterRemovingTab(catalogue, m_shownEntry, tab);
    catalogue.RemoveTab(tab);
    m_menuEntry = -1;
    m_hoverEntry = -1;
    m_moveMode = false;
    SetShownEntry(shown);
    RebuildTabs();
    Relayout();
    SaveCatalogue();
}

void CMainFrame::OnDescriptionChanged() {
    if (!m_loadingDescription)
        SetButtonIcon(kSaveButtonId, IDI_SAVE_WARNING);
}

void CMainFrame::SaveDescription() {
    if (!IsEntry(m_shownEntry))
        return;
    CreateHiddenChildren();
    const std::string rtf = Editor().GetRTF();
    // Even an empty description streams as RTF: no stream at all means the editor failed, and
    // saving it would wipe the description.
    if (rtf.empty()) {
        AppMessageBox(Hwnd(), kDescriptionUnreadable, "Warning!", MB_ICONWARNING);
        return;
    }
    if (rtf.size() >= kMaxDescriptionLength) {
        AppMessageBox(Hwnd(), kDescriptionTooLong, "Warning!", MB_ICONWARNING);
        return;
    }
    CopyText(m_app.m_catalogue->m_entries[m_shownEntry].description, rtf);
    // The marker says "not on disk yet": it stays until a save has really succeeded.
    if (SaveCatalogue())
        SetButtonIcon(kSaveButtonId, IDI_SAVE);
}
