#include "tables/TableScan.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/CodePage.h"
#include "tables/TableError.h"

namespace tables {
namespace {

class TableScanTest : public ::testing::Test {
 protected:
  // The renderer is always given a small HTML document.
  std::optional<ScannedTable> Scan(std::string_view table, bool visibleBorder = true) {
    parser_.Source() = "<html>\r\n" + std::string(table) + "\r\n</html>";
    parser_.Parse();
    return ScanTable(parser_, visibleBorder, codePage_);
  }
  // The cell texts row by row, "|" between cells, "/" between rows.
  static std::string Texts(const TableGrid& grid) {
    std::string out;
    for (int row = 1; row <= grid.Rows(); ++row) {
      if (row > 1) out += "/";
      for (int col = 1; col <= grid.Cols(); ++col) {
        if (col > 1) out += "|";
        for (char32_t c : grid.At(col, row).CellText) out += static_cast<char>(c);
      }
    }
    return out;
  }
  // "L" where DrawLeft is false, "T" where DrawTop is false, "." otherwise.
  static std::string Marks(const TableGrid& grid) {
    std::string out;
    for (int row = 1; row <= grid.Rows(); ++row) {
      if (row > 1) out += "/";
      for (int col = 1; col <= grid.Cols(); ++col) {
        if (col > 1) out += "|";
        const THTMLCells& c = grid.At(col, row);
        std::string m = std::string(c.DrawLeft ? "" : "L") + (c.DrawTop ? "" : "T");
        out += m.empty() ? "." : m;
      }
    }
    return out;
  }

  engine::THTMLParser parser_;
  platform::CodePage codePage_{1251};
};

TEST(ReadSpan, ReadsLikeABrowser) {
  struct Case {
    const char* value;
    int span;
  } cases[] = {{"2", 2},
               {" 3", 3},
               {"\t\r\n 4", 4},
               {"3x", 3},
               {"007", 7},
               {"x", 1},
               {"", 1},
               {"0", 1},
               {"-2", 1},
               {"+2", 1},
               {"1000", 1000},
               {"1001", 1000},
               {"99999999999999999999", 1000},
               {"2.5", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ReadSpan(c.value), c.span);
  }
}

TEST_F(TableScanTest, BorderColourFollowsTheTableTagUnlessAlwaysVisible) {
  struct Case {
    const char* table;
    Rgb asSource;
  } cases[] = {
      {"<table>", kWhite},          {"<table border=0>", kWhite},  {"<table BORDER=\"0\">", kWhite},
      {"<table border=1>", kBlack}, {"<table border=00>", kBlack}, {"<table border>", kBlack},
      {"<table width=100>", kBlack}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    const std::string html = std::string(c.table) + "<tr><td>a</td></tr></table>";
    EXPECT_EQ(Scan(html, false)->Border, c.asSource);
    EXPECT_EQ(Scan(html, true)->Border, kBlack);
  }
  // With several tables the last one decides.
  EXPECT_EQ(Scan("<table><tr><td>a</td></tr></table><table border=2></table>", false)->Border,
            kBlack);
}

TEST_F(TableScanTest, SizesTheGridByRowsAndTheMostTdCellsInARow) {
  auto t = Scan("<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Grid.Cols(), 2);
  EXPECT_EQ(t->Grid.Rows(), 2);
  EXPECT_EQ(Texts(t->Grid), "a|b/c|");
}

TEST_F(TableScanTest, NoRowWithACellGivesNothing) {
  for (const char* html :
       {"", "<table></table>", "<table><tr></tr></table>", "<table><tr><th>h</th></tr></table>",
        "<tr><td>x</td></tr>", "<p>text</p>"}) {
    SCOPED_TRACE(html);
    EXPECT_FALSE(Scan(html));
  }
}

TEST_F(TableScanTest, CellTextsAreJoinedWithBlanksAndTagsLeaveNoTrace) {
  auto t = Scan(
      "<table><tr><td> <b>bold</b>\r\n and <a href=x>link</a> <img src=p.png> "
      "</td></tr></table>");
  EXPECT_EQ(Texts(t->Grid), "bold and link");
}

TEST_F(TableScanTest, HeaderCellsAreNeitherCountedNorPlaced) {
  // A th's text goes into the td still open, or nowhere.
  EXPECT_EQ(Texts(Scan("<table><tr><td>a<th>b</th></tr></table>")->Grid), "a b");
  EXPECT_EQ(Texts(Scan("<table><tr><td>a</td><th>b</th><td>c</td></tr></table>")->Grid), "a|c");
}

TEST_F(TableScanTest, SpansMarkTheCellsTheyCover) {
  struct Case {
    const char* rows;
    const char* texts;
    const char* marks;
  } cases[] = {
      // colspan over a row of two: no edge between the columns in the first row
      {"<tr><td colspan=2>wide</td></tr><tr><td>a</td><td>b</td></tr>", "wide|/a|b", ".|L/.|."},
      // rowspan: the second row's first td lands in column 2
      {"<tr><td rowspan=2>tall</td><td>a</td></tr><tr><td>b</td></tr>", "tall|a/|b", ".|./T|."},
      // both at once
      {"<tr><td colspan=2 rowspan=2>x</td><td>a</td></tr><tr><td>b</td></tr>"
       "<tr><td>c</td><td>d</td><td>e</td></tr>",
       "x||a/||b/c|d|e", ".|L|./T|LT|./.|.|."},
      {"<tr><td ROWSPAN=\" 2\">r</td><td>a</td></tr><tr><td>b</td></tr>", "r|a/|b", ".|./T|."},
      {"<tr><td colspan=1 rowspan=1>a</td><td>b</td></tr>", "a|b", ".|."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    auto t = Scan(std::string("<table>") + c.rows + "</table>");
    ASSERT_TRUE(t);
    EXPECT_EQ(Texts(t->Grid), c.texts);
    EXPECT_EQ(Marks(t->Grid), c.marks);
  }
}

TEST_F(TableScanTest, WhatFallsOutsideTheGridIsDropped) {
  // Spans reaching past the last column or row, and cells pushed beyond the last column.
  auto t = Scan(
      "<table><tr><td colspan=1000 rowspan=1000>a</td><td>b</td></tr>"
      "<tr><td>c</td><td colspan=7>d</td><td>e</td></tr></table>");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Grid.Cols(), 3);
  EXPECT_EQ(Texts(t->Grid), "a||/||");
  EXPECT_EQ(Marks(t->Grid), ".|L|L/T|LT|LT");
}

TEST_F(TableScanTest, ARowEndsAtTheNextRowWhenItsClosingTagIsLeftOut) {
  auto t = Scan("<table><tr><td>a<td>b<tr><td>c</table>");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Grid.Cols(), 2);
  EXPECT_EQ(Texts(t->Grid), "a|b/c|");
}

TEST_F(TableScanTest, AHugeGridIsRefused) {
  std::string html = "<table><tr>";
  for (int i = 0; i < 1000; ++i) html += "<td>";
  html += "</tr>";
  for (int i = 0; i < 1000; ++i) html += "<tr></tr>";
  html += "</table>";
  EXPECT_THROW(Scan(html), TableError);
}

TEST_F(TableScanTest, EntitiesInCellsAreDecodedToTheCharactersTheyName) {
  struct Case {
    const char* cell;
    std::u32string text;
  } cases[] = {
      {"a&nbsp;b", U"a b"},
      {"&lt;tag&gt; &amp; &quot;q&quot;", U"<tag> & \"q\""},
      {"&copy; 2024", U"\u00A9 2024"},
      {"&#8364;5", U"\u20AC5"},               // in the code page
      {"&#x4E2D;&#25991;", U"\u4E2D\u6587"},  // not in the code page: drawn all the same
      {"&unknownname;", U"&unknownname;"},
      {"&amp;lt;", U"&lt;"},  // decoded once
      {"x &nbsp;", U"x  "},   // trimmed before decoding: the decoded blank stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    auto t = Scan(std::string("<table><tr><td>") + c.cell + "</td></tr></table>");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Grid.At(1, 1).CellText, c.text);
  }
}

TEST_F(TableScanTest, CellTextsAreTrimmedAndReadInTheCodePage) {
  // "\xE0\xE1" is Cyrillic a and be in windows-1251; a bare "&" stays itself.
  auto t = Scan("<table><tr><td>  \xE0\xE1 & \"x\" \r\n</td></tr></table>");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Grid.At(1, 1).CellText, U"\u0430\u0431 & \"x\"");
}

}  // namespace
}  // namespace tables
