#include "controls/richedit/ruler_geometry.h"

#include <algorithm>
#include <cmath>

namespace richedit {

ChildLayout LayOutChildren(int width, int height, bool toolbarShown, bool rulerShown) {
    const int toolbar = toolbarShown ? kToolbarHeight : 0;
    const int ruler = rulerShown ? kRulerHeight : 0;
    ChildLayout layout;
    layout.toolbar = {0, 0, width, toolbar};
    layout.ruler = {0, toolbar, width, toolbar + ruler};
    // A control lower than its bars leaves the text no room rather than a negative height.
    layout.edit = {0, toolbar + ruler, width, std::max(height, toolbar + ruler)};
    return layout;
}

namespace {
int ScaleRounded(int value, int numerator, int denominator) {
    if (denominator == 0)
        return 0;
    const double scaled = static_cast<double>(value) * numerator / denominator;
    return static_cast<int>(std::lround(scaled));
}
} // namespace

int TwipsToPixels(int twips, int pixelsPerInch) {
    return ScaleRounded(twips, pixelsPerInch, kTwipsPerInch);
}

int PixelsToTwips(int pixels, int pixelsPerInch) {
    return ScaleRounded(pixels, kTwipsPerInch, pixelsPerInch);
}

RulerScale LayOutRulerScale(int width, int height, int margin, int scroll, int pixelsPerInch,
                            RulerUnit unit) {
    RulerScale scale;
    scale.band = {margin - 2, 3, width - 3, height - 5};
    scale.middle = (scale.band.top + scale.band.bottom) / 2;
    scale.origin = margin - scroll;
    const int m = scale.middle;
    const int limit = width - margin;
    if (pixelsPerInch <= 0)
        return scale;

    // Marks are placed from exact fractions of the unit so that rounding never accumulates.
    auto markX = [&](int step, int stepsPerUnit, double pixelsPerUnit) {
        return scale.origin + static_cast<int>(std::lround(step * pixelsPerUnit / stepsPerUnit));
    };
    if (unit == RulerUnit::Centimetres) {
        const double pixelsPerCm = std::lround(pixelsPerInch / 2.54);
        if (pixelsPerCm <= 0)
            return scale;
        for (int half = 1;; ++half) {
            const int x = markX(half, 2, pixelsPerCm);
            if (x >= limit)
                break;
            if (half % 2 == 0)
                scale.labels.push_back({x, half / 2});
            else
                scale.ticks.push_back({x, m - 1, m + 2});
        }
    } else {
        for (int eighth = 1;; ++eighth) {
            const int x = markX(eighth, 8, pixelsPerInch);
            if (x >= limit)
                break;
            if (eighth % 8 == 0)
                scale.labels.push_back({x, eighth / 8});
            else if (eighth % 2 == 0)
                scale.ticks.push_back({x, m - 3, m + 3});
            else
                scale.ticks.push_back({x, m - 1, m + 1});
        }
    }
    return scale;
}

Area TabMarkerBar(int middle, int margin, int stop, int scroll) {
    const int x = margin + stop - scroll;
    return {x - 2, middle + 5, x + 4, middle + 7};
}

Area TabMarkerStem(int middle, int margin, int stop, int scroll) {
    const int x = margin + stop - scroll;
    return {x, middle + 7, x + 2, middle + 10};
}

std::optional<int> FindTabMarker(const std::vector<int>& stops, int margin, int scroll, int x,
                                 int y) {
    std::optional<int> found;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const int at = margin + stops[i] - scroll;
        if (x >= at - 2 && x < at + 3 && y >= 16 && y < 20)
            found = static_cast<int>(i);
    }
    return found;
}

int ClampTrackLine(const std::vector<int>& stops, int index, int margin, int scroll,
                   int controlWidth, int wanted, int current) {
    if (index < 0 || static_cast<std::size_t>(index) >= stops.size())
        return current;
    const int origin = margin - scroll;
    const int lowest = (index == 0 ? origin : origin + stops[index - 1]) + 3;
    int highest = controlWidth - 5;
    if (static_cast<std::size_t>(index) + 1 < stops.size())
        highest = std::min(highest, origin + stops[index + 1] - 3);
    if (lowest > highest)
        return current;
    return std::clamp(wanted, lowest, highest);
}

} // namespace richedit
