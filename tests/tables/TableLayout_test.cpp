#include "tables/TableLayout.h"

#include <gtest/gtest.h>

#include "TableTestSupport.h"

namespace tables {
namespace {

using testing::FixedMetrics;
constexpr int P = FixedMetrics::Pitch;  // one character, or one blank

TEST(MeasureText, SplitsAtEveryKindOfLineBreak) {
  const FixedMetrics m;
  struct Case {
    std::u32string text;
    TextSize size;
  } cases[] = {
      {U"", {0, 0}},
      {U"ab", {2 * P, 10}},
      {U"ab\r\ncde", {3 * P, 20}},
      {U"a\rbb\nc", {2 * P, 30}},
      {U"ab\r\n", {2 * P, 10}},  // a break at the end opens no line
      {U"\r\n", {0, 10}},
      {U"a\n\nb", {P, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    EXPECT_EQ(MeasureText(c.text, m), c.size);
  }
}

TEST(WrapText, FillsLinesGreedilyAtBlanks) {
  const FixedMetrics m;
  struct Case {
    std::u32string text;
    int64_t maxWidth;
    std::u32string wrapped;
  } cases[] = {
      {U"aa bb cc", 5 * P, U"aa bb\r\ncc"},
      {U"aa bb cc", 100, U"aa bb cc"},
      {U"aa bb", 5 * P, U"aa bb"},  // exactly as wide as allowed
      {U"aa bb", 5 * P - 1, U"aa\r\nbb"},
      {U"aa bb cc dd ee", 5 * P, U"aa bb\r\ncc dd\r\nee"},
      {U"aa  bb", 100, U"aa bb"},
      {U"abc", 3 * P, U"abc"},
      {U"", 30, U""},
      {U"  aa bb  ", 100, U"aa bb"},
      // A word too wide is kept whole, and every word after it gets a line of its own.
      {U"aaaaaaaaaa bb cc", 5 * P, U"aaaaaaaaaa\r\nbb\r\ncc"},
      {U"aa bbbbbbbbbb cc dd", 5 * P, U"aa\r\nbbbbbbbbbb\r\ncc\r\ndd"},
      {U"aa bb cccccccccc", 5 * P, U"aa bb\r\ncccccccccc"},
      {U"aa bb", 0, U"aa\r\nbb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()) + " @" + std::to_string(c.maxWidth));
    EXPECT_EQ(WrapText(c.text, c.maxWidth, m), c.wrapped);
  }
}

TEST(WrapText, LongTextWrapsIntoLinesThatFit) {
  const FixedMetrics m;
  std::u32string text;
  for (int i = 0; i < 2000; ++i) text += i % 3 ? U"word " : U"a ";
  const std::u32string wrapped = WrapText(text, 20 * P, m);
  const TextSize size = MeasureText(wrapped, m);
  EXPECT_LE(size.Width, 20 * P);
  EXPECT_GT(size.Height, 100 * 10);
  // Nothing is lost: the words come back in order.
  std::u32string joined;
  for (char32_t c : wrapped)
    joined += (c == U'\r') ? U"" : (c == U'\n' ? U" " : std::u32string(1, c));
  while (!text.empty() && text.back() == U' ') text.pop_back();
  EXPECT_EQ(joined, text);
}

// A grid filled from rows of texts.
TableGrid Grid(std::initializer_list<std::initializer_list<std::u32string>> rows) {
  const int cols = static_cast<int>(rows.begin()->size());
  TableGrid grid(cols, static_cast<int>(rows.size()));
  int row = 1;
  for (const auto& texts : rows) {
    int col = 1;
    for (const std::u32string& text : texts) grid.At(col++, row).CellText = text;
    ++row;
  }
  return grid;
}

TEST(LayoutTable, AFittingTableIsSizedToItsWidestWordsPlusFour) {
  const FixedMetrics m;
  TableGrid grid = Grid({{U"ab", U"c"}, {U"def", U"g"}});
  EXPECT_EQ(LayoutTable(grid, 580, m), (TextSize{3 * P + 4 + P + 4, 14 + 14}));
  EXPECT_EQ(grid.Width(1), 3 * P + 4);
  EXPECT_EQ(grid.Width(2), P + 4);
  EXPECT_EQ(grid.Height(1), 14);
  EXPECT_EQ(grid.Height(2), 14);
  EXPECT_EQ(grid.At(1, 2).CellLines, U"def");
}

TEST(LayoutTable, AnEmptyRowIsFlatUnlessTheTableWrapped) {
  const FixedMetrics m;
  TableGrid fits = Grid({{U"aa bb", U"cc"}, {U"", U""}});
  LayoutTable(fits, 580, m);
  EXPECT_EQ(fits.Height(2), 0);

  TableGrid wraps = Grid({{U"aa bb", U"cc"}, {U"", U""}});
  LayoutTable(wraps, 5 * P, m);
  EXPECT_EQ(wraps.Height(2), 10);  // one line of text high
  EXPECT_EQ(wraps.At(1, 1).CellLines, U"aa\r\nbb");
}

TEST(LayoutTable, AWideTableShrinksEveryColumnAndWraps) {
  const FixedMetrics m;
  TableGrid grid = Grid({{U"aaaa bbbb", U"cccc dddd", U"eeee ffff"}});
  // Unwrapped each column is 9 characters + 4; half the width makes every cell wrap.
  const int unwrapped = 3 * (9 * P + 4);
  const TextSize size = LayoutTable(grid, unwrapped / 2, m);
  EXPECT_EQ(size, (TextSize{3 * (4 * P + 4), 20 + 4}));
  for (int col = 1; col <= 3; ++col) {
    EXPECT_EQ(grid.Width(col), 4 * P + 4);
    EXPECT_EQ(MeasureText(grid.At(col, 1).CellLines, m).Height, 20);
  }
}

TEST(LayoutTable, ColumnsNeverShrinkBelowFourPixels) {
  const FixedMetrics m;
  TableGrid grid = Grid({{U"a b", U"c d"}, {U"", U""}});
  const TextSize size = LayoutTable(grid, 1, m);
  // Every word stands on its own line, in columns as wide as one character plus 4.
  EXPECT_EQ(size.Width, 2 * (P + 4));
  EXPECT_EQ(grid.At(1, 1).CellLines, U"a\r\nb");
  EXPECT_EQ(grid.Height(1), 24);
}

TEST(LayoutTable, ALimitOfZeroNeverWraps) {
  const FixedMetrics m;
  TableGrid grid = Grid({{U"aa bb cc dd"}});
  EXPECT_EQ(LayoutTable(grid, 0, m), (TextSize{11 * P + 4, 14}));
  EXPECT_EQ(grid.At(1, 1).CellLines, U"aa bb cc dd");
}

TEST(LayoutTable, TheTableIsAlwaysAsWideAsItsColumns) {
  // A spanning cell wrapped narrow at first takes longer lines in the final wrap, widening its
  // column again; the width given must still cover every column.
  const FixedMetrics m;
  for (int maxWidth : {40, 60, 90, 120, 150, 200}) {
    SCOPED_TRACE(maxWidth);
    TableGrid grid = Grid({{U"Heading over two words", U"", U"tall cell"},
                           {U"one", U"two words here", U""},
                           {U"a", U"b", U"c"}});
    grid.At(2, 1).DrawLeft = false;
    grid.At(3, 2).DrawTop = false;
    const TextSize size = LayoutTable(grid, maxWidth, m);
    EXPECT_EQ(size.Width, grid.Width(1) + grid.Width(2) + grid.Width(3));
    EXPECT_EQ(size.Height, grid.Height(1) + grid.Height(2) + grid.Height(3));
    for (int row = 1; row <= 3; ++row) {
      for (int col = 1; col <= 3; ++col) {
        const THTMLCells& cell = grid.At(col, row);
        if (cell.CellText.empty()) continue;
        EXPECT_LE(MeasureText(cell.CellLines, m).Width + 4, SpanWidth(grid, col, row));
      }
    }
  }
}

TEST(MeasureGrid, ASpanningTextWidensTheFirstColumnOfItsSpanOnly) {
  const FixedMetrics m;
  TableGrid grid = Grid({{U"abcdefghij", U""}, {U"a", U"b"}});
  grid.At(2, 1).DrawLeft = false;
  EXPECT_EQ(SpanWidth(grid, 1, 1), grid.Width(1) + grid.Width(2));
  const TextSize size = MeasureGrid(grid, false, m);
  EXPECT_EQ(grid.Width(1), 10 * P + 4 - 4);  // the span already has the second column's 4
  EXPECT_EQ(grid.Width(2), P + 4);
  EXPECT_EQ(size.Width, grid.Width(1) + grid.Width(2));
  EXPECT_EQ(SpanWidth(grid, 1, 1), 10 * P + 4 + P);
}

TEST(MeasureGrid, ASpanningTextRaisesTheFirstRowOfItsSpanOnly) {
  const FixedMetrics m;
  TableGrid grid = Grid({{U"a\r\nb\r\nc", U"x"}, {U"", U"y"}});
  grid.At(1, 2).DrawTop = false;
  const TextSize size = MeasureGrid(grid, false, m);
  EXPECT_EQ(grid.Height(1), 34);
  EXPECT_EQ(grid.Height(2), 14);
  EXPECT_EQ(size.Height, 48);
}

TEST(FitRowHeights, StartsEveryRowAtOneLineAndEqualisesNothingElse) {
  const FixedMetrics m;
  TableGrid grid = Grid({{U"a", U"b\r\nc"}, {U"", U""}});
  for (int row = 1; row <= 2; ++row) grid.At(1, row).CellLines = grid.At(1, row).CellText;
  grid.At(2, 1).CellLines = grid.At(2, 1).CellText;
  EXPECT_EQ(FitRowHeights(grid, m), 24 + 10);
  EXPECT_EQ(grid.Height(1), 24);
  EXPECT_EQ(grid.Height(2), 10);
}

}  // namespace
}  // namespace tables
