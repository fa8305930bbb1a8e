// Tab strip geometry: heights, widths, buttons, shrinking, scrolling, hits and drag zones.
#include "controls/tabctrl/tab_layout.h"

#include <gtest/gtest.h>

using namespace tablayout;

namespace {

std::vector<int> Widths(const std::vector<Box>& rects) {
    std::vector<int> w;
    for (const Box& r : rects)
        w.push_back(r.Width());
    return w;
}

// The desktop's metrics: no border, strip padding only on the right, pane bands of 4.
StripMetrics DesktopMetrics() {
    StripMetrics m;
    m.borderWidth = 0;
    m.ctrlAreaPadding = {0, 0, 3, 0};
    m.wndsAreaPadding = {0, 4, 0, 4};
    m.tabPadding = {5, 4, 5, 3};
    m.tabMinWidth = 10;
    return m;
}

} // namespace

TEST(TabLayoutHeight, TallestOfTextImagesAndButtons) {
    struct Case {
        int text, normalImage, disabledImage, button;
        Edges tabPadding, ctrlPadding;
        int expected;
    } cases[] = {
        {13, 0, 0, 0, {5, 3, 5, 3}, {3, 1, 3, 2}, 13 + 6 + 3},
        {13, 16, 0, 0, {5, 3, 5, 3}, {3, 1, 3, 2}, 16 + 6 + 3},
        {13, 0, 20, 0, {5, 3, 5, 3}, {3, 1, 3, 2}, 20 + 6 + 3},
        {13, 0, 0, 30, {5, 3, 5, 3}, {3, 1, 3, 2}, 30 + 3}, // button taller than padded tab
        {13, 0, 0, 19, {5, 3, 5, 3}, {3, 1, 3, 2}, 19 + 3}, // equal: either
        {13, 0, 0, 0, {5, 4, 5, 3}, {0, 0, 3, 0}, 20},      // the desktop's style
        {0, 0, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, StripHeight(c.text, c.normalImage, c.disabledImage, c.button,
                                          c.tabPadding, c.ctrlPadding))
            << "text " << c.text << " button " << c.button;
    }
}

TEST(TabLayoutWidths, ContentWidthTakesWiderFontImageAndExtra) {
    const Edges padding{5, 3, 5, 3};
    EXPECT_EQ(40 + 10, TabContentWidth({false, 16, 40, 38, 0}, 3, padding)); // image ignored
    EXPECT_EQ(16 + 3 + 44 + 10, TabContentWidth({true, 16, 40, 44, 0}, 3, padding));
    EXPECT_EQ(10 + 7, TabContentWidth({false, 0, 0, 0, 7}, 3, padding)); // empty caption
}

TEST(TabLayoutWidths, NaturalAndEqualRespectTheMinimum) {
    EXPECT_EQ((std::vector<int>{30, 12, 12}), TabWidths({30, 5, 12}, 12, false));
    EXPECT_EQ((std::vector<int>{30, 30, 30}), TabWidths({30, 5, 12}, 12, true));
    EXPECT_EQ((std::vector<int>{40, 40}), TabWidths({5, 6}, 40, true));
    EXPECT_TRUE(TabWidths({}, 10, true).empty());
}

TEST(TabLayoutButtons, PlacedFromTheRightWithTheirMargins) {
    const StripMetrics m; // defaults: scroll-left 8/0, scroll-right 0/0, menu 8/0, close 2/2
    const Box tabs{3, 1, 300, 21};
    const ButtonRects all = PlaceButtons(tabs, 14, 12, true, true, true, m);
    // tabs, gap 8, scroll-left, scroll-right, gap 8, menu, gap 2, close, gap 2; all 12 high,
    // centred in the strip.
    const int top = (1 + 21 - 12) / 2;
    EXPECT_EQ((Box{284, top, 298, top + 12}), all.close);
    EXPECT_EQ((Box{268, top, 282, top + 12}), all.menu);
    EXPECT_EQ((Box{246, top, 260, top + 12}), all.scrollRight);
    EXPECT_EQ((Box{232, top, 246, top + 12}), all.scrollLeft);
    EXPECT_EQ(224, all.tabsArea.right);

    const ButtonRects onlyMenu = PlaceButtons(tabs, 14, 12, false, true, false, m);
    EXPECT_TRUE(onlyMenu.close.IsEmpty());
    EXPECT_TRUE(onlyMenu.scrollLeft.IsEmpty());
    EXPECT_EQ(300, onlyMenu.menu.right);
    EXPECT_EQ(300 - 14 - 8, onlyMenu.tabsArea.right);

    const ButtonRects none = PlaceButtons(tabs, 14, 12, false, false, false, m);
    EXPECT_EQ(tabs, none.tabsArea);
}

TEST(TabLayoutScroll, ClampedToZeroAndMaximum) {
    struct Case {
        int available, total, position;
        ScrollState expected;
    } cases[] = {
        {100, 80, 10, {0, 0, false, false, false}},  {100, 100, 0, {0, 0, false, false, false}},
        {100, 150, -5, {0, 50, true, false, true}},  {100, 150, 20, {20, 50, true, true, true}},
        {100, 150, 50, {50, 50, true, true, false}}, {100, 150, 500, {50, 50, true, true, false}},
        {0, 10, 3, {3, 10, true, true, true}},
    };
    for (const Case& c : cases) {
        const ScrollState s = ClampScroll(c.available, c.total, c.position);
        EXPECT_EQ(c.expected.position, s.position) << c.total << " at " << c.position;
        EXPECT_EQ(c.expected.maximum, s.maximum);
        EXPECT_EQ(c.expected.partialView, s.partialView);
        EXPECT_EQ(c.expected.leftEnabled, s.leftEnabled);
        EXPECT_EQ(c.expected.rightEnabled, s.rightEnabled);
    }
    EXPECT_EQ(0, AvailableWidth({50, 0, 50, 10}));
    EXPECT_EQ(0, AvailableWidth({50, 0, 20, 10}));
    EXPECT_EQ(99, AvailableWidth({0, 0, 100, 10}));
}

TEST(TabLayoutShrink, FittingTabsKeepWidthsElseProportionalCutAndLastTakesTheRest) {
    EXPECT_EQ((std::vector<Box>{{8, 2, 58, 22}, {61, 2, 101, 22}, {104, 2, 134, 22}}),
              PlaceTabsShrunk({7, 2, 300, 22}, {50, 40, 30}, {1, 2}, 10, false));
    // A = 100, T = 120: share 33, excess 24, overflow 20.
    EXPECT_EQ((std::vector<Box>{{0, 0, 36, 20}, {36, 0, 70, 20}, {70, 0, 100, 20}}),
              PlaceTabsShrunk({0, 0, 101, 20}, {50, 40, 30}, {0, 0}, 10, false));

    // Equal widths share the space evenly.
    const auto equal = PlaceTabsShrunk({0, 0, 101, 20}, {50, 50, 50}, {0, 0}, 10, true);
    EXPECT_EQ((std::vector<int>{33, 33, 33}), Widths(equal));
}

TEST(TabLayoutShrink, NeverBelowTheMinimumEvenWithoutRoom) {
    // Narrower than n x (mL + mR): share becomes 1, every tab still gets the minimum of 10.
    for (bool equal : {false, true}) {
        const auto rects = PlaceTabsShrunk({0, 0, 5, 20}, {60, 70, 80, 90}, {2, 2}, 10, equal);
        for (int w : Widths(rects))
            EXPECT_EQ(10, w) << "equal " << equal;
    }
    // Zero-width tabs area and tabs with no width at all: nothing to divide, still sane.
    const auto zero = PlaceTabsShrunk({40, 0, 40, 20}, {0, 0, 0}, {1, 1}, 0, false);
    ASSERT_EQ(3u, zero.size());
    for (const Box& r : zero)
        EXPECT_GE(r.Width(), 0);
}

TEST(TabLayoutShrink, HundredsOfTabsStayOrderedAndInside) {
    std::vector<int> widths(500, 80);
    const auto rects = PlaceTabsShrunk({0, 0, 1001, 20}, widths, {0, 0}, 10, false);
    ASSERT_EQ(500u, rects.size());
    for (std::size_t i = 1; i < rects.size(); ++i)
        EXPECT_EQ(rects[i - 1].right, rects[i].left);
    for (const Box& r : rects)
        EXPECT_GE(r.Width(), 10);
}

TEST(TabLayoutScroll, ScrolledPlacementStartsLeftOfTheArea) {
    EXPECT_EQ((std::vector<Box>{{-14, 0, 26, 20}, {28, 0, 68, 20}}),
              PlaceTabsScrolled({10, 0, 100, 20}, {40, 40}, {1, 1}, 25));
}

TEST(TabLayoutCompute, TopAndBottomStrips) {
    LayoutInput in;
    in.client = {0, 0, 400, 300};
    in.metrics = DesktopMetrics();
    in.drawBorder = true; // the border width is 0 in this style
    in.stripHeight = 20;
    in.contentWidths = {60, 50};

    LayoutResult top = ComputeLayout(in);
    EXPECT_EQ((Box{0, 0, 400, 20}), top.ctrlArea);
    EXPECT_EQ((Box{0, 0, 397, 20}), top.tabsArea);
    EXPECT_EQ((Box{0, 20, 400, 300}), top.wndsArea);
    EXPECT_EQ((std::vector<Box>{{0, 0, 60, 20}, {60, 0, 110, 20}}), top.tabRects);

    in.side = StripSide::Bottom;
    LayoutResult bottom = ComputeLayout(in);
    EXPECT_EQ((Box{0, 280, 400, 300}), bottom.ctrlArea);
    EXPECT_EQ((Box{0, 0, 400, 280}), bottom.wndsArea);

    // A border comes off every side first; a window lower than the strip keeps a flat pane.
    in.side = StripSide::Top;
    in.metrics.borderWidth = 1;
    in.client = {0, 0, 400, 10};
    LayoutResult low = ComputeLayout(in);
    EXPECT_EQ((Box{1, 1, 399, 21}), low.ctrlArea);
    EXPECT_EQ(21, low.wndsArea.top);
    EXPECT_EQ(21, low.wndsArea.bottom);
}

TEST(TabLayoutCompute, EmptyAndHiddenSingleTabTakeNoStrip) {
    LayoutInput in;
    in.client = {0, 0, 400, 300};
    in.metrics = DesktopMetrics();
    in.stripHeight = 20;
    in.buttonWidth = in.buttonHeight = 14;
    in.closeShown = in.menuShown = true;

    const LayoutResult none = ComputeLayout(in);
    EXPECT_TRUE(none.ctrlArea.IsEmpty());
    EXPECT_TRUE(none.close.IsEmpty());
    EXPECT_TRUE(none.menu.IsEmpty());
    EXPECT_EQ(in.client, none.wndsArea);

    in.contentWidths = {70};
    in.hideSingleTab = true;
    const LayoutResult single = ComputeLayout(in);
    EXPECT_TRUE(single.singleTabHidden);
    EXPECT_TRUE(single.ctrlArea.IsEmpty());
    EXPECT_TRUE(single.tabRects[0].IsEmpty());
    EXPECT_EQ(0, single.tabWidths[0]);
    EXPECT_EQ(in.client, single.wndsArea);

    in.hideSingleTab = false;
    const LayoutResult shown = ComputeLayout(in);
    EXPECT_FALSE(shown.singleTabHidden);
    EXPECT_EQ(20, shown.wndsArea.top);
    EXPECT_FALSE(shown.close.IsEmpty());
}

TEST(TabLayoutCompute, ScrollButtonsOnlyWhenScrolling) {
    LayoutInput in;
    in.client = {0, 0, 200, 100};
    in.stripHeight = 22;
    in.contentWidths = {90, 90, 90};
    in.buttonWidth = in.buttonHeight = 14;
    in.scrollButtonsShown = true;
    in.scroll.position = 1000;

    const LayoutResult shrink = ComputeLayout(in);
    EXPECT_TRUE(shrink.scrollLeft.IsEmpty());
    EXPECT_TRUE(shrink.scrollRight.IsEmpty());
    EXPECT_EQ(shrink.tabsArea.right, shrink.tabRects.back().right + 1);

    in.scrollBehavior = true;
    const LayoutResult scroll = ComputeLayout(in);
    EXPECT_FALSE(scroll.scrollLeft.IsEmpty());
    EXPECT_EQ(scroll.scroll.maximum, scroll.scroll.position);
    EXPECT_TRUE(scroll.scroll.leftEnabled);
    EXPECT_FALSE(scroll.scroll.rightEnabled);
    // Scrolled to the end, the last tab ends one pixel inside the tabs area.
    EXPECT_EQ(scroll.tabsArea.right - 1, scroll.tabRects.back().right);
}

TEST(TabLayoutMouse, HitsOnlyInsideTheTabsArea) {
    const Box area{10, 0, 100, 20};
    const std::vector<Box> rects{{0, 0, 30, 20}, {30, 0, 60, 20}, {60, 0, 140, 20}};
    // At x 5 the tab is there, but scrolled out.
    const struct {
        int x, y, expected;
    } cases[] = {{5, 5, -1}, {10, 5, 0}, {30, 19, 1}, {30, 20, -1}, {120, 5, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, HitTestTabs(area, rects, c.x, c.y)) << c.x << "," << c.y;
    EXPECT_EQ(-1, HitTestTabs(area, {}, 50, 5));
}

TEST(TabLayoutMouse, VisibilityAndEnsureVisible) {
    const Box area{10, 0, 100, 20};
    bool partially = true;
    EXPECT_TRUE(IsTabVisible({20, 0, 60, 20}, area, &partially));
    EXPECT_FALSE(partially);
    EXPECT_TRUE(IsTabVisible({0, 0, 11, 20}, area, &partially));
    EXPECT_TRUE(partially);
    EXPECT_FALSE(IsTabVisible({0, 0, 10, 20}, area, &partially));
    EXPECT_FALSE(IsTabVisible({100, 0, 120, 20}, area, &partially));
    EXPECT_EQ(-10, EnsureVisibleDelta({0, 0, 30, 20}, area));
    EXPECT_EQ(20, EnsureVisibleDelta({80, 0, 120, 20}, area));
    EXPECT_EQ(0, EnsureVisibleDelta({20, 0, 60, 20}, area));
}

TEST(TabLayoutMouse, DragThresholdIsASixPixelSquare) {
    EXPECT_FALSE(BeyondDragThreshold(50, 50, 47, 47));
    EXPECT_FALSE(BeyondDragThreshold(50, 50, 52, 52));
    EXPECT_TRUE(BeyondDragThreshold(50, 50, 53, 50));
    EXPECT_TRUE(BeyondDragThreshold(50, 50, 50, 53));
    EXPECT_TRUE(BeyondDragThreshold(50, 50, 46, 50));
}

TEST(TabLayoutMouse, DragZonesUseTheDraggedWidth) {
    // Dragged tab 2 (width 20) over tab 0 at [0, 80): only its first 20 pixels move it.
    const Box before{0, 0, 80, 20};
    EXPECT_EQ(0, DragDestination(2, 20, 0, before, 19, 5));
    EXPECT_EQ(-1, DragDestination(2, 20, 0, before, 20, 5));
    // Dragged tab 0 over tab 3 at [100, 180): only its last 20 pixels.
    const Box after{100, 0, 180, 20};
    EXPECT_EQ(3, DragDestination(0, 20, 3, after, 160, 5));
    EXPECT_EQ(-1, DragDestination(0, 20, 3, after, 159, 5));
    EXPECT_EQ(-1, DragDestination(1, 20, 1, after, 170, 5));
    EXPECT_EQ(-1, DragDestination(1, 20, -1, after, 170, 5));

    std::vector<char> list{'a', 'b', 'c', 'd'};
    MoveElement(list, 0, 3);
    EXPECT_EQ((std::vector<char>{'b', 'c', 'd', 'a'}), list);
    MoveElement(list, 3, 0);
    EXPECT_EQ((std::vector<char>{'a', 'b', 'c', 'd'}), list);
    MoveElement(list, 1, 9);
    EXPECT_EQ((std::vector<char>{'a', 'b', 'c', 'd'}), list);
}

TEST(TabLayoutMouse, TooltipShowsCaptionOnlyForShrunkOrCutTabs) {
    const Box area{0, 0, 100, 20};
    EXPECT_EQ(TabTip::None, ChooseTabTip({10, 0, 60, 20}, area, 50, false));
    EXPECT_EQ(TabTip::Caption, ChooseTabTip({10, 0, 40, 20}, area, 50, false));  // shrunk
    EXPECT_EQ(TabTip::Caption, ChooseTabTip({80, 0, 130, 20}, area, 50, false)); // cut
    EXPECT_EQ(TabTip::OwnText, ChooseTabTip({10, 0, 60, 20}, area, 50, true));
    EXPECT_EQ(TabTip::None, ChooseTabTip({100, 0, 150, 20}, area, 50, true)); // out of sight
}

TEST(TabLayoutSelection, NextEnabledElsePrevious) {
    const std::vector<bool> disabled{false, true, false, true, true};
    EXPECT_EQ(0, FirstEnabled(disabled));
    EXPECT_EQ(2, NextEnabledElsePrevious(disabled, 0));
    EXPECT_EQ(2, NextEnabledElsePrevious(disabled, 1));
    EXPECT_EQ(0, NextEnabledElsePrevious(disabled, 2));
    EXPECT_EQ(2, NextEnabledElsePrevious(disabled, 4));
    EXPECT_EQ(-1, FirstEnabled({true, true}));
    EXPECT_EQ(-1, NextEnabledElsePrevious({false}, 0));
    EXPECT_EQ(-1, NextEnabledElsePrevious({}, 0));
}
