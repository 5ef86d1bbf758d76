#include "engine/Links.h"

#include <gtest/gtest.h>

#include <string>

#include "support/Xml.h"

namespace engine {
namespace {

// Tokenizes one tag and builds its link text.
std::string LinkTagOf(
    std::string_view html,
    const FromOutputEncodingFn& fromOutput = [](std::string_view s) { return std::string(s); }) {
  THTMLParser parser;
  parser.Source().assign("<body>");
  parser.Source().append(html);
  parser.Parse();
  EXPECT_EQ(parser.Count(), 2u);
  if (parser.Count() != 2 || !parser[1].IsTag()) return "(no tag)";
  return BuildLinkTag(parser[1].AsTag(), fromOutput);
}

TEST(BuildLinkTagTest, TargetsAreUnescapedFromHtmlThenEscapedForXml) {
  const struct {
    const char* html;
    const char* link;
  } cases[] = {
      {"<a href=\"http://x.org/\">", "<a xlink:href=\"http://x.org/\">"},
      {"<a href=\"a?x=1&amp;y=2\">", "<a xlink:href=\"a?x=1&amp;y=2\">"},
      {"<a href=\"a?x=1&AMP;y=2\">", "<a xlink:href=\"a?x=1&amp;y=2\">"},
      {"<a href=\"a?x=1&y=2\">", "<a xlink:href=\"a?x=1&amp;y=2\">"},
      {"<a href='say \"<hi>\"'>", "<a xlink:href=\"say &quot;&lt;hi&gt;&quot;\">"},
      {"<A HREF=\"#n\" NAME=x>", "<a xlink:href=\"#n\">"},
      {"<a name=\"n\" id=i target=_blank>", "<a>"},
      {"<a href=one href=two>", "<a xlink:href=\"one\" xlink:href=\"two\">"},
      {"<a href>", "<a xlink:href=\"\">"},
      {"</a>", "</a>"},
      {"</A>", "</a>"},
      {"<abbr href=x>", ""},
      {"<p>", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LinkTagOf(c.html), c.link) << c.html;
}

TEST(BuildLinkTagTest, TargetPassesThroughTheOutputEncodingFirst) {
  const auto marker = [](std::string_view s) { return "[" + std::string(s) + "]"; };
  EXPECT_EQ(LinkTagOf("<a href=\"x&amp;y\">", marker), "<a xlink:href=\"[x&amp;y]\">");
}

TEST(FinishLinkTest, KeptOrReducedToItsContent) {
  const struct {
    const char* link;
    bool show;
    const char* result;
  } cases[] = {
      {"", true, ""},
      {"<a xlink:href=\"http://x.org/\">out</a>", true, "<a xlink:href=\"http://x.org/\">out</a>"},
      {"<a xlink:href=\"http://x.org/\">out</a>", false, "out"},
      {"<a xlink:href=\"#n\">in</a>", true, "in"},
      {"<a xlink:href=\"mailto:me@x.org\">mail</a>", true, "mail"},
      {"<a xlink:href=\"x?to=MAILTO:me\">m</a>", true, "<a xlink:href=\"x?to=MAILTO:me\">m</a>"},
      {"<a xlink:href=\"\">empty</a>", true, "<a xlink:href=\"\">empty</a>"},
      {"<a>anchor</a>", true, "anchor"},
      {"<a><image xlink:href=\"#p.jpg\"/></a>", true, "<image xlink:href=\"#p.jpg\"/>"},
      {"<a xlink:href=\"x\"><image xlink:href=\"#p.jpg\"/></a>", false,
       "<image xlink:href=\"#p.jpg\"/>"},
      // Escaped text stays escaped: nothing is unescaped a second time.
      {"<a xlink:href=\"a?b=1&amp;c=2\">x &amp;amp; y</a>", true,
       "<a xlink:href=\"a?b=1&amp;c=2\">x &amp;amp; y</a>"},
      {"<a xlink:href=\"a?b=1&amp;c=2\">x &amp;amp; y</a>", false, "x &amp;amp; y"},
      // A target without its closing quote runs to the end.
      {"<a xlink:href=\"#n", true, ""},
  };
  for (const auto& c : cases) {
    const std::string result = FinishLink(c.link, c.show);
    EXPECT_EQ(result, c.result) << c.link << " show " << c.show;
    EXPECT_TRUE(testsupport::IsWellFormedFragment("<p>" + result + "</p>")) << c.link;
  }
}

TEST(LinkInnerTextTest, BetweenTheFirstCloseAngleAndTheNextEnd) {
  const struct {
    const char* link;
    const char* inner;
  } cases[] = {
      {"<a>text</a>", "text"},
      {"<a>one</a>two</a>", "one"},
      {"<a>no end", ""},
      {"no angle", ""},
      {"", ""},
      {"<a></a>", ""},
      {"<a x=\"1\"><image xlink:href=\"#p\"/>t</a>", "<image xlink:href=\"#p\"/>t"},
  };
  for (const auto& c : cases) EXPECT_EQ(LinkInnerText(c.link), c.inner) << c.link;
}

}  // namespace
}  // namespace engine
