#include "desktop/grid_layout.h"

#include "base/file_error.h"
#include "catalogue/icons.h"

namespace {

constexpr int kButtonSize = 38;
constexpr int kGridMargin = 4; // columns and rows leave this much of the width or half free
constexpr int kHitOffset = 2;  // hit-testing uses the drawing pitch shifted by this much

GridRect ButtonAt(int rightEdge, int bottom) {
    return {rightEdge - kButtonSize, bottom - kButtonSize, rightEdge, bottom};
}

// PlaceInFreeCell moves the entry before it saves, so a failed save still leaves it placed.
bool PlaceAndSave(Icons& catalogue, int index, PlacementResult& result, int columns, int rows) {
    const int tab = catalogue.m_entries[index].tab;
    try {
        return catalogue.PlaceInFreeCell(index, tab, result.occupancy.Data(), columns, rows);
    } catch (const FileException& e) {
        if (!result.saveError) {
            result.saveError = e.Reason();
            result.saveErrorPath = e.Path();
        }
        return true;
    }
}

} // namespace

DesktopLayout DesktopLayout::Compute(int clientWidth, int clientHeight, bool adminMode) {
    DesktopLayout l;
    l.width = clientWidth > 0 ? clientWidth : 0;
    l.height = clientHeight > 0 ? clientHeight : 0;
    l.halfWidth = l.width / 2;
    l.gridTop = l.height / 2;
    l.columns = l.width > kGridMargin ? (l.width - kGridMargin) / kCellPitch : 0;
    l.rows = l.gridTop > kGridMargin ? (l.gridTop - kGridMargin) / kCellPitch : 0;
    l.cellsPerTab = l.columns * l.rows;

    const int e = l.halfWidth;
    const int d = l.gridTop;
    l.screenshot = {e + 2, 2, l.width - 2, d - 2};
    l.description = {0, 0, e, d - kButtonSize};
    // Each button overlaps its right neighbour by one pixel.
    l.shutdownButton = ButtonAt(e, d);
    l.modeButton = ButtonAt(e - 37, d);
    l.settingsButton = ButtonAt(e - 74, d);
    l.saveButton = ButtonAt(e - 111, d);
    l.addTabButton = ButtonAt(e - 148, d);
    l.tabStrip = {0, d - 24, adminMode ? e - 186 : e - 75, d};
    return l;
}

bool DesktopLayout::HitGrid(int x, int y) const {
    return x >= kHitOffset && x < columns * kCellPitch + kHitOffset && y >= gridTop + kHitOffset &&
           y < rows * kCellPitch + gridTop + kHitOffset;
}

GridCell DesktopLayout::CellOf(int x, int y) const {
    return {(x - kHitOffset) / kCellPitch, (y - gridTop - kHitOffset) / kCellPitch};
}

GridRect DesktopLayout::IconRect(int column, int row) const {
    const int x = column * kCellPitch + 23;
    const int y = gridTop + row * kCellPitch + 4;
    return {x, y, x + 32, y + 32};
}

GridRect DesktopLayout::CaptionRect(int column, int row) const {
    const int x = column * kCellPitch;
    const int y = gridTop + row * kCellPitch;
    return {x + 4, y + 38, x + 74, y + 75};
}

Occupancy::Occupancy(int tabs, int columns, int rows)
    : m_tabs(tabs > 0 ? tabs : 0), m_columns(columns > 0 ? columns : 0),
      m_rows(rows > 0 ? rows : 0),
      m_cells(static_cast<std::size_t>(m_tabs) * m_columns * m_rows, 0) {}

bool Occupancy::Contains(int column, int row, int tab) const {
    return tab >= 0 && tab < m_tabs && column >= 0 && column < m_columns && row >= 0 &&
           row < m_rows;
}

std::size_t Occupancy::IndexOf(int column, int row, int tab) const {
    return (static_cast<std::size_t>(tab) * m_rows + row) * m_columns + column;
}

bool Occupancy::IsOccupied(int column, int row, int tab) const {
    return Contains(column, row, tab) && m_cells[IndexOf(column, row, tab)] != 0;
}

void Occupancy::Mark(int column, int row, int tab) {
    if (Contains(column, row, tab))
        m_cells[IndexOf(column, row, tab)] = 1;
}

PlacementResult PlaceEntries(Icons& catalogue, int columns, int rows) {
    const int tabs = static_cast<int>(catalogue.m_tabs.size());
    PlacementResult result{Occupancy(tabs, columns, rows), -1};
    for (int i = 0; i < catalogue.m_count; ++i) {
        ProgramEntry& entry = catalogue.m_entries[i];
        if (tabs == 0)
            break; // nothing can be shown without a tab; entries keep their stored cells
        bool damaged = false;
        if (entry.tab < 0 || entry.tab >= tabs) {
            entry.tab = 0;
            damaged = true;
        }
        if (entry.column < 0 || entry.row < 0)
            damaged = true;
        const bool outside = entry.column >= columns || entry.row >= rows;
        const bool needsCell =
            damaged || outside || result.occupancy.IsOccupied(entry.column, entry.row, entry.tab);
        if (needsCell && !PlaceAndSave(catalogue, i, result, columns, rows)) {
            result.placedLimit = i;
            break;
        }
        result.occupancy.Mark(entry.column, entry.row, entry.tab);
    }
    return result;
}

int EntryOnCell(const Icons& catalogue, const Occupancy& occupancy, int column, int row, int tab) {
    if (!occupancy.IsOccupied(column, row, tab))
        return -1;
    return catalogue.FindEntry(column, row, tab);
}

int DrawableCount(const Icons& catalogue, int placedLimit) {
    return placedLimit >= 0 && placedLimit < catalogue.m_count ? placedLimit : catalogue.m_count;
}
