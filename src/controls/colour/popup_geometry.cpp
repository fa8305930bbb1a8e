#include "controls/colour/popup_geometry.h"

#include <algorithm>

namespace colour {
namespace {

constexpr int kPreferredBoxSize = 18;
constexpr int kLastCell = kColourCount - 1;

// Floor division, so that points left of or above the grid never land in its first column/row.
int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// A position in the grid; the two boxes are rows (and columns) of their own.
struct GridPos {
    int row;
    int col;
};

GridPos PosOf(int cell) {
    if (cell == kCustomBox || cell == kDefaultBox)
        return {cell, cell};
    if (cell < 0 || cell >= kColourCount)
        return {-1, -1};
    return {cell / kColumnCount, cell % kColumnCount};
}

// kNoCell for a position outside the grid.
int CellOf(GridPos pos) {
    if (pos.row < 0 || pos.col < 0 || pos.row >= kRowCount || pos.col >= kColumnCount)
        return kNoCell;
    const int cell = pos.row * kColumnCount + pos.col;
    return cell < kColourCount ? cell : kNoCell;
}

// Leaving the grid downwards or rightwards: the custom box, else the default box, else cell 0.
int PastTheEnd(bool hasDefault, bool hasCustom) {
    return hasCustom ? kCustomBox : hasDefault ? kDefaultBox : 0;
}

// Leaving the grid upwards or leftwards: the default box, else the custom box, else the last.
int BeforeTheStart(bool hasDefault, bool hasCustom) {
    return hasDefault ? kDefaultBox : hasCustom ? kCustomBox : kLastCell;
}

// From the default box going back: the custom box, else the last cell.
int BeforeDefaultBox(bool hasCustom) {
    return hasCustom ? kCustomBox : kLastCell;
}

// From the custom box going on: the default box, else cell 0.
int AfterCustomBox(bool hasDefault) {
    return hasDefault ? kDefaultBox : 0;
}

} // namespace

int BoxSizeForMargin(int margin) {
    if (kPreferredBoxSize - 2 * margin - 2 < 5)
        return 2 * margin + 7;
    return kPreferredBoxSize;
}

PopupLayout LayoutPopup(int margin, std::optional<Extent> defaultLabel,
                        std::optional<Extent> customLabel) {
    PopupLayout layout;
    layout.margin = margin;
    layout.boxSize = BoxSizeForMargin(margin);
    layout.hasDefault = defaultLabel.has_value();
    layout.hasCustom = customLabel.has_value();

    Extent textBox;
    if (defaultLabel || customLabel) {
        for (const auto& label : {defaultLabel, customLabel}) {
            if (label) {
                textBox.cx = std::max(textBox.cx, label->cx);
                textBox.cy = std::max(textBox.cy, label->cy);
            }
        }
        textBox.cx += 2 * margin;
        // Room above the text for the separator line of the custom box.
        textBox.cy += 4 * margin + 2;
    }

    layout.width = kColumnCount * layout.boxSize + 2 * margin;
    layout.height = kRowCount * layout.boxSize + 2 * margin;

    if (layout.hasDefault) {
        layout.width = std::max(layout.width, textBox.cx);
        layout.defaultRect = {margin, margin, layout.width - margin, 2 * margin + textBox.cy};
        layout.height += layout.defaultRect.Height() + 2 * margin;
    }
    if (layout.hasCustom) {
        layout.width = std::max(layout.width, textBox.cx);
        layout.customRect = {margin, layout.height, layout.width - margin,
                             layout.height + margin + textBox.cy};
        layout.height += 2 * margin + layout.customRect.Height();
    }
    return layout;
}

Box CellRect(const PopupLayout& layout, int cell) {
    if (cell == kCustomBox)
        return layout.hasCustom ? layout.customRect : Box{};
    if (cell == kDefaultBox)
        return layout.hasDefault ? layout.defaultRect : Box{};
    if (cell < 0 || cell >= kColourCount)
        return {};
    const int left = (cell % kColumnCount) * layout.boxSize + layout.margin;
    int top = (cell / kColumnCount) * layout.boxSize + layout.margin;
    if (layout.hasDefault)
        top += layout.defaultRect.Height() + layout.margin;
    return {left, top, left + layout.boxSize, top + layout.boxSize};
}

int CellAt(const PopupLayout& layout, int x, int y) {
    // Hit areas are exactly the painted rectangles.
    if (layout.hasCustom && layout.customRect.Contains(x, y))
        return kCustomBox;
    if (layout.hasDefault && layout.defaultRect.Contains(x, y))
        return kDefaultBox;
    x -= layout.margin;
    y -= layout.margin;
    if (layout.hasDefault)
        y -= layout.defaultRect.Height() + layout.margin;
    return CellOf({FloorDiv(y, layout.boxSize), FloorDiv(x, layout.boxSize)});
}

int MoveSelection(int current, ArrowKey key, bool hasDefault, bool hasCustom) {
    const GridPos pos = PosOf(current);
    const bool onDefault = hasDefault && current == kDefaultBox;
    const bool onCustom = hasCustom && current == kCustomBox;
    const GridPos from = (onDefault || onCustom)
                             ? pos
                             : GridPos{pos.row < 0 ? -1 : pos.row, pos.col < 0 ? -1 : pos.col};
    switch (key) {
    case ArrowKey::Left:
        if (onDefault)
            return BeforeDefaultBox(hasCustom);
        if (onCustom)
            return kLastCell;
        if (from.col > 0)
            return CellOf({from.row, from.col - 1});
        if (from.row > 0)
            return CellOf({from.row - 1, kColumnCount - 1});
        return BeforeTheStart(hasDefault, hasCustom);
    case ArrowKey::Right: {
        if (onDefault)
            return 0;
        if (onCustom)
            return AfterCustomBox(hasDefault);
        const GridPos next = from.col < kColumnCount - 1 ? GridPos{from.row, from.col + 1}
                                                         : GridPos{from.row + 1, 0};
        const int cell = CellOf(next);
        return cell != kNoCell ? cell : PastTheEnd(hasDefault, hasCustom);
    }
    case ArrowKey::Up:
        if (onDefault)
            return BeforeDefaultBox(hasCustom);
        if (onCustom)
            return kLastCell;
        if (from.row > 0)
            return CellOf({from.row - 1, from.col});
        return BeforeTheStart(hasDefault, hasCustom);
    case ArrowKey::Down: {
        if (onDefault)
            return 0;
        if (onCustom)
            return AfterCustomBox(hasDefault);
        const int cell = CellOf({from.row + 1, from.col});
        return cell != kNoCell ? cell : PastTheEnd(hasDefault, hasCustom);
    }
    }
    return current;
}

int ChosenCell(ColourRef colour, bool hasDefault, bool hasCustom) {
    if (colour == kDefaultColour && hasDefault)
        return kDefaultBox;
    for (int i = 0; i < kColourCount; ++i) {
        if (kColourTable[i].colour == colour)
            return i;
    }
    return hasCustom ? kCustomBox : kNoCell;
}

ColourRef CellColour(int cell, ColourRef openingColour) {
    if (cell == kDefaultBox)
        return kDefaultColour;
    if (cell >= 0 && cell < kColourCount)
        return kColourTable[cell].colour;
    return openingColour;
}

Box FitOnScreen(Box window, int screenWidth, int screenHeight, int pickerHeight) {
    if (window.right > screenWidth)
        window = window.Offset(screenWidth - window.right, 0);
    if (window.left < 0)
        window = window.Offset(-window.left, 0);
    if (window.bottom > screenHeight)
        window = window.Offset(0, -(pickerHeight + window.Height()));
    return window;
}

} // namespace colour
