#pragma once
// The tab strip's geometry as plain integer arithmetic: strip height, tab widths, button
// placement, shrinking and scrolling, hit-testing and drag zones. Text extents and image sizes
// are measured by the caller and passed in, so none of this needs a window system.

#include <utility>
#include <vector>

namespace tablayout {

// A rectangle in client coordinates; right and bottom are exclusive.
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Box&) const = default;
};

struct Edges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Edges&) const = default;
};

struct HorzMargin {
    int left = 0;
    int right = 0;
};

Box Shrink(const Box& box, const Edges& by);

// The metrics a recalc manager supplies for one layout.
struct StripMetrics {
    int borderWidth = 1;
    Edges ctrlAreaPadding{3, 1, 3, 2};
    Edges wndsAreaPadding{};
    HorzMargin tabHorzMargin{};
    Edges tabPadding{5, 3, 5, 3};
    int tabMinWidth = 10;
    HorzMargin scrollLeftMargin{8, 0};
    HorzMargin scrollRightMargin{0, 0};
    HorzMargin menuMargin{8, 0};
    HorzMargin closeMargin{2, 2};
};

// Height of the strip from the taller caption ("H" in the normal and selected fonts) and the
// image heights (0 for a list that is not set).
int StripHeight(int textHeight, int normalImageHeight, int disabledImageHeight, int buttonHeight,
                const Edges& tabPadding, const Edges& ctrlAreaPadding);

// What one tab needs: its image width (only when it has an image in the list of its state),
// and its caption's widths in the normal and the selected font.
struct TabMeasure {
    bool hasImage = false;
    int imageWidth = 0;
    int textWidthNormal = 0;
    int textWidthSelected = 0;
    int extraWidth = 0;
};

int TabContentWidth(const TabMeasure& tab, int imageTextSpace, const Edges& tabPadding);
// The width field of every tab: the content width (or the widest one with equal widths), no
// less than the minimum.
std::vector<int> TabWidths(const std::vector<int>& contentWidths, int minWidth, bool equal);

struct ButtonRects {
    Box tabsArea; // what is left of the tabs area once the shown buttons took their space
    Box close;
    Box menu;
    Box scrollLeft;
    Box scrollRight;
};

// Places the shown buttons from the right edge of the tabs area inwards: close, menu, then the
// two scroll buttons; a hidden button gets an empty rectangle and takes no space.
ButtonRects PlaceButtons(const Box& tabsArea, int buttonWidth, int buttonHeight, bool showClose,
                         bool showMenu, bool showScroll, const StripMetrics& metrics);

struct ScrollState {
    int position = 0;
    int maximum = 0;
    bool partialView = false;
    bool leftEnabled = false;
    bool rightEnabled = false;
};

// Width the tabs may use inside the tabs area.
int AvailableWidth(const Box& tabsArea);
// Width all tabs need, margins included.
int TotalWidth(const std::vector<int>& widths, const HorzMargin& margin);
ScrollState ClampScroll(int available, int total, int position);

std::vector<Box> PlaceTabsScrolled(const Box& tabsArea, const std::vector<int>& widths,
                                   const HorzMargin& margin, int scrollPosition);
// Tabs that do not fit give up width in proportion to how much wider than an even share
// they are; the last tab takes what is left. No tab gets narrower than `minWidth`.
std::vector<Box> PlaceTabsShrunk(const Box& tabsArea, const std::vector<int>& widths,
                                 const HorzMargin& margin, int minWidth, bool equal);

enum class StripSide { Top, Bottom };

struct LayoutInput {
    Box client;
    bool drawBorder = true;
    StripSide side = StripSide::Top;
    bool scrollBehavior = false;
    bool equalTabWidth = false;
    bool hideSingleTab = false;
    StripMetrics metrics;
    int stripHeight = 0;
    std::vector<int> contentWidths; // one per tab, in visible order
    int buttonWidth = 0;
    int buttonHeight = 0;
    bool closeShown = false;
    bool menuShown = false;
    bool scrollButtonsShown = false; // before the behaviour is considered
    ScrollState scroll;              // kept as it is when there is no strip to lay out
};

struct LayoutResult {
    Box windowArea;
    Box ctrlArea;
    Box tabsArea;
    Box wndsArea;
    Box close;
    Box menu;
    Box scrollLeft;
    Box scrollRight;
    std::vector<Box> tabRects;
    std::vector<int> tabWidths; // width fields, one per tab
    bool singleTabHidden = false;
    ScrollState scroll;
};

LayoutResult ComputeLayout(const LayoutInput& input);

// Index of the tab under the point, or -1; tabs outside the tabs area cannot be hit.
int HitTestTabs(const Box& tabsArea, const std::vector<Box>& tabRects, int x, int y);

// Whether a tab shows at all in the tabs area, and whether it sticks out of it.
bool IsTabVisible(const Box& tabRect, const Box& tabsArea, bool* partially);
// Scroll change that brings the tab fully into the tabs area.
int EnsureVisibleDelta(const Box& tabRect, const Box& tabsArea);

// A tab press becomes a drag once the pointer leaves a 6 x 6 square around the press point.
bool BeyondDragThreshold(int pressX, int pressY, int x, int y);
// Where the dragged tab goes when the pointer is at (x, y) over the tab `hot`, or -1 when it
// stays. The dragged tab jumps only once the pointer is within its own width of the far edge,
// so that it does not swap back and forth between neighbours of different widths.
int DragDestination(int dragged, int draggedWidth, int hot, const Box& hotRect, int x, int y);
// Moves the element at `from` to `to` (both indexes of the same list).
template <typename T> void MoveElement(std::vector<T>& list, int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= static_cast<int>(list.size()) ||
        to >= static_cast<int>(list.size()))
        return;
    T item = std::move(list[from]);
    list.erase(list.begin() + from);
    list.insert(list.begin() + to, std::move(item));
}

enum class TabTip { None, OwnText, Caption };
// Which text a tab's tooltip shows: its own text when it has one, else its caption only when
// the tab is shrunk or cut off; nothing for a tab scrolled out of sight.
TabTip ChooseTabTip(const Box& tabRect, const Box& tabsArea, int widthField, bool hasOwnText);

// Selection rules shared by layout and deletion, over the disabled flags in visible order.
int FirstEnabled(const std::vector<bool>& disabled);
// The next enabled tab after `index`, else the nearest enabled one before it, else -1.
int NextEnabledElsePrevious(const std::vector<bool>& disabled, int index);

} // namespace tablayout
