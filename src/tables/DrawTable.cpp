#include "tables/DrawTable.h"

#include <algorithm>

#include "tables/TableLayout.h"

namespace tables {

namespace {

constexpr Rgb kTextColour = kBlack;

// Calls fn(line) for every line of a text, split as MeasureText splits it.
template <typename Fn>
void ForEachLine(std::u32string_view text, Fn fn) {
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != U'\r' && text[j] != U'\n') ++j;
    fn(text.substr(i, j - i));
    if (j < text.size() && text[j] == U'\r' && j + 1 < text.size() && text[j + 1] == U'\n') ++j;
    i = j + 1;
  }
}

}  // namespace

TablePainter::TablePainter(const TableGrid& grid, TextSize table, Rgb border, const TableFont& font)
    : grid_(grid), table_(table), border_(border), font_(font) {
  int64_t y = 2;
  int64_t reach = 0;
  for (int row = 1; row <= grid_.Rows(); ++row) {
    rowTop_.push_back(y);
    int64_t bottom = y + grid_.Height(row) + 1;
    for (int col = 1; col <= grid_.Cols(); ++col) {
      const THTMLCells& cell = grid_.At(col, row);
      if (cell.CellText.empty()) continue;
      bottom = std::max(bottom, y + 1 + MeasureText(cell.CellLines, font_).Height);
    }
    reach = std::max(reach, bottom);
    reachUntil_.push_back(reach);
    y += grid_.Height(row);
  }
}

void TablePainter::Paint(Canvas& canvas) const {
  canvas.HorizontalLine(2, table_.Width + 2, 2, border_);
  // Rows whose drawing ends above the band are skipped; a text may reach below its row.
  const auto first = std::upper_bound(reachUntil_.begin(), reachUntil_.end(), canvas.Top());
  for (auto row = static_cast<int>(first - reachUntil_.begin()); row < grid_.Rows(); ++row) {
    if (rowTop_[row] >= canvas.Bottom()) break;
    PaintRow(canvas, row + 1);
  }
  canvas.HorizontalLine(2, table_.Width + 2, table_.Height + 2, border_);
}

void TablePainter::PaintRow(Canvas& canvas, int row) const {
  const int64_t y = rowTop_[row - 1];
  const int64_t height = grid_.Height(row);
  int64_t x = 2;
  for (int col = 1; col <= grid_.Cols(); ++col) {
    const THTMLCells& cell = grid_.At(col, row);
    if (cell.DrawLeft) canvas.VerticalLine(x, y, y + height, border_);
    if (!cell.CellText.empty()) PaintText(canvas, cell, x + 2, y + 1);
    if (cell.DrawTop) canvas.HorizontalLine(x, x + grid_.Width(col), y, border_);
    x += grid_.Width(col);
  }
  canvas.VerticalLine(x, y, y + height, border_);
}

// The cell's text picture: as wide as its widest line, one text height per line, white, with
// the lines printed one below the other.
void TablePainter::PaintText(Canvas& canvas, const THTMLCells& cell, int64_t x, int64_t y) const {
  const TextSize size = MeasureText(cell.CellLines, font_);
  if (y >= canvas.Bottom() || y + size.Height <= canvas.Top()) return;
  const ClipRect clip{x, y, x + size.Width, y + size.Height};
  canvas.FillRect(clip.X0, clip.Y0, clip.X1, clip.Y1, kWhite);
  int64_t top = y;
  ForEachLine(cell.CellLines, [&](std::u32string_view line) {
    font_.DrawLine(canvas, x, top, line, kTextColour, clip);
    top += font_.TextHeight();
  });
}

images::Raster DrawTable(const TableGrid& grid, TextSize table, Rgb border, const TableFont& font) {
  TablePainter painter(grid, table, border, font);
  images::Raster picture(static_cast<int>(painter.PictureWidth()),
                         static_cast<int>(painter.PictureHeight()));
  Canvas canvas(picture, 0);
  painter.Paint(canvas);
  return picture;
}

}  // namespace tables
