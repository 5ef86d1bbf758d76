#include "tables/TableLayout.h"

#include <algorithm>
#include <cmath>

namespace tables {

namespace {

std::u32string_view TrimRight(std::u32string_view s) {
  while (!s.empty() && s.back() <= 32) s.remove_suffix(1);
  return s;
}

std::u32string_view Trim(std::u32string_view s) {
  while (!s.empty() && s.front() <= 32) s.remove_prefix(1);
  return TrimRight(s);
}

// result := Join(result, b). The result never starts with a blank, so trimming its end is
// enough to trim it.
void JoinInto(std::u32string& result, std::u32string_view b) {
  while (!result.empty() && result.back() <= 32) result.pop_back();
  b = Trim(b);
  if (!result.empty()) result.append(U"\r\n");
  result.append(b);
}

const std::u32string& Measured(const THTMLCells& cell, bool useLines) {
  return useLines ? cell.CellLines : cell.CellText;
}

// Raises the rows so that every non-empty cell fits its measured text in the rows it spans.
void GrowHeights(TableGrid& grid, bool useLines, const TextMetrics& metrics) {
  for (int col = 1; col <= grid.Cols(); ++col) {
    for (int row = 1; row <= grid.Rows(); ++row) {
      const THTMLCells& cell = grid.At(col, row);
      if (cell.CellText.empty()) continue;
      int64_t s = grid.Height(row);
      for (int below = row + 1; below <= grid.Rows() && !grid.At(col, below).DrawTop; ++below) {
        s += grid.Height(below);
      }
      const TextSize size = MeasureText(Measured(cell, useLines), metrics);
      if (s < size.Height + 4) grid.Height(row) += size.Height + 4 - s;
    }
  }
}

int64_t SumOfHeights(const TableGrid& grid) {
  int64_t height = 0;
  for (int row = 1; row <= grid.Rows(); ++row) height += grid.Height(row);
  return height;
}

}  // namespace

TextSize MeasureText(std::u32string_view text, const TextMetrics& metrics) {
  TextSize size;
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != U'\r' && text[j] != U'\n') ++j;
    size.Width = std::max(size.Width, metrics.TextWidth(text.substr(i, j - i)));
    size.Height += metrics.TextHeight();
    if (j < text.size() && text[j] == U'\r' && j + 1 < text.size() && text[j + 1] == U'\n') ++j;
    i = j + 1;
  }
  return size;
}

int64_t SpanWidth(const TableGrid& grid, int col, int row) {
  int64_t width = grid.Width(col);
  for (int next = col + 1; next <= grid.Cols() && !grid.At(next, row).DrawLeft; ++next) {
    width += grid.Width(next);
  }
  return width;
}

TextSize MeasureGrid(TableGrid& grid, bool useLines, const TextMetrics& metrics) {
  for (int col = 1; col <= grid.Cols(); ++col) grid.Width(col) = 4;
  for (int row = 1; row <= grid.Rows(); ++row) {
    for (int col = 1; col <= grid.Cols(); ++col) {
      const THTMLCells& cell = grid.At(col, row);
      if (cell.CellText.empty()) continue;
      const int64_t s = SpanWidth(grid, col, row);
      const TextSize size = MeasureText(Measured(cell, useLines), metrics);
      // A spanning cell widens the first column of its span only.
      if (s < size.Width + 4) grid.Width(col) += size.Width + 4 - s;
    }
  }
  GrowHeights(grid, useLines, metrics);
  TextSize total;
  for (int col = 1; col <= grid.Cols(); ++col) total.Width += grid.Width(col);
  total.Height = SumOfHeights(grid);
  return total;
}

int64_t FitRowHeights(TableGrid& grid, const TextMetrics& metrics) {
  for (int row = 1; row <= grid.Rows(); ++row) grid.Height(row) = metrics.TextHeight();
  GrowHeights(grid, true, metrics);
  return SumOfHeights(grid);
}

TextSize LayoutTable(TableGrid& grid, int maxWidth, const TextMetrics& metrics) {
  for (int row = 1; row <= grid.Rows(); ++row) {
    for (int col = 1; col <= grid.Cols(); ++col) {
      THTMLCells& cell = grid.At(col, row);
      cell.CellLines = cell.CellText;
    }
  }
  TextSize size = MeasureGrid(grid, false, metrics);
  if (maxWidth <= 0 || size.Width <= 0) return size;
  const double ratio = static_cast<double>(maxWidth) / static_cast<double>(size.Width);
  if (ratio >= 1) return size;

  for (int col = 1; col <= grid.Cols(); ++col) {
    const double shrunk = std::nearbyint(static_cast<double>(grid.Width(col)) * ratio);
    grid.Width(col) = std::max<int64_t>(4, static_cast<int64_t>(shrunk));
  }
  for (int row = 1; row <= grid.Rows(); ++row) {
    for (int col = 1; col <= grid.Cols(); ++col) {
      THTMLCells& cell = grid.At(col, row);
      if (cell.CellText.empty()) continue;
      const int64_t s = SpanWidth(grid, col, row);
      if (MeasureText(cell.CellLines, metrics).Width + 4 > s) {
        cell.CellLines = WrapText(cell.CellText, s - 4, metrics);
      }
    }
  }
  MeasureGrid(grid, true, metrics);
  // Wrap once more at the widths just found, every cell, and size the columns to the result.
  // A spanning cell may now take longer lines and widen its columns again, so the table's
  // width is the one measured last: the picture must hold every column.
  for (int row = 1; row <= grid.Rows(); ++row) {
    for (int col = 1; col <= grid.Cols(); ++col) {
      THTMLCells& cell = grid.At(col, row);
      cell.CellLines = WrapText(cell.CellText, SpanWidth(grid, col, row) - 4, metrics);
    }
  }
  const int64_t width = MeasureGrid(grid, true, metrics).Width;
  return {width, FitRowHeights(grid, metrics)};
}

std::u32string WrapText(std::u32string_view text, int64_t maxWidth, const TextMetrics& metrics) {
  // The text is trimmed first, so the last word never ends in a blank and is always handled.
  std::u32string_view rest = Trim(text);
  std::u32string result;
  // The line being filled, kept trimmed, and its width. The last text that fitted is always a
  // start of it: its first `lastFit` characters.
  std::u32string line;
  int64_t lineWidth = 0;
  bool lineHasBlank = false;
  size_t lastFit = 0;
  const int64_t blankWidth = metrics.TextWidth(U" ");

  while (!rest.empty()) {
    const size_t p = rest.find(U' ');
    const bool lastWord = p == std::u32string_view::npos;
    // line := Trim(Trim(line) + " " + the part of rest before the blank)
    const std::u32string_view part = lastWord ? std::u32string_view() : rest.substr(0, p);
    if (line.empty()) {
      line.assign(Trim(part));
      lineWidth = metrics.TextWidth(line);
      lineHasBlank = false;
    } else if (const std::u32string_view word = TrimRight(part); !word.empty()) {
      line.push_back(U' ');
      line.append(word);
      lineWidth += blankWidth + metrics.TextWidth(word);
      lineHasBlank = true;
    }

    if (!lineHasBlank && lineWidth > maxWidth) {
      // A single word too wide: it and every word after it on a line of its own.
      size_t start = 0;
      for (;;) {
        const size_t blank = rest.find(U' ', start);
        JoinInto(result, rest.substr(start, blank - start));
        if (blank == std::u32string_view::npos) break;
        start = blank + 1;
      }
      return result;
    }
    if (lineWidth > maxWidth) {
      // The word does not fit: close the line with what fitted and try the word again.
      JoinInto(result, std::u32string_view(line).substr(0, lastFit));
      line.clear();
      lineWidth = 0;
      lineHasBlank = false;
      lastFit = 0;
    } else {
      lastFit = line.size();
      if (!lastWord) rest.remove_prefix(p + 1);
    }

    if (lastWord) {
      const std::u32string_view word = Trim(rest);
      if (lineWidth + blankWidth + metrics.TextWidth(word) <= maxWidth) {
        line.push_back(U' ');
        line.append(word);
      } else if (!line.empty()) {
        line.append(U"\r\n");
        line.append(word);
      } else {
        line.assign(word);
      }
      JoinInto(result, line);
      return result;
    }
  }
  return result;
}

}  // namespace tables
