#include "desktop/catalogue_edits.h"

#include "base/text.h"
#include "catalogue/icons.h"

ProgramFields FieldsOf(const ProgramEntry& entry) {
    ProgramFields fields;
    fields.name = FieldText(entry.caption);
    fields.programPath = FieldText(entry.programPath);
    fields.parameters = FieldText(entry.parameters);
    fields.iconFile = FieldText(entry.iconFile);
    fields.iconIndex = entry.iconIndex;
    fields.screenshotPath = FieldText(entry.screenshotPath);
    fields.showCommand = entry.showCommand;
    return fields;
}

void StoreFields(ProgramEntry& entry, const ProgramFields& fields) {
    CopyText(entry.caption, fields.name);
    CopyText(entry.programPath, fields.programPath);
    CopyText(entry.parameters, fields.parameters);
    CopyText(entry.iconFile, fields.iconFile);
    entry.iconIndex = fields.iconIndex;
    CopyText(entry.screenshotPath, fields.screenshotPath);
    entry.showCommand = fields.showCommand;
}

ProgramEntry NewProgramEntry(const ProgramFields& fields, int column, int row, int tab) {
    ProgramEntry entry{};
    StoreFields(entry, fields);
    CopyText(entry.description, kNewProgramDescription);
    entry.column = column;
    entry.row = row;
    entry.tab = tab;
    return entry;
}

int ShownAfterRemovingEntry(int shown, int removed) {
    if (shown < 0 || shown == removed)
        return -1;
    return shown > removed ? shown - 1 : shown;
}

int ShownAfterRemovingTab(const Icons& catalogue, int shown, int tab) {
    if (shown < 0 || shown >= catalogue.m_count || catalogue.m_entries[shown].tab == tab)
        return -1;
    int removedBefore = 0;
    for (int i = 0; i < shown; ++i)
        removedBefore += catalogue.m_entries[i].tab == tab;
    return shown - removedBefore;
}
