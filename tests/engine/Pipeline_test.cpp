#include "engine/Pipeline.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/CodePage.h"
#include "support/Xml.h"

namespace engine {
namespace {

const char kHead[] =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
    "<FictionBook xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">\r\n<description>\r\n"
    "</description>\r\n";

// Records what the walk hands over; pictures become "<image .../>" with one binary each.
class RecordingServices : public ConversionServices {
 public:
  DocumentHead WriteDescription() override {
    ++descriptions;
    if (failDescription) throw std::runtime_error("no head today");
    return {kHead, cover};
  }
  std::string EmbedImage(const THTMLTag& tag, std::string& binaries) override {
    const std::string src = tag.ParamCount() ? tag.Param(0).Value.Text() : "";
    images.push_back(src);
    binaries += "<binary id=\"" + src + "\">AAAA</binary>\r\n";
    return "<image xlink:href=\"#" + src + "\"/>";
  }
  std::string RenderTablePicture(std::string_view html, std::string_view name) override {
    tables.emplace_back(html);
    names.emplace_back(name);
    return renderTables ? "iVBORw0KGgo=" : "";
  }
  void BeginConversion() override { ++begins; }
  void OnError(std::string_view message, std::string_view offending) override {
    errors.push_back(std::string(message) + "|" + std::string(offending));
  }

  std::string cover;
  bool failDescription = false;
  bool renderTables = true;
  int descriptions = 0;
  int begins = 0;
  std::vector<std::string> images, tables, names, errors;
};

class PipelineTest : public ::testing::Test {
 protected:
  // The document without its head and closing tag.
  std::string Body(std::string_view html) {
    result_ = ConvertDocument(parser_, html, options_, services_, codePage_);
    EXPECT_TRUE(result_.Ok) << result_.Reason;
    std::string doc = result_.Document;
    EXPECT_EQ(doc.rfind(kHead, 0), 0u);
    const std::string tail = "\r\n</FictionBook>";
    EXPECT_TRUE(doc.size() >= tail.size() && doc.compare(doc.size() - tail.size(), tail.size(), tail) == 0);
    return doc.substr(sizeof(kHead) - 1, doc.size() - (sizeof(kHead) - 1) - tail.size());
  }

  THTMLParser parser_;
  RecordingServices services_;
  ConversionOptions options_;
  platform::CodePage codePage_{1251};
  ConversionResult result_;
};

TEST_F(PipelineTest, LevelZeroBodyExample) {
  const std::string body = Body("<body><h1>One</h1><p>x<b>y</b></p></body>");
  EXPECT_EQ(body,
            "<body>\r\n<section>\r\n</section>\r\n<section>\r\n<title><p>One</p></title>\r\n"
            "<p>x<strong>y</strong></p>\r\n</section>\r\n</body>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedXml(result_.Document));
}

TEST_F(PipelineTest, TextWithoutHtmlMarkersGivesNoBody) {
  EXPECT_EQ(Body("just <p>words</p>"), "");
}

TEST_F(PipelineTest, EmptySourceFailsAndNothingIsWritten) {
  result_ = ConvertDocument(parser_, "", options_, services_, codePage_);
  EXPECT_FALSE(result_.Ok);
  EXPECT_EQ(services_.descriptions, 0);
}

TEST_F(PipelineTest, TextBeforeBodyIsDroppedButHeadTagsAreMapped) {
  EXPECT_EQ(Body("<html>lost<h1>T</h1><body>kept</body>after"),
            "</section>\r\n<section>\r\n<title><p></p></title>\r\n<body>\r\n<section>\r\nkept"
            "</section>\r\n</body>\r\nafter");
}

TEST_F(PipelineTest, BodyTextIsXmlSafe) {
  const std::string body = Body("<body><p>a &lt; b &amp; c > d &zork; e\x01</p></body>");
  EXPECT_EQ(body, "<body>\r\n<section>\r\n<p>a &lt; b &amp; c &gt; d &amp;zork; e</p>\r\n"
                  "</section>\r\n</body>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedXml(result_.Document));
}

TEST_F(PipelineTest, LinksKeptOrReducedToTheirContent) {
  const std::string html =
      "<body><p><a href=\"http://x.org/?a=1&amp;b=2\">out</a> <a href=\"#n\">in</a> "
      "<A HREF=\"mailto:me@x.org\">mail</A> <a name=\"n\">anchor</a></p></body>";
  options_.ShowHyperlinks = true;
  EXPECT_EQ(Body(html),
            "<body>\r\n<section>\r\n<p><a xlink:href=\"http://x.org/?a=1&amp;b=2\">out</a> in "
            "mail anchor</p>\r\n</section>\r\n</body>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedXml(result_.Document));
  options_.ShowHyperlinks = false;
  EXPECT_EQ(Body(html), "<body>\r\n<section>\r\n<p>out in mail anchor</p>\r\n</section>\r\n"
                        "</body>\r\n");
}

TEST_F(PipelineTest, PicturesTravelInsideTheirLinkAndBinariesFollowTheBody) {
  options_.ShowHyperlinks = false;
  const std::string body = Body("<body><a href=\"x\"><img src=\"a.jpg\"></a><img src=\"b.png\"></body>");
  EXPECT_EQ(body, "<body>\r\n<section>\r\n<image xlink:href=\"#a.jpg\"/><image xlink:href=\"#b.png\"/>"
                  "</section>\r\n</body>\r\n<binary id=\"a.jpg\">AAAA</binary>\r\n"
                  "<binary id=\"b.png\">AAAA</binary>\r\n");
}

TEST_F(PipelineTest, UnclosedLinkLosesWhatFollows) {
  EXPECT_EQ(Body("<body>a<a href=\"x\">lost<img src=\"p.jpg\"></body>"),
            "<body>\r\n<section>\r\na</section>\r\n</body>\r\n"
            "<binary id=\"p.jpg\">AAAA</binary>\r\n");
}

TEST_F(PipelineTest, HeadingTextInsideAnchorGoesStraightToTheTitle) {
  options_.TitleHeadingLevel = 1;
  EXPECT_EQ(Body("<body><h2><a name=\"t\">Title</a></h2></body>"),
            "<body>\r\n<section>\r\n</section>\r\n<section>\r\n<title><p>Title</p></title>\r\n"
            "</section>\r\n</body>\r\n");
}

TEST_F(PipelineTest, CoverAndBinariesAreAssembledInOrder) {
  services_.cover = "<binary id=\"cover.jpg\">CCCC</binary>\r\n";
  const std::string body = Body("<body><img src=\"a.jpg\"></body>");
  EXPECT_EQ(body, "<body>\r\n<section>\r\n<image xlink:href=\"#a.jpg\"/></section>\r\n</body>\r\n"
                  "<binary id=\"cover.jpg\">CCCC</binary>\r\n<binary id=\"a.jpg\">AAAA</binary>\r\n");
}

TEST_F(PipelineTest, ServiceFailureEndsTheConversionWithItsReason) {
  services_.failDescription = true;
  result_ = ConvertDocument(parser_, "<body>x</body>", options_, services_, codePage_);
  EXPECT_FALSE(result_.Ok);
  EXPECT_EQ(result_.Reason, "no head today");
}

TEST_F(PipelineTest, TokenizerComplaintsAreReportedAndTheWalkGoesOn) {
  EXPECT_EQ(Body("<body>x<p =y>z"), "<body>\r\n<section>\r\nx<p>z");
  ASSERT_EQ(services_.errors.size(), 1u);
  EXPECT_EQ(services_.errors[0], "key not defined in tag|<p =y>");
}

TEST_F(PipelineTest, TwoConversionsInARowGiveTheSameDocument) {
  const std::string html = "<body><h1>A</h1><p>t<img src=\"a.jpg\"></p><table><tr><td>c</td></tr></table></body>";
  const std::string first = Body(html);
  EXPECT_EQ(Body(html), first);
  EXPECT_EQ(services_.begins, 2);
}

TEST_F(PipelineTest, AsIsTablesKeepTheirAttributesButBorder) {
  const std::string body =
      Body("<body><table BORDER=1 width=\"50%\"><tr><TD ALIGN=center title='a\"b&c'>x</td></tr>"
           "</table></body>");
  EXPECT_EQ(body, "<body>\r\n<section>\r\n <table width=\"50%\"> <tr> <td align=\"center\" "
                  "title=\"a&quot;b&amp;c\">x</td></tr>\r\n</table>\r\n</section>\r\n</body>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedXml(result_.Document));
}

TEST_F(PipelineTest, ContentOnlyTablesLeaveTheirContent) {
  options_.TableMode = TextTableMode::ContentOnly;
  EXPECT_EQ(Body("<body><table><tr><td>a</td>\r\n<td>b</td></tr></table></body>"),
            "<body>\r\n<section>\r\na b</section>\r\n</body>\r\n");
}

TEST_F(PipelineTest, StrayClosingTableChangesNothing) {
  options_.TableMode = TextTableMode::ContentOnly;
  EXPECT_EQ(Body("<body></table><h1>T</h1></body>"),
            "<body>\r\n<section>\r\n</section>\r\n<section>\r\n<title><p>T</p></title>\r\n"
            "</section>\r\n</body>\r\n");
}

TEST_F(PipelineTest, TitleHeadingInsideAsIsTableOpensNoSection) {
  EXPECT_EQ(Body("<body><table><tr><td><h1>T</h1></td></tr></table></body>"),
            "<body>\r\n<section>\r\n <table> <tr> <td>\r\n<title><p>T</p></title>\r\n</td></tr>\r\n"
            "</table>\r\n</section>\r\n</body>\r\n");
}

TEST_F(PipelineTest, PictureVariantCollectsOutermostTablesAndNumbersThem) {
  options_.Variant = ConversionVariant::Picture;
  const std::string body = Body(
      "<body>a<table border=1 style=\"color:red\"><tr><td>x &amp; &copy;<table><tr><td>in</td>"
      "</tr></table></td></tr></table><h1>T</h1><table><tr><td>2</td></tr></table></body>");
  ASSERT_EQ(services_.names, (std::vector<std::string>{"table1.png", "table2.png"}));
  EXPECT_EQ(services_.tables[0],
            "<html>\r\n<table border=\"1\" style='color:red'><tr><td>x &amp; \xa9in</table></td></tr>"
            "</table>\r\n</html>");
  EXPECT_EQ(body,
            "<body>\r\n<section>\r\na\r\n<p> </p>\r\n\r\n<image xlink:href=\"#table1.png\"/>\r\n\r\n"
            "<p> </p></section>\r\n<section>\r\n<title><p>T</p></title>\r\n\r\n<p> </p>\r\n\r\n"
            "<image xlink:href=\"#table2.png\"/>\r\n\r\n<p> </p></section>\r\n</body>\r\n"
            "<binary content-type=\"image/png\" id=\"table1.png\">iVBORw0KGgo=\r\n</binary>\r\n"
            "<binary content-type=\"image/png\" id=\"table2.png\">iVBORw0KGgo=\r\n</binary>\r\n");
  // The same names the second time: numbering starts again with every conversion.
  services_.names.clear();
  Body("<body><table><tr><td>1</td></tr></table></body>");
  EXPECT_EQ(services_.names, (std::vector<std::string>{"table1.png"}));
}

TEST_F(PipelineTest, PictureVariantWithoutPictureKeepsTheReferenceOnly) {
  options_.Variant = ConversionVariant::Picture;
  services_.renderTables = false;
  const std::string body = Body("<body><table><tr><td>x</td></tr></table></body>");
  EXPECT_EQ(body.find("<binary"), std::string::npos);
  EXPECT_NE(body.find("<image xlink:href=\"#table1.png\"/>"), std::string::npos);
}

TEST_F(PipelineTest, PictureVariantDropsAnUnclosedTable) {
  options_.Variant = ConversionVariant::Picture;
  EXPECT_EQ(Body("<body>a<table><tr><td>lost</td></tr></body>"), "<body>\r\n<section>\r\na");
  EXPECT_TRUE(services_.tables.empty());
}

}  // namespace
}  // namespace engine
