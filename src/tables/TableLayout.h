#pragma once
// Sizing a table's columns and rows to the text of its cells, and wrapping cell texts when the
// table would be wider than the picture may be.

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/TableGrid.h"
#include "tables/TextMetrics.h"

namespace tables {

// Width of the widest line and height of all lines; lines end at CR LF, CR or LF, and a break
// at the very end opens no further line. An empty text measures (0, 0).
TextSize MeasureText(std::u32string_view text, const TextMetrics& metrics);

// The width of the cell plus that of every cell to its right that continues its colspan.
int64_t SpanWidth(const TableGrid& grid, int col, int row);

// Resets every column to 4 pixels and widens columns and raises rows (heights only grow) until
// each non-empty cell's text fits with 4 pixels to spare; measures CellLines when `useLines`,
// else CellText. Gives the sum of the column widths and of the row heights.
TextSize MeasureGrid(TableGrid& grid, bool useLines, const TextMetrics& metrics);

// Sets every row to one line of text high, raises rows to fit CellLines and gives the sum of
// the row heights.
int64_t FitRowHeights(TableGrid& grid, const TextMetrics& metrics);

// Lays the table out at most `maxWidth` wide where the words allow: when the table fits it is
// left unwrapped; otherwise columns shrink by one ratio (not below 4 pixels) and cell texts
// wrap. A `maxWidth` of 0 or less means no limit. Gives the table's width and height.
TextSize LayoutTable(TableGrid& grid, int maxWidth, const TextMetrics& metrics);

// A greedy word wrap at single blanks into lines separated by CR LF. A word wider than
// `maxWidth` is not broken; it and every word after it get a line of their own.
std::u32string WrapText(std::u32string_view text, int64_t maxWidth, const TextMetrics& metrics);

}  // namespace tables
