#include "tables/ConvertTable.h"

#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "platform/CodePage.h"
#include "support/Xml.h"

namespace tables {
namespace {

class ConvertTableTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fonts_ = new FontCache(); }
  static void TearDownTestSuite() {
    delete fonts_;
    fonts_ = nullptr;
  }
  ConvertTableResult Convert(std::string_view selection) {
    return ConvertSelectedTable(selection, count_, settings_, *fonts_, codePage_);
  }

  static FontCache* fonts_;
  TableSettings settings_;
  platform::CodePage codePage_{1251};
  int count_ = 0;
};

FontCache* ConvertTableTest::fonts_ = nullptr;

TEST_F(ConvertTableTest, NumbersThePicturesAndGivesTheImagesTabTexts) {
  const char table[] = "<table><tr><td>a</td><td>b</td></tr></table>";
  const ConvertTableResult first = Convert(table);
  EXPECT_EQ(count_, 1);
  EXPECT_EQ(first.PictureName, "table1.png");
  EXPECT_EQ(first.ImagesTabRefs, "\r\n<image xlink:href=\"#table1.png\"/>\r\n");
  const auto picture = testing::DecodePng(first.Png);
  ASSERT_TRUE(picture);
  EXPECT_GT(picture->Width, 8);

  const ConvertTableResult second = Convert(table);
  EXPECT_EQ(second.PictureName, "table2.png");
  EXPECT_EQ(count_, 2);
  EXPECT_TRUE(second.Png == first.Png);

  // The binary element holds the PNG's Base64 text.
  const std::string& binary = second.ImagesTabBinaries;
  const std::string start = "<binary content-type=\"image/png\" id=\"table2.png\">iVBORw0KGgo";
  EXPECT_EQ(binary.rfind(start, 0), 0u) << binary.substr(0, 80);
  EXPECT_EQ(binary.substr(binary.size() - 13), "\r\n</binary>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedFragment(second.ImagesTabRefs + binary));
}

TEST_F(ConvertTableTest, AnEmptySelectionChangesNothing) {
  const ConvertTableResult r = Convert("");
  EXPECT_FALSE(r.Counted);
  EXPECT_EQ(count_, 0);
  EXPECT_TRUE(r.Png.empty());
  EXPECT_TRUE(r.ImagesTabRefs.empty());
  EXPECT_TRUE(r.ImagesTabBinaries.empty());
}

TEST_F(ConvertTableTest, ASelectionWithoutCellsStillCountsButGivesNoPicture) {
  const ConvertTableResult r = Convert("<p>just text</p>");
  EXPECT_TRUE(r.Counted);
  EXPECT_EQ(count_, 1);
  EXPECT_EQ(r.PictureName, "table1.png");
  EXPECT_TRUE(r.Png.empty());
  EXPECT_TRUE(r.ImagesTabRefs.empty());
  EXPECT_TRUE(r.ImagesTabBinaries.empty());
}

TEST_F(ConvertTableTest, TheSelectionIsCleanedBeforeRendering) {
  // Wrapper tags and scripts go; the table is drawn as if they had never been there.
  const ConvertTableResult plain = Convert("<table><tr><td>cell</td></tr></table>");
  const ConvertTableResult wrapped =
      Convert("<div><table><tr><td><span>cell</span><script>x()</script></td></tr></table></div>");
  ASSERT_FALSE(plain.Png.empty());
  EXPECT_TRUE(wrapped.Png == plain.Png);
}

}  // namespace
}  // namespace tables
