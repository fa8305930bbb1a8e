// The program editor's fields against the fixed-size entry, and the shown program's number
// when programs or tabs are deleted.
#include "catalogue/icons.h"
#include "desktop/catalogue_edits.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(CatalogueEditsTest, FieldsReachTheEntryWholeOrCutToTheirFieldNeverBeyond) {
    ProgramFields fields;
    fields.name = std::string(600, 'c');
    fields.programPath = std::string(999, 'p');
    fields.parameters = std::string(1000, 'a');
    fields.iconFile = "C:\\i.ico";
    fields.iconIndex = 7;
    fields.screenshotPath = std::string(5000, 's');
    fields.showCommand = 3;
    const ProgramEntry entry = NewProgramEntry(fields, 3, 1, 2);
    EXPECT_EQ(std::strlen(entry.caption), 499u);
    EXPECT_EQ(std::strlen(entry.programPath), 999u) << "999 characters fit whole";
    EXPECT_EQ(std::strlen(entry.parameters), 999u);
    EXPECT_EQ(std::strlen(entry.screenshotPath), 999u);
    EXPECT_STREQ(entry.description, "Program description");
    EXPECT_EQ(entry.column, 3);
    EXPECT_EQ(entry.row, 1);
    EXPECT_EQ(entry.tab, 2);
    EXPECT_EQ(entry.showCommand, 3);

    // Editing keeps description, cell and tab and gives back what it stored.
    ProgramEntry edited = entry;
    ProgramFields changed = FieldsOf(entry);
    EXPECT_EQ(changed.iconIndex, 7);
    EXPECT_EQ(changed.iconFile, "C:\\i.ico");
    changed.name = "Short";
    changed.showCommand = 6;
    std::strcpy(edited.description, "{\\rtf1 kept}");
    StoreFields(edited, changed);
    EXPECT_STREQ(edited.caption, "Short");
    EXPECT_EQ(std::string(edited.caption, sizeof edited.caption),
              std::string("Short") + std::string(495, '\0'))
        << "no stale bytes of the longer caption";
    EXPECT_STREQ(edited.description, "{\\rtf1 kept}");
    EXPECT_EQ(edited.column, 3);
    EXPECT_EQ(edited.showCommand, 6);
}

TEST(CatalogueEditsTest, TheShownProgramFollowsItsEntryOrIsGone) {
    EXPECT_EQ(ShownAfterRemovingEntry(-1, 0), -1);
    EXPECT_EQ(ShownAfterRemovingEntry(4, 4), -1);
    EXPECT_EQ(ShownAfterRemovingEntry(5, 4), 4);
    EXPECT_EQ(ShownAfterRemovingEntry(3, 4), 3);

    Icons catalogue("/nonexistent/icons.bin");
    catalogue.m_tabs = {"A", "B", "C"};
    const int tabs[] = {0, 1, 2, 1, 0, 2};
    for (int tab : tabs) {
        ProgramEntry entry{};
        entry.tab = tab;
        catalogue.AddEntry(entry);
    }
    const struct {
        int shown, tab, expected;
    } cases[] = {{-1, 1, -1}, {1, 1, -1}, {3, 1, -1}, {0, 1, 0}, {2, 1, 1},
                 {4, 1, 2},   {5, 1, 3},  {5, 2, -1}, {6, 1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "shown " << c.shown << ", tab " << c.tab);
        EXPECT_EQ(ShownAfterRemovingTab(catalogue, c.shown, c.tab), c.expected);
    }
}

} // namespace
