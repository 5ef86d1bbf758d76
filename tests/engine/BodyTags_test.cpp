#include "engine/BodyTags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Xml.h"

namespace engine {
namespace {

struct TagCase {
  const char* name;
  bool inParagraphBefore;
  const char* text;
  bool inParagraphAfter;
};

TEST(MapBodyTagTest, EveryTagOutsideHeadingsAndItsParagraphFlag) {
  const TagCase cases[] = {
      {"p", false, "<p>", false},
      {"/p", true, "</p>\r\n", true},
      {"pre", false, "<p>", false},
      {"/pre", true, "</p>\r\n", true},
      {"b", false, "<strong>", false},
      {"/b", false, "</strong>", false},
      {"strong", false, "<strong>", false},
      {"/strong", false, "</strong>", false},
      {"i", false, "<emphasis>", false},
      {"/i", false, "</emphasis>", false},
      {"body", false, "<body>\r\n<section>\r\n", false},
      {"/body", false, "</section>\r\n</body>\r\n", false},
      {"/table", false, "</table>\r\n", false},
      {"/tr", false, "</tr>\r\n", false},
      {"/td", false, "</td>", false},
      {"/th", false, "</th>", false},
      {"/caption", false, "</caption>\r\n", false},
      {"li", false, "<p>\x95 ", true},
      {"/li", true, "</p>\r\n", false},
      {"ul", false, "<p> </p>\r\n", false},
      {"ol", true, "<p> </p>\r\n", true},
      {"/ul", false, "<p> </p>\r\n", false},
      {"/ol", false, "<p> </p>\r\n", false},
      {"br", true, "</p>\r\n<p>", true},
      {"br", false, "<p> </p>\r\n", false},
      // Names that yield nothing, the table tags the table handling owns among them.
      {"em", true, "", true},
      {"u", false, "", false},
      {"span", false, "", false},
      {"div", false, "", false},
      {"a", false, "", false},
      {"table", false, "", false},
      {"tr", false, "", false},
      {"td", false, "", false},
      {"caption", false, "", false},
      {"tbody", false, "", false},
      {"html", false, "", false},
      {"h7", false, "", false},
      {"h", false, "", false},
      {"/", false, "", false},
      {"", false, "", false},
      // Exact, case-sensitive names: the walk lower-cases them first.
      {"P", false, "", false},
      {"BR", true, "", true},
  };
  for (const TagCase& c : cases) {
    bool inParagraph = c.inParagraphBefore;
    EXPECT_EQ(MapBodyTag(c.name, false, 0, inParagraph), c.text) << c.name;
    EXPECT_EQ(inParagraph, c.inParagraphAfter) << c.name;
  }
}

// What heading k becomes for a title level: T title, S subtitle, B bold paragraph.
char HeadingKind(int k, int level, bool& ok) {
  const std::string open = "h" + std::to_string(k);
  bool inParagraph = false;
  const std::string_view text = MapBodyTag(open, false, level, inParagraph);
  const std::string_view close = MapBodyTag("/" + open, false, level, inParagraph);
  ok = !inParagraph;
  if (text == "</section>\r\n<section>\r\n<title><p>" && close == "</p></title>\r\n") return 'T';
  if (text == "\r\n<subtitle><strong>" && close == "</strong></subtitle>\r\n") return 'S';
  if (text == "\r\n<p> </p>\r\n<p><strong>" && close == "</strong></p>\r\n<p> </p>\r\n") {
    return 'B';
  }
  if (text.empty() && close.empty()) return '-';
  return '?';
}

TEST(MapBodyTagTest, HeadingsByTitleLevel) {
  // One row per level, h1..h6 across.
  const struct {
    int level;
    const char* kinds;
  } cases[] = {
      {0, "TSBBBB"}, {1, "TTSBBB"}, {2, "TTTSBB"},  {3, "TTTTSB"},
      {4, "TTTTTS"}, {5, "TTTTTT"}, {-1, "------"}, {6, "------"},
  };
  for (const auto& c : cases) {
    std::string kinds;
    for (int k = 1; k <= 6; ++k) {
      bool ok = false;
      kinds.push_back(HeadingKind(k, c.level, ok));
      EXPECT_TRUE(ok) << "headings leave the paragraph flag alone";
    }
    EXPECT_EQ(kinds, c.kinds) << "level " << c.level;
  }
}

TEST(MapBodyTagTest, TitleInsideTableOpensNoSection) {
  bool inParagraph = false;
  EXPECT_EQ(MapBodyTag("h1", true, 0, inParagraph), "\r\n<title><p>");
  EXPECT_EQ(MapBodyTag("/h1", true, 0, inParagraph), "</p></title>\r\n");
  EXPECT_EQ(MapHeadingTag("h2", true, 0), "\r\n<subtitle><strong>");
  EXPECT_EQ(MapHeadingTag("h3", true, 0), "\r\n<p> </p>\r\n<p><strong>");
  EXPECT_EQ(MapHeadingTag("p", false, 0), "");
}

TEST(MapBodyTagTest, ListWithLineBreakStaysWellFormed) {
  const std::vector<std::string> tags = {"body", "ul", "li", "br", "/li", "/ul", "br", "/body"};
  bool inParagraph = false;
  std::string out;
  for (const std::string& tag : tags) out.append(MapBodyTag(tag, false, 0, inParagraph));
  EXPECT_EQ(out,
            "<body>\r\n<section>\r\n<p> </p>\r\n<p>\x95 </p>\r\n<p></p>\r\n<p> </p>\r\n"
            "<p> </p>\r\n</section>\r\n</body>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedFragment(out));
}

}  // namespace
}  // namespace engine
