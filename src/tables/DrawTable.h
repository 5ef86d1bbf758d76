#pragma once
// Drawing a laid-out table: one-pixel cell borders in the border colour and each cell's text
// picture, the table at (2, 2) in a white picture 4 pixels wider and higher than the table.
// The painter draws any horizontal band of the picture, so a tall table never has to be held
// whole in memory.

#include <cstdint>
#include <vector>

#include "images/Raster.h"
#include "tables/TableCanvas.h"
#include "tables/TableFont.h"
#include "tables/TableGrid.h"
#include "tables/TextMetrics.h"

namespace tables {

class TablePainter {
 public:
  // `table` is the size LayoutTable gave; the grid's widths and heights place the cells.
  TablePainter(const TableGrid& grid, TextSize table, Rgb border, const TableFont& font);

  int64_t PictureWidth() const { return table_.Width + 4; }
  int64_t PictureHeight() const { return table_.Height + 4; }

  // Draws what falls into the canvas band, which must be white already.
  void Paint(Canvas& canvas) const;

 private:
  void PaintRow(Canvas& canvas, int row) const;
  void PaintText(Canvas& canvas, const THTMLCells& cell, int64_t x, int64_t y) const;

  const TableGrid& grid_;
  TextSize table_;
  Rgb border_;
  const TableFont& font_;
  std::vector<int64_t> rowTop_;      // y of each row, rows from 0
  std::vector<int64_t> reachUntil_;  // the lowest y any row up to this one draws on, plus 1
};

// The whole picture at once.
images::Raster DrawTable(const TableGrid& grid, TextSize table, Rgb border, const TableFont& font);

}  // namespace tables
