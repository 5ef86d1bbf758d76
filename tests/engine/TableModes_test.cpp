// The three table modes of the walk on one source, the picture names across conversions, and
// what the table renderer is handed.

#include <gtest/gtest.h>

#include <png.h>

#include <memory>
#include <vector>

#include "engine/Pipeline.h"
#include "platform/CodePage.h"
#include "support/Xml.h"
#include "tables/RenderTable.h"
#include "tables/TableScan.h"

namespace engine {
namespace {

const char kHead[] =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
    "<FictionBook xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">\r\n<description>\r\n"
    "</description>\r\n";

// Records the tables handed to the renderer; with `fonts` set they are really drawn.
class TableServices : public ConversionServices {
 public:
  DocumentHead WriteDescription() override { return {kHead, {}}; }
  std::string EmbedImage(const THTMLTag& tag, std::string& binaries) override {
    const std::string src = tag.ParamCount() ? tag.Param(0).Value.Text() : "";
    binaries += "<binary id=\"" + src + "\">AAAA</binary>\r\n";
    return "<image xlink:href=\"#" + src + "\"/>";
  }
  std::string RenderTablePicture(std::string_view html, std::string_view name) override {
    tables.emplace_back(html);
    names.emplace_back(name);
    if (!fonts) return "QUJD";
    pngs.push_back(tables::RenderTable(html, tables::TableSettings{}, *fonts, codePage));
    return pngs.back().empty() ? "" : "QUJD";
  }

  platform::CodePage codePage{1251};
  tables::FontCache* fonts = nullptr;
  std::vector<std::string> tables, names, pngs;
};

// Text before, a table with a caption, a header cell, attributes, a heading, a paragraph, a
// line break, a picture and a nested table, text between, and a second table.
const char kSource[] =
    "<body><p>before</p><table BORDER=0 Class=grid><caption>Cap</caption><tbody>"
    "<tr><th>H</th><td Align=right style=\"color:red\">a &amp; b</td></tr>\r\n"
    "<tr><td><h1>In</h1><p>c</p><br><img src=p.png></td>"
    "<td><table border=1><tr><td>in</td></tr></table></td></tr></tbody></table>"
    "<p>after</p><table><tr><td>2</td></tr></table></body>";

class TableModesTest : public ::testing::Test {
 protected:
  // The document without its head and closing tag; the whole must be well-formed.
  std::string Body(std::string_view html) {
    const ConversionResult result = ConvertDocument(parser_, html, options_, services_, codePage_);
    EXPECT_TRUE(result.Ok) << result.Reason;
    EXPECT_TRUE(testsupport::IsWellFormedXml(result.Document));
    const std::string& doc = result.Document;
    const std::string tail = "\r\n</FictionBook>";
    EXPECT_EQ(doc.rfind(kHead, 0), 0u);
    return doc.substr(sizeof(kHead) - 1, doc.size() - (sizeof(kHead) - 1) - tail.size());
  }
  void Mode(ConversionVariant variant, TextTableMode mode = TextTableMode::AsIs) {
    options_.Variant = variant;
    options_.TableMode = mode;
  }

  THTMLParser parser_;
  TableServices services_;
  ConversionOptions options_;
  platform::CodePage codePage_{1251};
};

TEST_F(TableModesTest, AsIsWritesTheTableTagsWithoutBorder) {
  Mode(ConversionVariant::Text, TextTableMode::AsIs);
  EXPECT_EQ(Body(kSource),
            "<body>\r\n<section>\r\n<p>before</p>\r\n"
            " <table class=\"grid\"> <caption>Cap</caption>\r\n"
            " <tr> <th>H</th> <td align=\"right\" style=\"color:red\">a &amp; b</td></tr>\r\n"
            " <tr> <td>\r\n<title><p>In</p></title>\r\n<p>c</p>\r\n<p> </p>\r\n"
            "<image xlink:href=\"#p.png\"/></td> <td> <table> <tr> <td>in</td></tr>\r\n"
            "</table>\r\n</td></tr>\r\n</table>\r\n"
            "<p>after</p>\r\n <table> <tr> <td>2</td></tr>\r\n</table>\r\n"
            "</section>\r\n</body>\r\n<binary id=\"p.png\">AAAA</binary>\r\n");
  EXPECT_TRUE(services_.tables.empty());
}

TEST_F(TableModesTest, ContentOnlyKeepsOnlyWhatTheCellsHold) {
  Mode(ConversionVariant::Text, TextTableMode::ContentOnly);
  EXPECT_EQ(Body(kSource),
            "<body>\r\n<section>\r\n<p>before</p>\r\n"
            "CapHa &amp; b \r\n<title><p>In</p></title>\r\n<p>c</p>\r\n<p> </p>\r\n"
            "<image xlink:href=\"#p.png\"/>in<p>after</p>\r\n2</section>\r\n</body>\r\n"
            "<binary id=\"p.png\">AAAA</binary>\r\n");
}

TEST_F(TableModesTest, ConvertToImageHandsEachOutermostTableToTheRenderer) {
  Mode(ConversionVariant::Picture);
  EXPECT_EQ(Body(kSource),
            "<body>\r\n<section>\r\n<p>before</p>\r\n"
            "\r\n<p> </p>\r\n\r\n<image xlink:href=\"#table1.png\"/>\r\n\r\n<p> </p>"
            "<p>after</p>\r\n"
            "\r\n<p> </p>\r\n\r\n<image xlink:href=\"#table2.png\"/>\r\n\r\n<p> </p>"
            "</section>\r\n</body>\r\n"
            "<binary content-type=\"image/png\" id=\"table1.png\">QUJD\r\n</binary>\r\n"
            "<binary content-type=\"image/png\" id=\"table2.png\">QUJD\r\n</binary>\r\n");
  // Tags of the outer table as written, style between single quotes; of the nested table only
  // its text and its closing tag; the picture travels as a tag and is not embedded.
  ASSERT_EQ(services_.tables.size(), 2u);
  EXPECT_EQ(services_.tables[0],
            "<html>\r\n<table BORDER=\"0\" Class=\"grid\"><caption>Cap</caption><tbody>"
            "<tr><th>H</th><td Align=\"right\" style='color:red'>a &amp; b</td></tr>\r\n"
            "<tr><td><h1>In</h1><p>c</p><br><img src=\"p.png\"></td><td>in</table></td></tr>"
            "</tbody></table>\r\n</html>");
  EXPECT_EQ(services_.tables[1], "<html>\r\n<table><tr><td>2</td></tr></table>\r\n</html>");
}

TEST_F(TableModesTest, PicturesAreNumberedAfreshInEveryConversion) {
  Mode(ConversionVariant::Picture);
  const std::string html =
      "<body><table><tr><td>1</td></tr></table>x<table><tr><td>2<table><tr><td>nested</td>"
      "</tr></table></td></tr></table><table><tr><td>3</td></tr></table></body>";
  const std::string first = Body(html);
  const std::string second = Body(html);
  EXPECT_EQ(second, first);
  const std::vector<std::string> once = {"table1.png", "table2.png", "table3.png"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(services_.names, twice);
  for (const std::string& name : once) {
    EXPECT_NE(first.find("<image xlink:href=\"#" + name + "\"/>"), std::string::npos) << name;
    EXPECT_NE(first.find("id=\"" + name + "\""), std::string::npos) << name;
  }
}

TEST_F(TableModesTest, AsIsAttributeValuesAreEscaped) {
  Mode(ConversionVariant::Text, TextTableMode::AsIs);
  const std::string body = Body(
      "<body><table summary='say \"hi\" & <go>' Border=\"2\"><tr><td TITLE=\"it's\">x</td>"
      "</tr></table></body>");
  EXPECT_EQ(body,
            "<body>\r\n<section>\r\n <table summary=\"say &quot;hi&quot; &amp; &lt;go&gt;\">"
            " <tr> <td title=\"it's\">x</td></tr>\r\n</table>\r\n</section>\r\n</body>\r\n");
}

TEST_F(TableModesTest, TableTextReachesTheRendererAsItReads) {
  // Decoded markup characters must not turn into tags or be decoded a second time.
  Mode(ConversionVariant::Picture);
  Body(
      "<body><table><tr><td>if a &lt; b &gt; c</td><td>x &amp;lt; y</td><td>&copy; &bogus;"
      "</td></tr></table></body>");
  ASSERT_EQ(services_.tables.size(), 1u);
  THTMLParser parser;
  parser.Source() = services_.tables[0];
  parser.Parse();
  const auto table = tables::ScanTable(parser, true, codePage_);
  ASSERT_TRUE(table);
  ASSERT_EQ(table->Grid.Cols(), 3);
  EXPECT_EQ(table->Grid.At(1, 1).CellText, U"if a < b > c");
  EXPECT_EQ(table->Grid.At(2, 1).CellText, U"x &lt; y");
  EXPECT_EQ(table->Grid.At(3, 1).CellText, U"\u00A9");  // unknown entities are dropped
}

TEST_F(TableModesTest, TheRendererDrawsWhatTheWalkCollects) {
  tables::FontCache fonts;
  services_.fonts = &fonts;
  Mode(ConversionVariant::Picture);
  Body(kSource);
  ASSERT_EQ(services_.pngs.size(), 2u);
  for (const std::string& png : services_.pngs) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
    EXPECT_GT(image.width, 8u);
    EXPECT_GT(image.height, 8u);
    png_image_free(&image);
  }
  // A table with no cell gives no picture: the reference stays, no binary is added.
  services_.pngs.clear();
  const std::string body = Body("<body><table><tr><th>only a header</th></tr></table></body>");
  ASSERT_EQ(services_.pngs.size(), 1u);
  EXPECT_TRUE(services_.pngs[0].empty());
  EXPECT_NE(body.find("<image xlink:href=\"#table1.png\"/>"), std::string::npos);
  EXPECT_EQ(body.find("<binary"), std::string::npos);
}

}  // namespace
}  // namespace engine
