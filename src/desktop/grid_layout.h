#pragma once
// Geometry of the desktop window: the description quarter, the screenshot quarter, the tab strip
// and button row between them, and the icon grid of fixed 75-pixel cells in the lower half.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Icons;

struct GridRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const GridRect&) const = default;
};

struct GridCell {
    int column = 0;
    int row = 0;
    bool operator==(const GridCell&) const = default;
};

inline constexpr int kCellPitch = 75;

struct DesktopLayout {
    int width = 0;     // client width
    int height = 0;    // client height
    int halfWidth = 0; // e
    int gridTop = 0;   // d
    int columns = 0;
    int rows = 0;
    int cellsPerTab = 0;

    GridRect screenshot;
    GridRect description;
    GridRect addTabButton;   // 114
    GridRect saveButton;     // 103
    GridRect settingsButton; // 104
    GridRect modeButton;     // 102
    GridRect shutdownButton; // 105
    GridRect tabStrip;

    // Everything follows from the client size; the tab strip ends at the Add tab button in
    // admin mode and reaches to the mode button in restricted user mode.
    static DesktopLayout Compute(int clientWidth, int clientHeight, bool adminMode);

    bool HitGrid(int x, int y) const;
    GridCell CellOf(int x, int y) const;
    // Where a cell's icon (32 x 32) and caption are drawn.
    GridRect IconRect(int column, int row) const;
    GridRect CaptionRect(int column, int row) const;
};

// One byte per cell of every tab, 1 = occupied; tab t, column c, row r at
// t * cellsPerTab + r * columns + c. Questions about cells outside the grid or tabs outside the
// map answer "free" / "not a cell" instead of reading outside it.
class Occupancy {
public:
    Occupancy() = default;
    Occupancy(int tabs, int columns, int rows);

    bool Contains(int column, int row, int tab) const;
    bool IsOccupied(int column, int row, int tab) const;
    void Mark(int column, int row, int tab);
    const std::uint8_t* Data() const { return m_cells.data(); }
    int Tabs() const { return m_tabs; }

private:
    std::size_t IndexOf(int column, int row, int tab) const;

    int m_tabs = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<std::uint8_t> m_cells;
};

struct PlacementResult {
    Occupancy occupancy;
    int placedLimit = -1; // first entry that found no free cell, or -1
    // A save after a placement that failed: the placement stands in memory, the pass goes on,
    // and the caller reports this once.
    std::optional<std::string> saveError;
    std::string saveErrorPath;
};

// Gives every entry a cell of its tab: entries outside the grid or on a taken cell move to the
// first free cell of their tab (which saves the catalogue). A damaged entry (negative cell, tab
// outside the tab list) is moved to tab 0 and placed anew; with no tabs it is left alone and
// never shown. Stops at the first entry that finds no room.
PlacementResult PlaceEntries(Icons& catalogue, int columns, int rows);

// Index of the entry drawn on (column, row) of `tab`, or -1.
int EntryOnCell(const Icons& catalogue, const Occupancy& occupancy, int column, int row, int tab);

// How many leading entries may be drawn: all, or those before the first unplaced one.
int DrawableCount(const Icons& catalogue, int placedLimit);
