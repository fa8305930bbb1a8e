// Layout of the description editor, twip/pixel rounding, the ruler's scale and the limits of
// a tab-stop drag.

#include "controls/richedit/ruler_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace richedit;

TEST(RichEditLayout, BarsTakeTheirHeightOnlyWhenShown) {
    struct Case {
        bool toolbar, ruler;
        Area toolbarArea, rulerArea, editArea;
    };
    const Case cases[] = {
        {true, true, {0, 0, 300, 28}, {0, 28, 300, 54}, {0, 54, 300, 200}},
        {false, true, {0, 0, 300, 0}, {0, 0, 300, 26}, {0, 26, 300, 200}},
        {true, false, {0, 0, 300, 28}, {0, 28, 300, 28}, {0, 28, 300, 200}},
        {false, false, {0, 0, 300, 0}, {0, 0, 300, 0}, {0, 0, 300, 200}},
    };
    for (const Case& c : cases) {
        const ChildLayout layout = LayOutChildren(300, 200, c.toolbar, c.ruler);
        EXPECT_EQ(layout.toolbar, c.toolbarArea) << c.toolbar << c.ruler;
        EXPECT_EQ(layout.ruler, c.rulerArea) << c.toolbar << c.ruler;
        EXPECT_EQ(layout.edit, c.editArea) << c.toolbar << c.ruler;
    }
    // Lower than its bars: the text gets no room, never a negative height.
    EXPECT_EQ(LayOutChildren(300, 40, true, true).edit.Height(), 0);
}

TEST(RichEditLayout, TwipsAndPixelsRoundToNearest) {
    EXPECT_EQ(TwipsToPixels(640, 96), 43);
    EXPECT_EQ(TwipsToPixels(20480, 96), 1365);
    EXPECT_EQ(TwipsToPixels(640, 120), 53);
    EXPECT_EQ(PixelsToTwips(43, 96), 645);
    EXPECT_EQ(PixelsToTwips(10, 0), 0) << "no division by a missing resolution";
}

TEST(RichEditRuler, CentimetreScaleHasHalfTicksAndNumbers) {
    // 96 dpi: 38 pixels per centimetre.
    const RulerScale scale = LayOutRulerScale(200, 26, 9, 0, 96, RulerUnit::Centimetres);
    EXPECT_EQ(scale.band, (Area{7, 3, 197, 21}));
    EXPECT_EQ(scale.middle, 12);
    ASSERT_FALSE(scale.labels.empty());
    EXPECT_EQ(scale.labels[0], (RulerLabel{9 + 38, 1}));
    EXPECT_EQ(scale.ticks[0], (RulerTick{9 + 19, 11, 14}));
    // Nothing at or beyond width - margin.
    for (const RulerTick& tick : scale.ticks)
        EXPECT_LT(tick.x, 200 - 9);
    for (const RulerLabel& label : scale.labels)
        EXPECT_LT(label.x, 200 - 9);
    EXPECT_EQ(scale.labels.back().number, 4);
    EXPECT_EQ(scale.ticks.size(), 5u); // 0.5, 1.5, 2.5, 3.5, 4.5 cm

    // Scrolled text moves the scale with it.
    const RulerScale scrolled = LayOutRulerScale(200, 26, 9, 30, 96, RulerUnit::Centimetres);
    EXPECT_EQ(scrolled.labels[0].x, 9 + 38 - 30);
}

TEST(RichEditRuler, InchScaleHasShortAndLongTicks) {
    const RulerScale scale = LayOutRulerScale(300, 26, 9, 0, 96, RulerUnit::Inches);
    const int m = scale.middle;
    ASSERT_GE(scale.ticks.size(), 7u);
    EXPECT_EQ(scale.ticks[0], (RulerTick{9 + 12, m - 1, m + 1})); // 1/8
    EXPECT_EQ(scale.ticks[1], (RulerTick{9 + 24, m - 3, m + 3})); // 1/4
    EXPECT_EQ(scale.labels[0], (RulerLabel{9 + 96, 1}));
    EXPECT_EQ(scale.labels.size(), 2u);
}

TEST(RichEditRuler, TabMarkersAreFoundByTheirRectangle) {
    const std::vector<int> stops{43, 85, 128};
    struct Case {
        int x, y;
        std::optional<int> found;
    };
    const Case cases[] = {
        {9 + 85, 18, 1},      {9 + 85 - 2, 16, 1},  {9 + 85 + 2, 19, 1},
        {9 + 85 + 3, 18, {}}, {9 + 85 - 3, 18, {}}, {9 + 85, 15, {}},
        {9 + 85, 20, {}},     {9 + 43, 17, 0},      {0, 18, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindTabMarker(stops, 9, 0, c.x, c.y), c.found) << c.x << "," << c.y;
    // Overlapping markers: the last one wins; scrolling shifts them.
    EXPECT_EQ(FindTabMarker({40, 42}, 9, 0, 9 + 41, 18), 1);
    EXPECT_EQ(FindTabMarker(stops, 9, 20, 9 + 85 - 20, 18), 1);
}

TEST(RichEditRuler, TrackLineKeepsClearOfNeighboursAndTheEdge) {
    const std::vector<int> stops{43, 85, 128};
    const int margin = 9;
    struct Case {
        int index, wanted, width, expected;
    };
    const Case cases[] = {
        {1, 9 + 100, 400, 9 + 100}, // free
        {1, 0, 400, 9 + 43 + 3},    // stops right of the previous stop
        {1, 999, 400, 9 + 128 - 3}, // and left of the next
        {0, -50, 400, 9 + 3},       // the first keeps right of the text's edge
        {2, 999, 400, 400 - 5},     // the last keeps inside the control
        {2, 999, 100, 9 + 128},     // a control too narrow: the stop stays
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampTrackLine(stops, c.index, margin, 0, c.width, c.wanted, 9 + stops[c.index]),
                  c.expected)
            << c.index << " " << c.wanted;
    EXPECT_EQ(ClampTrackLine(stops, 5, margin, 0, 400, 77, 66), 66);
    // Neighbours closer than the clearance: the stop stays.
    EXPECT_EQ(ClampTrackLine({43, 45, 47}, 1, margin, 0, 400, 200, 54), 54);
}

} // namespace
