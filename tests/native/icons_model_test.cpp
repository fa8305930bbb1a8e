// The in-memory operations of Icons: AddEntry, RemoveEntry, FindEntry, PlaceInFreeCell,
// RemoveTab, ResetTabs.

#include "catalogue/icons.h"

#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace catalogue_test;

namespace {

using Tabs = std::vector<std::string>;

struct Cell {
    int column, row, tab;
};

class IconsModelTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_icons = std::make_unique<Icons>(File());
    }
    std::string File() const { return PathOf("icons.bin"); }

    // Adds one entry per cell; its iconIndex is its position of addition, to follow it around.
    void AddAt(std::initializer_list<Cell> cells) {
        for (const Cell& c : cells) {
            ProgramEntry e{};
            e.column = c.column;
            e.row = c.row;
            e.tab = c.tab;
            e.iconIndex = m_icons->m_count;
            m_icons->AddEntry(e);
        }
    }
    // One field of every entry, in order (iconIndex by default: the marks AddAt gave).
    std::vector<int> Marks(std::int32_t ProgramEntry::*field = &ProgramEntry::iconIndex) const {
        std::vector<int> values;
        for (int i = 0; i < m_icons->m_count; ++i)
            values.push_back(m_icons->m_entries[i].*field);
        return values;
    }

    std::unique_ptr<Icons> m_icons;
};

TEST_F(IconsModelTest, AddEntryAppendsACopyAndDoesNotSave) {
    const EntryFields fields = SampleEntry(5);
    ProgramEntry entry = MakeEntry(fields);
    m_icons->AddEntry(entry);
    entry.column = 99; // the catalogue holds its own copy
    AddAt({{1, 1, 0}});
    ASSERT_EQ(m_icons->m_count, 2);
    ExpectEntryIs(m_icons->m_entries[0], fields);
    EXPECT_EQ(Marks()[1], 1);
    EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(IconsModelTest, RemoveEntryClosesUpAndReleasesTheLastOne) {
    AddAt({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    m_icons->RemoveEntry(-1); // outside the catalogue: nothing changes
    m_icons->RemoveEntry(4);
    EXPECT_EQ(Marks(), (std::vector<int>{0, 1, 2, 3}));
    const std::pair<int, std::vector<int>> steps[] = {{1, {0, 2, 3}}, {2, {0, 2}}, {0, {2}}};
    for (const auto& [index, after] : steps) {
        m_icons->RemoveEntry(index);
        EXPECT_EQ(Marks(), after) << "after removing " << index;
    }
    m_icons->RemoveEntry(0);
    EXPECT_EQ(m_icons->m_count, 0);
    EXPECT_EQ(m_icons->m_entries, nullptr);
    EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(IconsModelTest, FindEntry) {
    EXPECT_EQ(m_icons->FindEntry(0, 0, 0), -1); // empty catalogue
    AddAt({{1, 2, 0}, {3, 0, 1}, {1, 2, 1}, {3, 0, 1}});
    struct Case {
        Cell cell;
        int expected;
    };
    // clang-format off
    const Case cases[] = {
        {{1, 2, 0}, 0},
        {{1, 2, 1}, 2},  // same column and row as entry 0, other tab
        {{3, 0, 1}, 1},  // two entries on one cell: the earlier
        {{2, 1, 0}, -1}, // column and row swapped
        {{1, 2, 2}, -1},
        {{0, 0, 0}, -1},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(m_icons->FindEntry(c.cell.column, c.cell.row, c.cell.tab), c.expected)
            << c.cell.column << "," << c.cell.row << "," << c.cell.tab;
}

struct PlaceCase {
    const char* name;
    int columns, rows, tab;
    std::vector<std::uint8_t> occupancy; // every tab up to and including `tab`
    bool placed;
    int column, row;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class IconsPlaceTest : public IconsModelTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(IconsPlaceTest, PlacesInFirstFreeCellInRowOrder) {
    const PlaceCase& c = GetParam();
    AddAt({{0, 0, 0}, {-5, 9, c.tab}});
    const std::vector<std::uint8_t> before = c.occupancy;
    const bool placed = m_icons->PlaceInFreeCell(1, c.tab, c.occupancy.data(), c.columns, c.rows);
    EXPECT_EQ(placed, c.placed);
    EXPECT_EQ(m_icons->m_entries[1].column, c.placed ? c.column : -5);
    EXPECT_EQ(m_icons->m_entries[1].row, c.placed ? c.row : 9);
    EXPECT_EQ(m_icons->m_entries[0].column, 0); // no other entry moves
    EXPECT_EQ(c.occupancy, before);             // the map is the caller's to mark
    // Saved on success only.
    ASSERT_EQ(std::filesystem::exists(File()), c.placed);
    if (c.placed) {
        Icons reloaded(File());
        ASSERT_EQ(reloaded.m_count, 2);
        EXPECT_EQ(reloaded.m_entries[1].column, c.column);
        EXPECT_EQ(reloaded.m_entries[1].row, c.row);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Grids, IconsPlaceTest,
    ::testing::Values(
        // The documented example: tab 1 of a 3 x 2 grid, row 0 full, (row 1, column 0) free.
        PlaceCase{"DocumentedExample", 3, 2, 1, {0, 0, 0, 0, 0, 0, /*tab 1*/ 1, 1, 1, 0, 1, 1}, true, 0, 1},
        PlaceCase{"EmptyGrid", 3, 2, 0, {0, 0, 0, 0, 0, 0}, true, 0, 0},
        PlaceCase{"RowOrderBeforeColumn", 3, 2, 0, {1, 1, 0, 0, 1, 1}, true, 2, 0},
        PlaceCase{"LastCell", 3, 2, 0, {1, 1, 1, 1, 1, 0}, true, 2, 1},
        PlaceCase{"OtherTabsIgnored", 2, 2, 1, {0, 0, 0, 0, /*tab 1*/ 1, 1, 1, 0}, true, 1, 1},
        PlaceCase{"NonZeroMeansTaken", 2, 1, 0, {0xFF, 0}, true, 1, 0},
        PlaceCase{"FullTab", 3, 2, 1, {0, 0, 0, 0, 0, 0, /*tab 1*/ 1, 1, 1, 1, 1, 1}, false, 0, 0},
        PlaceCase{"OneCellFull", 1, 1, 0, {1}, false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(IconsModelTest, PlaceInFreeCellRefusesNonsense) {
    AddAt({{0, 0, 0}});
    const std::uint8_t map[4] = {0, 0, 0, 0};
    EXPECT_FALSE(m_icons->PlaceInFreeCell(1, 0, map, 2, 2)); // no such entry
    EXPECT_FALSE(m_icons->PlaceInFreeCell(-1, 0, map, 2, 2));
    EXPECT_FALSE(m_icons->PlaceInFreeCell(0, -1, map, 2, 2)); // no such tab
    EXPECT_FALSE(m_icons->PlaceInFreeCell(0, 0, map, 0, 2));  // no grid
    EXPECT_FALSE(m_icons->PlaceInFreeCell(0, 0, nullptr, 2, 2));
    EXPECT_FALSE(std::filesystem::exists(File()));
}

struct RemoveTabCase {
    const char* name;
    Tabs tabs;
    std::vector<int> entryTabs;
    int removed;
    Tabs tabsAfter;
    std::vector<int> marksAfter; // which entries remain, in order
    std::vector<int> entryTabsAfter;
};

void PrintTo(const RemoveTabCase& c, std::ostream* os) {
    *os << c.name;
}

class IconsRemoveTabTest : public IconsModelTest,
                           public ::testing::WithParamInterface<RemoveTabCase> {};

TEST_P(IconsRemoveTabTest, RemovesTabAndItsEntries) {
    const RemoveTabCase& c = GetParam();
    m_icons->m_tabs = c.tabs;
    for (int tab : c.entryTabs)
        AddAt({{m_icons->m_count, 0, tab}});
    m_icons->RemoveTab(c.removed);
    EXPECT_EQ(m_icons->m_tabs, c.tabsAfter);
    EXPECT_EQ(Marks(), c.marksAfter);
    EXPECT_EQ(Marks(&ProgramEntry::tab), c.entryTabsAfter);
    EXPECT_EQ(m_icons->m_entries == nullptr, m_icons->m_count == 0);
    EXPECT_FALSE(std::filesystem::exists(File())); // does not save
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, IconsRemoveTabTest,
    ::testing::Values(
        // The documented example: three entries on tabs 0, 1, 2; tab 1 goes.
        RemoveTabCase{"DocumentedExample", {"A", "B", "C"}, {0, 1, 2}, 1, {"A", "C"}, {0, 2}, {0, 1}},
        RemoveTabCase{"IndexEqualToSize", {"A", "B", "C"}, {0, 1, 2}, 3, {"A", "B", "C"}, {0, 1, 2}, {0, 1, 2}},
        RemoveTabCase{"NegativeIndex", {"A", "B"}, {0, 1}, -1, {"A", "B"}, {0, 1}, {0, 1}},
        RemoveTabCase{"LastRemainingTab", {"Only"}, {0, 0, 0}, 0, {}, {}, {}},
        RemoveTabCase{"FirstTabOfMany", {"A", "B", "C"}, {2, 0, 1, 0, 2}, 0, {"B", "C"}, {0, 2, 4}, {1, 0, 1}},
        RemoveTabCase{"LastTabOfMany", {"A", "B", "C"}, {2, 0, 2, 1}, 2, {"A", "B"}, {1, 3}, {0, 1}},
        RemoveTabCase{"TabWithoutEntries", {"A", "B", "C"}, {0, 2}, 1, {"A", "C"}, {0, 1}, {0, 1}},
        // Entries whose tab lies beyond the tabs read are renumbered like any other.
        RemoveTabCase{"EntryBeyondTabs", {"A", "B"}, {5, 1, 0}, 0, {"B"}, {0, 1}, {4, 0}},
        RemoveTabCase{"NoEntries", {"A", "B"}, {}, 0, {"B"}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(IconsModelTest, ResetTabsLeavesOnlyPrograms) {
    m_icons->m_tabs = {"A", "B"};
    AddAt({{0, 0, 1}});
    m_icons->ResetTabs();
    EXPECT_EQ(m_icons->m_tabs, Tabs{"Programs"});
    EXPECT_EQ(m_icons->m_count, 1);
}

} // namespace
