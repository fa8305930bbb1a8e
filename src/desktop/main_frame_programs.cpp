// Adding and editing programs through the program editor.
#include "app/app.h"
#include "desktop/catalogue_edits.h"
#include "desktop/main_frame.h"
#include "dialogs/add_edit_icon.h"
#include "framework/modal_ui.h"

namespace {

void FillEditor(AddEditIcon& editor, const ProgramFields& fields) {
    editor.m_name = fields.name;
    editor.m_programPath = fields.programPath;
    editor.m_parameters = fields.parameters;
    editor.m_iconFile = fields.iconFile;
    editor.m_iconIndex = fields.iconIndex;
    editor.m_screenshotPath = fields.screenshotPath;
    editor.m_showCommand = fields.showCommand;
}

ProgramFields FieldsOf(const AddEditIcon& editor) {
    ProgramFields fields;
    fields.name = editor.m_name;
    fields.programPath = editor.m_programPath;
    fields.parameters = editor.m_parameters;
    fields.iconFile = editor.m_iconFile;
    fields.iconIndex = editor.m_iconIndex;
    fields.screenshotPath = editor.m_screenshotPath;
    fields.showCommand = editor.m_showCommand;
    return fields;
}

} // namespace

void CMainFrame::AddProgram() {
    if (!m_app.m_catalogue)
        return;
    if (m_app.m_catalogue->m_count >= Icons::kMaxEntries) {
        AppMessageBox(Hwnd(), kCatalogueFull, "Warning!", MB_OK | MB_ICONWARNING);
        return;
    }
    ProgramFields defaults;
    defaults.name = kNewProgramCaption;
    AddEditIcon editor;
    FillEditor(editor, defaults);
    if (editor.DoModal() != IDOK)
        return;
    m_app.m_catalogue->AddEntry(
        NewProgramEntry(FieldsOf(editor), m_menuCell.column, m_menuCell.row, CurrentTab()));
    SaveCatalogue();
    Relayout();
}

void CMainFrame::EditProgram() {
    if (!IsEntry(m_menuEntry))
        return;
    const int edited = m_menuEntry;
    AddEditIcon editor;
    FillEditor(editor, ::FieldsOf(m_app.m_catalogue->m_entries[edited]));
    if (editor.DoModal() != IDOK || !IsEntry(edited))
        return;
    StoreFields(m_app.m_catalogue->m_entries[edited], FieldsOf(editor));
    SaveCatalogue();
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}
