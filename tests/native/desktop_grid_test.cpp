// Desktop geometry, hit-testing and the placement pass over the catalogue.
#include "catalogue/icons.h"
#include "catalogue_test_support.h"
#include "desktop/grid_layout.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(DesktopLayoutTest, FollowsFromTheClientSize) {
    struct Case {
        int w, h;
        bool admin;
        int e, d, columns, rows;
        GridRect tabStrip;
    };
    const Case cases[] = {
        {1024, 768, true, 512, 384, 13, 5, {0, 360, 326, 384}},
        {1024, 768, false, 512, 384, 13, 5, {0, 360, 437, 384}},
        {1920, 1080, false, 960, 540, 25, 7, {0, 516, 885, 540}},
        {800, 600, true, 400, 300, 10, 3, {0, 276, 214, 300}},
        {3, 3, false, 1, 1, 0, 0, {0, -23, -74, 1}},
        {0, 0, true, 0, 0, 0, 0, {0, -24, -186, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const DesktopLayout l = DesktopLayout::Compute(c.w, c.h, c.admin);
        EXPECT_EQ(l.halfWidth, c.e);
        EXPECT_EQ(l.gridTop, c.d);
        EXPECT_EQ(l.columns, c.columns);
        EXPECT_EQ(l.rows, c.rows);
        EXPECT_EQ(l.cellsPerTab, c.columns * c.rows);
        EXPECT_EQ(l.tabStrip, c.tabStrip);
    }

    const DesktopLayout l = DesktopLayout::Compute(1024, 768, false);
    EXPECT_EQ(l.screenshot, (GridRect{514, 2, 1022, 382}));
    EXPECT_EQ(l.description, (GridRect{0, 0, 512, 346}));
    EXPECT_EQ(l.addTabButton, (GridRect{326, 346, 364, 384}));
    EXPECT_EQ(l.saveButton, (GridRect{363, 346, 401, 384}));
    EXPECT_EQ(l.settingsButton, (GridRect{400, 346, 438, 384}));
    EXPECT_EQ(l.modeButton, (GridRect{437, 346, 475, 384}));
    EXPECT_EQ(l.shutdownButton, (GridRect{474, 346, 512, 384}));
    EXPECT_EQ(l.IconRect(1, 2), (GridRect{98, 538, 130, 570}));
    EXPECT_EQ(l.CaptionRect(1, 2), (GridRect{79, 572, 149, 609}));
}

TEST(DesktopLayoutTest, HitGridBoundaries) {
    const DesktopLayout l = DesktopLayout::Compute(1024, 768, false);
    const int d = l.gridTop;
    struct Case {
        int x, y;
        bool hit;
        GridCell cell;
    };
    const Case cases[] = {
        {2, d + 2, true, {0, 0}},
        {1, d + 2, false, {}},
        {2, d + 1, false, {}},
        {13 * 75 + 1, d + 2, true, {12, 0}},
        {13 * 75 + 2, d + 2, false, {}},
        {76, d + 77, true, {0, 1}},
        {76, d + 76, true, {0, 0}},
        {77, d + 77, true, {1, 1}},
        {500, 5 * 75 + d + 1, true, {6, 4}},
        {500, 5 * 75 + d + 2, false, {}},
        {-5, -5, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(l.HitGrid(c.x, c.y), c.hit);
        if (c.hit) {
            EXPECT_EQ(l.CellOf(c.x, c.y), c.cell);
        }
    }
}

class PlacementTest : public catalogue_test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_icons = std::make_unique<Icons>(PathOf("icons.bin"));
        m_icons->m_tabs = {"A", "B", "C"};
    }
    void Add(int column, int row, int tab) {
        ProgramEntry e{};
        e.column = column;
        e.row = row;
        e.tab = tab;
        m_icons->AddEntry(e);
    }
    GridCell CellOfEntry(int i) const {
        return {m_icons->m_entries[i].column, m_icons->m_entries[i].row};
    }
    bool Saved() const { return std::filesystem::exists(PathOf("icons.bin")); }

    std::unique_ptr<Icons> m_icons;
};

TEST_F(PlacementTest, EntriesInPlaceStayAndNothingIsSaved) {
    Add(0, 0, 0);
    Add(12, 4, 0);
    Add(0, 0, 1);
    const PlacementResult r = PlaceEntries(*m_icons, 13, 5);
    EXPECT_EQ(r.placedLimit, -1);
    EXPECT_EQ(CellOfEntry(1), (GridCell{12, 4}));
    EXPECT_TRUE(r.occupancy.IsOccupied(12, 4, 0));
    EXPECT_TRUE(r.occupancy.IsOccupied(0, 0, 1));
    EXPECT_FALSE(r.occupancy.IsOccupied(0, 0, 2));
    EXPECT_EQ(EntryOnCell(*m_icons, r.occupancy, 0, 0, 1), 2);
    EXPECT_EQ(EntryOnCell(*m_icons, r.occupancy, 1, 0, 1), -1);
    EXPECT_FALSE(Saved()) << "a layout that moves nothing must not rewrite icons.bin";
}

TEST_F(PlacementTest, EntriesOutsideTheGridOrOnATakenCellMoveToTheFirstFreeCell) {
    Add(0, 0, 1);
    Add(1, 0, 1);
    Add(20, 0, 1); // column 20 on a 13-column screen
    Add(0, 0, 1);  // collides with the first entry
    Add(3, 9, 2);  // row beyond the grid, alone on its tab
    const PlacementResult r = PlaceEntries(*m_icons, 13, 5);
    EXPECT_EQ(r.placedLimit, -1);
    EXPECT_EQ(CellOfEntry(2), (GridCell{2, 0}));
    EXPECT_EQ(CellOfEntry(3), (GridCell{3, 0}));
    EXPECT_EQ(CellOfEntry(4), (GridCell{0, 0}));
    EXPECT_EQ(CellOfEntry(0), (GridCell{0, 0})) << "the earlier entry keeps its cell";
    ASSERT_TRUE(Saved());
    Icons reloaded(PathOf("icons.bin"));
    ASSERT_EQ(reloaded.m_count, 5);
    EXPECT_EQ(reloaded.m_entries[2].column, 2);
}

TEST_F(PlacementTest, DamagedEntriesNeverIndexOutsideTheMap) {
    Add(-1, 0, 0);
    Add(0, -7, 0);
    Add(0, 0, 9);
    Add(0, 0, -3);
    const PlacementResult r = PlaceEntries(*m_icons, 13, 5);
    EXPECT_EQ(r.placedLimit, -1);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m_icons->m_entries[i].tab, 0);
        EXPECT_EQ(CellOfEntry(i), (GridCell{i, 0}));
    }
    EXPECT_FALSE(r.occupancy.IsOccupied(-1, 0, 0));
    EXPECT_FALSE(r.occupancy.IsOccupied(0, 0, 3));
    EXPECT_EQ(EntryOnCell(*m_icons, r.occupancy, 0, 0, -1), -1);
}

TEST_F(PlacementTest, TheFirstEntryWithoutRoomStopsThePass) {
    for (int i = 0; i < 6; ++i)
        Add(0, 0, 0); // a 3 x 2 grid holds six
    Add(0, 0, 1);
    Add(0, 0, 0); // the seventh on tab 0 finds no room
    Add(1, 0, 1);
    const PlacementResult r = PlaceEntries(*m_icons, 3, 2);
    EXPECT_EQ(r.placedLimit, 7);
    EXPECT_EQ(DrawableCount(*m_icons, r.placedLimit), 7);
    EXPECT_EQ(CellOfEntry(5), (GridCell{2, 1}));
    EXPECT_FALSE(r.occupancy.IsOccupied(1, 0, 1)) << "entries after the limit are not placed";
    EXPECT_EQ(DrawableCount(*m_icons, -1), 9);
}

TEST_F(PlacementTest, WithoutTabsNothingIsPlacedOrShown) {
    Add(0, 0, 0);
    Add(-4, 99, 5);
    m_icons->m_tabs.clear();
    const PlacementResult r = PlaceEntries(*m_icons, 13, 5);
    EXPECT_EQ(r.placedLimit, -1);
    EXPECT_EQ(r.occupancy.Tabs(), 0);
    EXPECT_EQ(m_icons->m_entries[1].column, -4) << "stored cells are kept";
    EXPECT_EQ(EntryOnCell(*m_icons, r.occupancy, 0, 0, 0), -1);
    EXPECT_FALSE(Saved());
}

TEST_F(PlacementTest, AFailedSaveKeepsThePlacementAndIsReportedOnce) {
    m_icons = std::make_unique<Icons>(PathOf("missing-folder/icons.bin"));
    m_icons->m_tabs = {"A"};
    Add(40, 0, 0);
    Add(41, 0, 0);
    const PlacementResult r = PlaceEntries(*m_icons, 13, 5);
    EXPECT_EQ(r.placedLimit, -1);
    ASSERT_TRUE(r.saveError.has_value());
    EXPECT_EQ(r.saveErrorPath, PathOf("missing-folder/icons.bin"));
    EXPECT_EQ(CellOfEntry(0), (GridCell{0, 0}));
    EXPECT_EQ(CellOfEntry(1), (GridCell{1, 0}));
}

} // namespace
