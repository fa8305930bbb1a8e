// The colour pop-up's arithmetic: size, cell rectangles, hit-testing, arrow keys, the chosen
// cell and the screen fit.

#include "controls/colour/popup_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>

using namespace colour;

namespace {

constexpr int kMargin = 2; // the usual SM_CXEDGE
const Extent kAutomatic{60, 13};
const Extent kMoreColours{80, 13};
const Extent kWide{200, 13};

TEST(ColourTable, HoldsFortyDistinctNamedColours) {
    std::set<ColourRef> colours;
    for (const NamedColour& entry : kColourTable) {
        EXPECT_GT(std::strlen(entry.name), 0u);
        colours.insert(entry.colour);
    }
    EXPECT_EQ(colours.size(), 40u);
    EXPECT_STREQ(kColourTable[2].name, "Dark Olive Green");
    EXPECT_EQ(kColourTable[2].colour, Rgb(0, 64, 64));
    EXPECT_STREQ(kColourTable[35].name, "Pale green "); // the trailing blank is the stored name
    EXPECT_EQ(kColourTable[16].colour, 0x0000FFu);      // red in COLORREF layout
    EXPECT_EQ(kColourTable[13].colour, 0xFF0000u);      // blue
    EXPECT_EQ(kColourTable[20].colour, Rgb(127, 255, 212));
    EXPECT_STREQ(kColourTable[39].name, "White");
}

TEST(ColourPopupLayout, BoxSizeGrowsOnlyForWideEdges) {
    const struct { int margin, box; } cases[] = {{1, 18}, {2, 18}, {5, 18}, {6, 19}, {8, 23}};
    for (const auto& c : cases)
        EXPECT_EQ(BoxSizeForMargin(c.margin), c.box) << "margin " << c.margin;
}

TEST(ColourPopupLayout, SizeWithAndWithoutEachLabel) {
    const struct {
        const char* what;
        std::optional<Extent> defaultLabel, customLabel;
        int width, height;
        Box defaultRect, customRect;
    } cases[] = {
        {"no labels", std::nullopt, std::nullopt, 148, 94, {}, {}},
        {"default only", kAutomatic, std::nullopt, 148, 123, {2, 2, 146, 27}, {}},
        {"custom only", std::nullopt, kMoreColours, 148, 123, {}, {2, 94, 146, 119}},
        {"both", kAutomatic, kMoreColours, 148, 152, {2, 2, 146, 27}, {2, 123, 146, 148}},
        // A label wider than the grid widens the window; both boxes take the new width.
        {"wide default", kWide, kMoreColours, 204, 152, {2, 2, 202, 27}, {2, 123, 202, 148}},
        {"wide custom", kAutomatic, Extent{150, 16}, 154, 158, {2, 2, 152, 30}, {2, 126, 152, 154}},
    };
    for (const auto& c : cases) {
        const PopupLayout layout = LayoutPopup(kMargin, c.defaultLabel, c.customLabel);
        EXPECT_EQ(layout.boxSize, 18) << c.what;
        EXPECT_EQ(layout.width, c.width) << c.what;
        EXPECT_EQ(layout.height, c.height) << c.what;
        EXPECT_EQ(layout.defaultRect, c.defaultRect) << c.what;
        EXPECT_EQ(layout.customRect, c.customRect) << c.what;
    }
}

TEST(ColourPopupLayout, CellRectanglesMoveDownBelowTheDefaultBox) {
    const PopupLayout plain = LayoutPopup(kMargin, std::nullopt, std::nullopt);
    const PopupLayout withDefault = LayoutPopup(kMargin, kAutomatic, kMoreColours);
    const struct {
        int cell;
        Box plain, withDefault;
    } cases[] = {
        {0, {2, 2, 20, 20}, {2, 29, 20, 47}},
        {7, {128, 2, 146, 20}, {128, 29, 146, 47}},
        {9, {20, 20, 38, 38}, {20, 47, 38, 65}},
        {39, {128, 74, 146, 92}, {128, 101, 146, 119}},
        {kDefaultBox, {}, {2, 2, 146, 27}},
        {kCustomBox, {}, {2, 123, 146, 148}},
        {kNoCell, {}, {}},
        {40, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CellRect(plain, c.cell), c.plain) << "cell " << c.cell;
        EXPECT_EQ(CellRect(withDefault, c.cell), c.withDefault) << "cell " << c.cell;
    }
}

TEST(ColourPopupHitTest, EveryCellCentreFindsItsCell) {
    for (const PopupLayout& layout : {LayoutPopup(kMargin, std::nullopt, std::nullopt),
                                      LayoutPopup(kMargin, kAutomatic, kMoreColours),
                                      LayoutPopup(6, kAutomatic, std::nullopt)}) {
        for (int cell = 0; cell < kColourCount; ++cell) {
            const Box r = CellRect(layout, cell);
            // A cell is hit exactly where it is painted, corners included.
            EXPECT_EQ(CellAt(layout, r.left, r.top), cell);
            EXPECT_EQ(CellAt(layout, r.right - 1, r.bottom - 1), cell);
            EXPECT_EQ(CellAt(layout, (r.left + r.right) / 2, (r.top + r.bottom) / 2), cell);
        }
    }
}

TEST(ColourPopupHitTest, BoxesBorderAndOutside) {
    const PopupLayout both = LayoutPopup(kMargin, kAutomatic, kMoreColours);
    const PopupLayout plain = LayoutPopup(kMargin, std::nullopt, std::nullopt);
    const struct {
        const PopupLayout& layout;
        int x, y, cell;
    } cases[] = {
        {both, 50, 2, kDefaultBox},
        {both, 145, 26, kDefaultBox},
        {both, 50, 27, kNoCell}, // the gap between the default box and the grid
        {both, 50, 123, kCustomBox},
        {both, 145, 147, kCustomBox},
        {both, 50, 148, kNoCell}, // below the custom box
        {both, 0, 0, kNoCell},    // the raised border
        {both, 1, 60, kNoCell},   // the border left of the grid
        {both, 146, 60, kNoCell}, // the border right of the grid
        {both, 2, 29, 0},
        {both, 19, 46, 0},
        {both, 19, 47, 8},
        {both, 50, 120, kNoCell}, // between the last row and the custom box
        {both, -5, -5, kNoCell},
        {plain, 2, 2, 0},
        {plain, 1, 1, kNoCell},
        {plain, 145, 91, 39},
        {plain, 50, 92, kNoCell}, // the border below the last row
    };
    for (const auto& c : cases)
        EXPECT_EQ(CellAt(c.layout, c.x, c.y), c.cell)
            << (&c.layout == &plain ? "plain " : "") << c.x << "," << c.y;
}

TEST(ColourPopupKeys, EveryRowOfTheKeyboardTable) {
    using K = ArrowKey;
    const struct {
        const char* what;
        int from;
        K key;
        bool hasDefault, hasCustom;
        int to;
    } cases[] = {
        // From a colour cell.
        {"left", 12, K::Left, true, true, 11},
        {"left from column 0", 8, K::Left, true, true, 7},
        {"left from cell 0", 0, K::Left, true, true, kDefaultBox},
        {"left from cell 0, no default", 0, K::Left, false, true, kCustomBox},
        {"left from cell 0, no boxes", 0, K::Left, false, false, 39},
        {"right", 12, K::Right, true, true, 13},
        {"right from column 7", 7, K::Right, true, true, 8},
        {"right from 39", 39, K::Right, true, true, kCustomBox},
        {"right from 39, no custom", 39, K::Right, true, false, kDefaultBox},
        {"right from 39, no boxes", 39, K::Right, false, false, 0},
        {"up", 12, K::Up, true, true, 4},
        {"up from row 0", 5, K::Up, true, true, kDefaultBox},
        {"up from row 0, no default", 5, K::Up, false, true, kCustomBox},
        {"up from row 0, no boxes", 5, K::Up, false, false, 39},
        {"down", 12, K::Down, true, true, 20},
        {"down from 35", 35, K::Down, true, true, kCustomBox},
        {"down from 35, no custom", 35, K::Down, true, false, kDefaultBox},
        {"down from 35, no boxes", 35, K::Down, false, false, 0},
        // From the default box.
        {"default left", kDefaultBox, K::Left, true, true, kCustomBox},
        {"default left, no custom", kDefaultBox, K::Left, true, false, 39},
        {"default right", kDefaultBox, K::Right, true, true, 0},
        {"default up", kDefaultBox, K::Up, true, true, kCustomBox},
        {"default up, no custom", kDefaultBox, K::Up, true, false, 39},
        {"default down", kDefaultBox, K::Down, true, true, 0},
        // From the custom box.
        {"custom left", kCustomBox, K::Left, true, true, 39},
        {"custom right", kCustomBox, K::Right, true, true, kDefaultBox},
        {"custom right, no default", kCustomBox, K::Right, false, true, 0},
        {"custom up", kCustomBox, K::Up, true, true, 39},
        {"custom down", kCustomBox, K::Down, true, true, kDefaultBox},
        {"custom down, no default", kCustomBox, K::Down, false, true, 0},
        // With no current cell: as from row -1, column -1.
        {"none left", kNoCell, K::Left, true, true, kDefaultBox},
        {"none left, no boxes", kNoCell, K::Left, false, false, 39},
        {"none right", kNoCell, K::Right, true, true, kCustomBox},
        {"none right, no custom", kNoCell, K::Right, true, false, kDefaultBox},
        {"none up", kNoCell, K::Up, false, true, kCustomBox},
        {"none down", kNoCell, K::Down, false, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MoveSelection(c.from, c.key, c.hasDefault, c.hasCustom), c.to) << c.what;
}

TEST(ColourPopupKeys, WalkingRightVisitsEveryCellOnce) {
    std::set<int> seen;
    int cell = kDefaultBox;
    for (int step = 0; step < kColourCount + 2; ++step) {
        seen.insert(cell);
        cell = MoveSelection(cell, ArrowKey::Right, true, true);
    }
    EXPECT_EQ(cell, kDefaultBox); // the round trip closes
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kColourCount + 2));
}

TEST(ColourPopupChosenCell, ColoursInAndOutOfTheTable) {
    const struct {
        const char* what;
        ColourRef colour;
        bool hasDefault, hasCustom;
        int chosen;
    } cases[] = {
        {"red", Rgb(255, 0, 0), true, true, 16},
        {"black", Rgb(0, 0, 0), true, true, 0},
        {"white", Rgb(255, 255, 255), false, false, 39},
        {"not in the table", Rgb(1, 2, 3), true, true, kCustomBox},
        {"not in the table, no custom box", Rgb(1, 2, 3), true, false, kNoCell},
        {"automatic", kDefaultColour, true, true, kDefaultBox},
        {"automatic without a default box", kDefaultColour, false, true, kCustomBox},
        {"automatic, no boxes", kDefaultColour, false, false, kNoCell},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChosenCell(c.colour, c.hasDefault, c.hasCustom), c.chosen) << c.what;
}

TEST(ColourPopupChosenCell, ColourOfEachKindOfCell) {
    const ColourRef opening = Rgb(9, 8, 7);
    EXPECT_EQ(CellColour(13, opening), Rgb(0, 0, 255));
    EXPECT_EQ(CellColour(kDefaultBox, opening), kDefaultColour);
    EXPECT_EQ(CellColour(kCustomBox, opening), opening);
}

TEST(ColourPopupScreenFit, MovesBackOntoTheScreen) {
    const struct {
        const char* what;
        Box window, fitted;
    } cases[] = {
        {"fits", {100, 100, 248, 252}, {100, 100, 248, 252}},
        {"past the right edge", {950, 100, 1098, 252}, {876, 100, 1024, 252}},
        {"left of the screen", {-30, 100, 118, 252}, {0, 100, 148, 252}},
        // The picker is 22 high: the pop-up ends at the picker's top.
        {"below the bottom", {100, 700, 248, 852}, {100, 526, 248, 678}},
        {"bottom right corner", {1000, 700, 1148, 852}, {876, 526, 1024, 678}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitOnScreen(c.window, 1024, 768, 22), c.fitted) << c.what;
}

} // namespace
