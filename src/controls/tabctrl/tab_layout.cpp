#include "controls/tabctrl/tab_layout.h"

#include <algorithm>
#include <cmath>

namespace tablayout {

Box Shrink(const Box& box, const Edges& by) {
    return {box.left + by.left, box.top + by.top, box.right - by.right, box.bottom - by.bottom};
}

int StripHeight(int textHeight, int normalImageHeight, int disabledImageHeight, int buttonHeight,
                const Edges& tabPadding, const Edges& ctrlAreaPadding) {
    const int content = std::max({textHeight, normalImageHeight, disabledImageHeight});
    const int tab = content + tabPadding.top + tabPadding.bottom;
    return std::max(buttonHeight, tab) + ctrlAreaPadding.top + ctrlAreaPadding.bottom;
}

int TabContentWidth(const TabMeasure& tab, int imageTextSpace, const Edges& tabPadding) {
    const int image = tab.hasImage ? tab.imageWidth + imageTextSpace : 0;
    const int text = std::max(tab.textWidthNormal, tab.textWidthSelected);
    return image + text + tabPadding.left + tabPadding.right + tab.extraWidth;
}

std::vector<int> TabWidths(const std::vector<int>& contentWidths, int minWidth, bool equal) {
    std::vector<int> widths(contentWidths.size());
    if (equal) {
        int widest = minWidth;
        for (int w : contentWidths)
            widest = std::max(widest, w);
        std::fill(widths.begin(), widths.end(), widest);
    } else {
        for (std::size_t i = 0; i < contentWidths.size(); ++i)
            widths[i] = std::max(contentWidths[i], minWidth);
    }
    return widths;
}

ButtonRects PlaceButtons(const Box& tabsArea, int buttonWidth, int buttonHeight, bool showClose,
                         bool showMenu, bool showScroll, const StripMetrics& m) {
    ButtonRects r;
    r.tabsArea = tabsArea;
    const int top = (tabsArea.top + tabsArea.bottom - buttonHeight) / 2;
    const int bottom = top + buttonHeight;
    Box& tabs = r.tabsArea;
    if (showClose) {
        const int right = tabs.right - m.closeMargin.right;
        r.close = {right - buttonWidth, top, right, bottom};
        tabs.right = r.close.left - m.closeMargin.left;
    }
    if (showMenu) {
        const int right = tabs.right - m.menuMargin.right;
        r.menu = {right - buttonWidth, top, right, bottom};
        tabs.right = r.menu.left - m.menuMargin.left;
    }
    if (showScroll) {
        const int rightOfRight = tabs.right - m.scrollRightMargin.right;
        r.scrollRight = {rightOfRight - buttonWidth, top, rightOfRight, bottom};
        const int rightOfLeft =
            r.scrollRight.left - m.scrollLeftMargin.right - m.scrollRightMargin.left;
        r.scrollLeft = {rightOfLeft - buttonWidth, top, rightOfLeft, bottom};
        tabs.right = r.scrollLeft.left - m.scrollLeftMargin.left;
    }
    return r;
}

int AvailableWidth(const Box& tabsArea) {
    return tabsArea.right > tabsArea.left ? tabsArea.right - tabsArea.left - 1 : 0;
}

int TotalWidth(const std::vector<int>& widths, const HorzMargin& margin) {
    long long total = 0;
    for (int w : widths)
        total += static_cast<long long>(w) + margin.left + margin.right;
    return static_cast<int>(std::min<long long>(total, 0x3fffffff));
}

ScrollState ClampScroll(int available, int total, int position) {
    ScrollState s;
    s.maximum = std::max(0, total - available);
    s.position = std::clamp(position, 0, s.maximum);
    s.partialView = total > available;
    s.leftEnabled = s.partialView && s.position > 0;
    s.rightEnabled = s.partialView && s.position < s.maximum;
    return s;
}

namespace {

// Places one tab at x with width w and returns the x of the next one.
int PlaceOne(std::vector<Box>& rects, const Box& tabsArea, int x, int w, const HorzMargin& m) {
    rects.push_back({x + m.left, tabsArea.top, x + w + m.left, tabsArea.bottom});
    return x + w + m.left + m.right;
}

} // namespace

std::vector<Box> PlaceTabsScrolled(const Box& tabsArea, const std::vector<int>& widths,
                                   const HorzMargin& margin, int scrollPosition) {
    std::vector<Box> rects;
    rects.reserve(widths.size());
    int x = tabsArea.left - scrollPosition;
    for (int w : widths)
        x = PlaceOne(rects, tabsArea, x, w, margin);
    return rects;
}

std::vector<Box> PlaceTabsShrunk(const Box& tabsArea, const std::vector<int>& widths,
                                 const HorzMargin& margin, int minWidth, bool equal) {
    const int available = AvailableWidth(tabsArea);
    const int total = TotalWidth(widths, margin);
    if (available >= total || widths.empty())
        return PlaceTabsScrolled(tabsArea, widths, margin, 0);

    const int n = static_cast<int>(widths.size());
    int share = (available - (margin.left + margin.right) * n) / n;
    if (share <= 0)
        share = 1;

    std::vector<Box> rects;
    rects.reserve(widths.size());
    int x = tabsArea.left;
    if (equal) {
        for (int i = 0; i < n; ++i)
            x = PlaceOne(rects, tabsArea, x, std::max(share, minWidth), margin);
        return rects;
    }

    double excess = 0;
    for (int w : widths) {
        if (w > share)
            excess += w - share;
    }
    const double overflow = static_cast<double>(total) - available;
    for (int i = 0; i + 1 < n; ++i) {
        int w = widths[i];
        // Without excess there is nothing to take proportionally (all tabs at their minimum).
        if (w > share && excess > 0)
            w -= static_cast<int>(std::floor((w - share) / excess * overflow + 0.5));
        x = PlaceOne(rects, tabsArea, x, std::max(w, minWidth), margin);
    }
    const int rest = tabsArea.right - margin.right - margin.left - x - 1;
    PlaceOne(rects, tabsArea, x, std::max(rest, minWidth), margin);
    return rects;
}

LayoutResult ComputeLayout(const LayoutInput& in) {
    LayoutResult r;
    r.scroll = in.scroll;
    r.windowArea = in.client;
    if (in.drawBorder)
        r.windowArea = Shrink(r.windowArea, {in.metrics.borderWidth, in.metrics.borderWidth,
                                             in.metrics.borderWidth, in.metrics.borderWidth});
    r.wndsArea = r.windowArea;

    const std::size_t count = in.contentWidths.size();
    if (count == 0)
        return r;
    if (count == 1 && in.hideSingleTab) {
        r.singleTabHidden = true;
        r.tabRects.assign(1, Box{});
        r.tabWidths.assign(1, 0);
        return r;
    }

    r.ctrlArea = r.windowArea;
    if (in.side == StripSide::Top) {
        r.ctrlArea.bottom = r.ctrlArea.top + in.stripHeight;
        r.wndsArea.top = r.ctrlArea.bottom;
        r.wndsArea.bottom = std::max(r.wndsArea.bottom, r.ctrlArea.bottom);
    } else {
        r.ctrlArea.top = r.ctrlArea.bottom - in.stripHeight;
        r.wndsArea.bottom = r.ctrlArea.top;
        r.wndsArea.top = std::min(r.wndsArea.top, r.ctrlArea.top);
    }

    r.tabWidths = TabWidths(in.contentWidths, in.metrics.tabMinWidth, in.equalTabWidth);

    const ButtonRects buttons = PlaceButtons(
        Shrink(r.ctrlArea, in.metrics.ctrlAreaPadding), in.buttonWidth, in.buttonHeight,
        in.closeShown, in.menuShown, in.scrollBehavior && in.scrollButtonsShown, in.metrics);
    r.tabsArea = buttons.tabsArea;
    r.close = buttons.close;
    r.menu = buttons.menu;
    r.scrollLeft = buttons.scrollLeft;
    r.scrollRight = buttons.scrollRight;

    r.scroll = ClampScroll(AvailableWidth(r.tabsArea),
                           TotalWidth(r.tabWidths, in.metrics.tabHorzMargin), in.scroll.position);
    r.tabRects = in.scrollBehavior
                     ? PlaceTabsScrolled(r.tabsArea, r.tabWidths, in.metrics.tabHorzMargin,
                                         r.scroll.position)
                     : PlaceTabsShrunk(r.tabsArea, r.tabWidths, in.metrics.tabHorzMargin,
                                       in.metrics.tabMinWidth, in.equalTabWidth);
    return r;
}

int HitTestTabs(const Box& tabsArea, const std::vector<Box>& tabRects, int x, int y) {
    if (!tabsArea.Contains(x, y))
        return -1;
    for (std::size_t i = 0; i < tabRects.size(); ++i) {
        if (tabRects[i].Contains(x, y))
            return static_cast<int>(i);
    }
    return -1;
}

bool IsTabVisible(const Box& tabRect, const Box& tabsArea, bool* partially) {
    const bool visible = tabRect.right > tabsArea.left && tabRect.left < tabsArea.right;
    if (partially)
        *partially = tabRect.left < tabsArea.left || tabRect.right > tabsArea.right;
    return visible;
}

int EnsureVisibleDelta(const Box& tabRect, const Box& tabsArea) {
    if (tabRect.left < tabsArea.left)
        return tabRect.left - tabsArea.left;
    if (tabRect.right > tabsArea.right)
        return tabRect.right - tabsArea.right;
    return 0;
}

bool BeyondDragThreshold(int pressX, int pressY, int x, int y) {
    const Box square{pressX - 3, pressY - 3, pressX + 3, pressY + 3};
    return !square.Contains(x, y);
}

int DragDestination(int dragged, int draggedWidth, int hot, const Box& hotRect, int x, int y) {
    if (hot < 0 || dragged < 0 || hot == dragged)
        return -1;
    Box zone = hotRect;
    if (hot < dragged)
        zone.right = hotRect.left + draggedWidth;
    else
        zone.left = hotRect.right - draggedWidth;
    // Placing the dragged tab just before (or just after) the hot one puts it at hot's index.
    return zone.Contains(x, y) ? hot : -1;
}

TabTip ChooseTabTip(const Box& tabRect, const Box& tabsArea, int widthField, bool hasOwnText) {
    Box visible = tabRect;
    visible.left = std::max(visible.left, tabsArea.left);
    visible.right = std::min(visible.right, tabsArea.right);
    if (visible.IsEmpty())
        return TabTip::None;
    if (hasOwnText)
        return TabTip::OwnText;
    return visible.Width() >= widthField ? TabTip::None : TabTip::Caption;
}

int FirstEnabled(const std::vector<bool>& disabled) {
    for (std::size_t i = 0; i < disabled.size(); ++i) {
        if (!disabled[i])
            return static_cast<int>(i);
    }
    return -1;
}

int NextEnabledElsePrevious(const std::vector<bool>& disabled, int index) {
    const int n = static_cast<int>(disabled.size());
    for (int i = index + 1; i < n; ++i) {
        if (!disabled[i])
            return i;
    }
    for (int i = std::min(index, n) - 1; i >= 0; --i) {
        if (!disabled[i])
            return i;
    }
    return -1;
}

} // namespace tablayout
