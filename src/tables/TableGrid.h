#pragma once
// The grid a table is laid out on: one cell per column and row, columns and rows counted from 1.
// Every cell of a column has the same width and every cell of a row the same height, so those
// are kept once per column and once per row.

#include <cstdint>
#include <string>
#include <vector>

namespace tables {

struct THTMLCells {
  bool DrawLeft = true;      // false where the cell continues a colspan from its left neighbour
  bool DrawTop = true;       // false where the cell continues a rowspan from above
  std::u32string CellText;   // trimmed and decoded
  std::u32string CellLines;  // CellText wrapped into lines separated by CR LF
};

class TableGrid {
 public:
  TableGrid() = default;
  TableGrid(int cols, int rows);

  int Cols() const { return cols_; }
  int Rows() const { return rows_; }
  bool Contains(int col, int row) const {
    return col >= 1 && col <= cols_ && row >= 1 && row <= rows_;
  }
  // Only for cells inside the grid.
  THTMLCells& At(int col, int row) { return cells_[Index(col, row)]; }
  const THTMLCells& At(int col, int row) const { return cells_[Index(col, row)]; }
  // Null outside the grid, so marks and texts that fall outside are dropped.
  THTMLCells* Find(int col, int row) { return Contains(col, row) ? &At(col, row) : nullptr; }

  int64_t& Width(int col) { return widths_[col - 1]; }
  int64_t Width(int col) const { return widths_[col - 1]; }
  int64_t& Height(int row) { return heights_[row - 1]; }
  int64_t Height(int row) const { return heights_[row - 1]; }

 private:
  size_t Index(int col, int row) const {
    return static_cast<size_t>(row - 1) * cols_ + static_cast<size_t>(col - 1);
  }
  int cols_ = 0;
  int rows_ = 0;
  std::vector<THTMLCells> cells_;
  std::vector<int64_t> widths_;
  std::vector<int64_t> heights_;
};

}  // namespace tables
