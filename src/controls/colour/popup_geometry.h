#pragma once
// Geometry and decisions of the colour pop-up: its size, where each cell lies, which cell a
// point or an arrow key leads to, and which cell the opening colour marks. Text is measured
// by the caller and passed in.

#include "controls/colour/colour_table.h"

#include <optional>

namespace colour {

// Cell codes besides the colour cells 0..39.
constexpr int kNoCell = -1;
constexpr int kCustomBox = -2;
constexpr int kDefaultBox = -3;

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Box Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    friend bool operator==(const Box&, const Box&) = default;
};

struct Extent {
    int cx = 0, cy = 0;
};

// Where everything of one pop-up lies, in client coordinates (the window starts at 0, 0).
struct PopupLayout {
    int margin = 0;
    int boxSize = 0;
    bool hasDefault = false;
    bool hasCustom = false;
    Box defaultRect; // empty without a default label
    Box customRect;  // empty without a custom label
    int width = 0;
    int height = 0;
};

// Side of a colour cell for an edge width `margin`: 18, unless that leaves too little colour.
int BoxSizeForMargin(int margin);

// `defaultLabel` / `customLabel`: the measured extent of each label, nothing when it is empty.
PopupLayout LayoutPopup(int margin, std::optional<Extent> defaultLabel,
                        std::optional<Extent> customLabel);

// The rectangle of a colour cell, or of the custom / default box; an empty box for a cell that
// does not exist.
Box CellRect(const PopupLayout& layout, int cell);

// The cell under a client point, kNoCell when the point is over none.
int CellAt(const PopupLayout& layout, int x, int y);

enum class ArrowKey { Left, Right, Up, Down };

// The cell an arrow key moves to from `current` (kNoCell: from nowhere).
int MoveSelection(int current, ArrowKey key, bool hasDefault, bool hasCustom);

// The cell marked as chosen when the pop-up opens on `colour`.
int ChosenCell(ColourRef colour, bool hasDefault, bool hasCustom);

// The colour a cell stands for while it is current: the default colour for the default box,
// the opening colour for the custom box.
ColourRef CellColour(int cell, ColourRef openingColour);

// Moves a pop-up rectangle (screen coordinates) back onto a screen of the given size; one that
// would reach below the bottom opens above its picker instead (`pickerHeight` higher).
Box FitOnScreen(Box window, int screenWidth, int screenHeight, int pickerHeight);

} // namespace colour
