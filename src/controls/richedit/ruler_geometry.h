#pragma once
// Geometry of the description editor: where tool bar, ruler and text go, how twips become
// screen pixels, where the ruler draws its scale and tab markers, and how far a dragged tab
// stop may travel. Everything in pixels unless a name says twips.

#include <optional>
#include <vector>

namespace richedit {

constexpr int kToolbarHeight = 28;
constexpr int kRulerHeight = 26;
constexpr int kTwipsPerInch = 1440;

struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const Area&, const Area&) = default;
};

struct ChildLayout {
    Area toolbar;
    Area ruler;
    Area edit;
};

// Tool bar on top, ruler below it, text in the rest; a hidden child gets no height.
ChildLayout LayOutChildren(int width, int height, bool toolbarShown, bool rulerShown);

// Rounded to the nearest pixel or twip.
int TwipsToPixels(int twips, int pixelsPerInch);
int PixelsToTwips(int pixels, int pixelsPerInch);

enum class RulerUnit { Inches = 0, Centimetres = 1 };

struct RulerTick {
    int x;
    int top;
    int bottom; // exclusive
    friend bool operator==(const RulerTick&, const RulerTick&) = default;
};

struct RulerLabel {
    int x; // centre of the number
    int number;
    friend bool operator==(const RulerLabel&, const RulerLabel&) = default;
};

struct RulerScale {
    Area band;  // the white, sunken strip that carries the scale
    int middle; // vertical middle of the band
    int origin; // x of the text's left edge, scrolled
    std::vector<RulerTick> ticks;
    std::vector<RulerLabel> labels;
};

// The scale of a ruler `width` x `height` whose text starts `margin` pixels from its left
// edge and is scrolled `scroll` pixels to the right. Marks stop short of width - margin.
RulerScale LayOutRulerScale(int width, int height, int margin, int scroll, int pixelsPerInch,
                            RulerUnit unit);

// The T-shaped marker of a tab stop at `stop` pixels from the text's edge.
Area TabMarkerBar(int middle, int margin, int stop, int scroll);
Area TabMarkerStem(int middle, int margin, int stop, int scroll);

// Where a press grabs a tab stop: the stop whose marker contains the point (the last one
// when several do), nothing when none does.
std::optional<int> FindTabMarker(const std::vector<int>& stops, int margin, int scroll, int x,
                                 int y);

// The x where the tracking line of stop `index` may go when the mouse asks for `wanted`
// (control coordinates): 3 pixels clear of its neighbours (the text's edge for the first
// stop) and 5 pixels inside the right edge. When no place satisfies all limits the stop
// stays at `current`.
int ClampTrackLine(const std::vector<int>& stops, int index, int margin, int scroll,
                   int controlWidth, int wanted, int current);

} // namespace richedit
