#include "tables/RenderTable.h"

#include <gtest/gtest.h>

#include <memory>

#include "TableTestSupport.h"
#include "platform/CodePage.h"
#include "tables/TableError.h"

namespace tables {
namespace {

using testing::DecodePng;
using testing::IsBlack;
using testing::IsInk;
using testing::IsWhite;

class RenderTableTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fonts_ = new FontCache(); }
  static void TearDownTestSuite() {
    delete fonts_;
    fonts_ = nullptr;
  }

  const TableFont& Font() { return fonts_->Get(settings_.FontName, settings_.FontSize); }
  int64_t Width(std::u32string_view text) { return Font().TextWidth(text); }
  int LineHeight() { return Font().TextHeight(); }

  // Renders a table (wrapped in a small HTML document) and decodes the PNG back.
  std::optional<images::Raster> Render(std::string_view table) {
    const std::string html = "<html>\r\n" + std::string(table) + "\r\n</html>";
    const std::string png = RenderTable(html, settings_, *fonts_, codePage_);
    if (png.empty()) return std::nullopt;
    auto picture = DecodePng(png);
    EXPECT_TRUE(picture) << "not a PNG";
    return picture;
  }
  // Whether any pixel of the rectangle [x0, x1) x [y0, y1) is ink.
  static bool AnyInk(const images::Raster& r, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        if (IsInk(r, x, y)) return true;
      }
    }
    return false;
  }

  static FontCache* fonts_;
  TableSettings settings_;
  platform::CodePage codePage_{1251};
};

FontCache* RenderTableTest::fonts_ = nullptr;

TEST_F(RenderTableTest, TheFontIsFoundAndCachedWhenTheNamedFaceIsMissing) {
  const TableFont& font = Font();
  EXPECT_FALSE(font.FilePath().empty());
  EXPECT_EQ(&font, &fonts_->Get("Tahoma", 8));
  EXPECT_GT(font.TextHeight(), 8);
  EXPECT_LT(font.TextHeight(), 20);
  EXPECT_EQ(font.TextWidth(U"HHH"), 3 * font.TextWidth(U"H"));
  EXPECT_EQ(font.TextWidth(U"H\r\n"), font.TextWidth(U"H"));
  EXPECT_GT(fonts_->Get("DejaVu Sans", 16).TextHeight(), font.TextHeight());
}

TEST_F(RenderTableTest, TwoByTwoGeometryFollowsTheFontMetrics) {
  auto picture = Render(
      "<table border=1><tr><td>Lorem</td><td>ip</td></tr>"
      "<tr><td>dolor</td><td>sitam</td></tr></table>");
  ASSERT_TRUE(picture);
  const int w1 = static_cast<int>(std::max(Width(U"Lorem"), Width(U"dolor")) + 4);
  const int w2 = static_cast<int>(std::max(Width(U"ip"), Width(U"sitam")) + 4);
  const int h = LineHeight() + 4;
  const int W = w1 + w2;
  const int H = 2 * h;
  ASSERT_EQ(picture->Width, W + 4);
  ASSERT_EQ(picture->Height, H + 4);
  const images::Raster& r = *picture;
  // Horizontal edges at the top, between the rows and at the bottom, up to but not including
  // their end points.
  for (int y : {2, 2 + h, 2 + H}) {
    for (int x = 2; x < W + 2; ++x) ASSERT_TRUE(IsBlack(r, x, y)) << x << "," << y;
    EXPECT_TRUE(IsWhite(r, 1, y));
  }
  EXPECT_TRUE(IsWhite(r, W + 2, 2 + H));
  // Vertical edges left, between the columns and right.
  for (int x : {2, 2 + w1, 2 + W}) {
    for (int y = 2; y < H + 2; ++y) ASSERT_TRUE(IsBlack(r, x, y)) << x << "," << y;
  }
  // The margin is white; each cell's text is printed at (x + 2, y + 1) and not outside.
  EXPECT_FALSE(AnyInk(r, 0, 0, W + 4, 2));
  EXPECT_FALSE(AnyInk(r, 0, 0, 2, H + 4));
  EXPECT_TRUE(AnyInk(r, 4, 3, 4 + static_cast<int>(Width(U"Lorem")), 3 + LineHeight()));
  EXPECT_FALSE(AnyInk(r, 3, 3, 4, 2 + h));                      // the column left of the text
  EXPECT_FALSE(AnyInk(r, 3, 3 + LineHeight(), 2 + w1, 2 + h));  // the rows below it
  EXPECT_TRUE(
      AnyInk(r, 4 + w1, 3 + h, 4 + w1 + static_cast<int>(Width(U"sitam")), 3 + h + LineHeight()));
}

TEST_F(RenderTableTest, AColspanDrawsNoEdgeInsideItsRowAndWidensItsFirstColumn) {
  auto picture = Render(
      "<table><tr><td colspan=2>a rather long heading</td></tr>"
      "<tr><td>x</td><td>y</td></tr></table>");
  ASSERT_TRUE(picture);
  // The heading widens column 1 while column 2 is still 4 wide; column 2 grows for "y" later.
  const int w1 = static_cast<int>(Width(U"a rather long heading") + 4) - 4;
  const int w2 = static_cast<int>(Width(U"y") + 4);
  const int h = LineHeight() + 4;
  ASSERT_EQ(picture->Width, w1 + w2 + 4);
  const int between = 2 + w1;
  EXPECT_TRUE(IsWhite(*picture, between, 2 + h - 1));  // below the heading's text
  EXPECT_TRUE(IsBlack(*picture, between, 2 + h + 1));
  EXPECT_TRUE(IsBlack(*picture, between, 2 + 2 * h - 1));
}

TEST_F(RenderTableTest, ARowspanDrawsNoTopEdgeBelowIt) {
  auto picture =
      Render("<table><tr><td rowspan=2>tall</td><td>a</td></tr><tr><td>b</td></tr></table>");
  ASSERT_TRUE(picture);
  const int w1 = static_cast<int>(Width(U"tall") + 4);
  const int h = LineHeight() + 4;
  const int row2 = 2 + h;
  EXPECT_TRUE(IsWhite(*picture, 3, row2));
  EXPECT_TRUE(IsWhite(*picture, 2 + w1 - 1, row2));
  EXPECT_TRUE(IsBlack(*picture, 2 + w1 + 1, row2));
  // The second row's cell stands in column 2: its text starts right of column 1.
  EXPECT_TRUE(AnyInk(*picture, 4 + w1, row2 + 1, picture->Width - 3, row2 + 1 + LineHeight()));
}

TEST_F(RenderTableTest, BorderColourFollowsTheSettingAndTheTableTag) {
  struct Case {
    const char* table;
    bool visibleSetting;
    bool lines;
  } cases[] = {
      {"<table border=0>", false, false},
      {"<table>", false, false},
      {"<table border=1>", false, true},
      {"<table border=0>", true, true},
      {"<table>", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.table) + (c.visibleSetting ? " visible" : " as source"));
    settings_.VisibleBorder = c.visibleSetting;
    auto picture = Render(std::string(c.table) + "<tr><td>cell</td></tr></table>");
    ASSERT_TRUE(picture);
    EXPECT_EQ(IsBlack(*picture, 2, 2), c.lines);
    EXPECT_EQ(IsBlack(*picture, picture->Width - 2, picture->Height - 3), c.lines);
    EXPECT_TRUE(IsBlack(*picture, 2, 2) || IsWhite(*picture, 2, 2));
  }
}

TEST_F(RenderTableTest, AWideTableWrapsAndIsScaledToTheLimits) {
  std::string words;
  for (int i = 0; i < 40; ++i) words += "word ";
  const std::string table = "<table><tr><td>" + words + "</td><td>" + words + "</td></tr></table>";
  settings_.MaxImageWidth = 0;
  settings_.MaxImageHeight = 0;
  auto unlimited = Render(table);
  ASSERT_TRUE(unlimited);
  EXPECT_EQ(unlimited->Height, LineHeight() + 8);  // one line: nothing wrapped

  settings_.MaxImageWidth = 300;
  settings_.MaxImageHeight = 700;
  auto limited = Render(table);
  ASSERT_TRUE(limited);
  EXPECT_LE(limited->Width, 300);
  EXPECT_GT(limited->Height, 5 * LineHeight());  // wrapped onto many lines
  EXPECT_GE(limited->Width, 200);                // wrapped to the limit, not far below it

  settings_.MaxImageHeight = 40;
  auto squeezed = Render(table);
  ASSERT_TRUE(squeezed);
  EXPECT_EQ(squeezed->Height, 40);  // scaled down as a whole
  EXPECT_LT(squeezed->Width, 300);
}

TEST_F(RenderTableTest, ATableWithoutCellsGivesNoPicture) {
  EXPECT_FALSE(Render("<table><tr><th>head</th></tr></table>"));
  EXPECT_FALSE(Render("no table at all"));
  EXPECT_EQ(
      RenderTableBase64("<html><table><tr></tr></table></html>", settings_, *fonts_, codePage_),
      "");
}

TEST_F(RenderTableTest, TheBase64TextIsThatOfThePng) {
  const std::string html = "<html>\r\n<table><tr><td>cell</td></tr></table>\r\n</html>";
  const std::string base64 = RenderTableBase64(html, settings_, *fonts_, codePage_);
  EXPECT_EQ(base64.rfind("iVBORw0KGgo", 0), 0u);  // the PNG signature
  EXPECT_EQ(base64.size(), (RenderTable(html, settings_, *fonts_, codePage_).size() + 2) / 3 * 4);
  EXPECT_EQ(base64.find_first_of("\r\n"), std::string::npos);
}

TEST_F(RenderTableTest, EveryTagInACellIsIgnored) {
  auto plain = Render("<table><tr><td>one two</td></tr></table>");
  auto marked = Render("<table><tr><td><b>one</b><br><a href=x>two</a></td></tr></table>");
  ASSERT_TRUE(plain && marked);
  EXPECT_EQ(plain->Width, marked->Width);
  EXPECT_EQ(plain->Rgb, marked->Rgb);
}

TEST_F(RenderTableTest, ATableTooLargeToDrawIsRefused) {
  std::string table = "<table><tr>";
  const std::string word(200, 'm');
  for (int i = 0; i < 200; ++i) table += "<td>" + word + "</td>";
  table += "</tr>";
  for (int i = 0; i < 300; ++i) table += "<tr><td>x</td></tr>";
  table += "</table>";
  settings_.MaxImageWidth = 0;
  EXPECT_THROW(Render(table), TableError);
}

TEST_F(RenderTableTest, TallTablesAreDrawnInBandsLikeSmallOnes) {
  std::string table = "<table>";
  for (int i = 0; i < 400; ++i) table += "<tr><td>row " + std::to_string(i) + "</td></tr>";
  table += "</table>";
  settings_.MaxImageHeight = 350;  // shrinks the picture to about a twentieth
  auto picture = Render(table);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Height, 350);
  // The left edge survives the averaging as a dark column.
  int dark = 0;
  for (int y = 0; y < picture->Height; ++y) dark += picture->Pixel(0, y)[0] < 250;
  EXPECT_GT(dark, 300);
}

}  // namespace
}  // namespace tables
