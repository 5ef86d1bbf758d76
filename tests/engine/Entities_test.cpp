#include "engine/Entities.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"
#include "support/Xml.h"

namespace engine {
namespace {

struct Case {
  const char* in;
  const char* out;
};

class EntitiesTest : public ::testing::Test {
 protected:
  platform::CodePage cp1251_{1251};
  platform::CodePage cp1252_{1252};
};

TEST_F(EntitiesTest, BodyTextIsDecodedAndWrittenAsXml) {
  const Case cases[] = {
      {"plain text", "plain text"},
      // The special rows.
      {"a&nbsp;b", "a b"},
      {"a&#8209;b", "a-b"},
      {"co&shy;op", "coop"},
      {"&lt;&gt;&quot;&amp;", "&lt;&gt;\"&amp;"},
      // Named references of HTML, case-sensitive, the ";" required.
      {"&laquo;&raquo;&mdash;&ndash;&hellip;&copy;", "\xab\xbb\x97\x96\x85\xa9"},
      {"&COPY;&LT;&AMP;", "\xa9&lt;&amp;"},
      {"&Copy;", "&amp;Copy;"},
      {"&MDASH;", "&amp;MDASH;"},
      {"&laquo", "&amp;laquo"},
      {"&zork;", "&amp;zork;"},
      {"&euro;&trade;&bull;", "\x88\x99\x95"},
      // Characters the code page lacks become character references.
      {"&alpha;&hearts;", "&#945;&#9829;"},
      {"&NotEqualTilde;", "&#8770;&#824;"},
      {"&fjlig;", "fj"},
      // Numeric references.
      {"&#1040;&#x411;&#X412;", "\xc0\xc1\xc2"},
      {"&#60;&#x26;&#62;", "&lt;&amp;&gt;"},
      {"&#0171;&#x000bb;", "\xab\xbb"},
      {"&#150;&#x97;", "\x96\x97"},
      {"&#8209;&#x2011;", "-&#8209;"},
      {"&#128512;", "&#128512;"},
      {"&#9;&#10;", "\t\n"},
      // References to characters XML does not allow count as unknown names.
      {"&#0;&#1;&#x1F;&#11;", "&amp;#0;&amp;#1;&amp;#x1F;&amp;#11;"},
      {"&#xD800;&#xFFFE;&#xFFFF;&#x110000;", "&amp;#xD800;&amp;#xFFFE;&amp;#xFFFF;&amp;#x110000;"},
      {"&#99999999999999999999;", "&amp;#99999999999999999999;"},
      {"&#;&#x;&#12a;&#xG;&#-5;", "&amp;#;&amp;#x;&amp;#12a;&amp;#xG;&amp;#-5;"},
      // Abandoned and unclosed entities keep their text.
      {"AT&T", "AT&amp;T"},
      {"a & b", "a &amp; b"},
      {"&amp <b>", "&amp;amp &lt;b&gt;"},
      {"&a,b&c.d&e<f", "&amp;a,b&amp;c.d&amp;e&lt;f"},
      {"x&", "x&amp;"},
      {"&", "&amp;"},
      {"&;", "&amp;;"},
      {";", ";"},
      // A second "&" while a name is open: the first one stays as text.
      {"R&D&amp;", "R&amp;D&amp;"},
      {"&&lt;", "&amp;&lt;"},
      // Bytes XML does not allow are dropped; tab, LF and CR stay.
      {"a\x01\x08\x0b\x0c\x0e\x1f"
       "b\t\r\n",
       "ab\t\r\n"},
      {"&x\x01;", "&amp;x;"},
      // A raw non-breaking space byte is not touched.
      {"a\xa0"
       "b",
       "a\xa0"
       "b"},
  };
  for (const Case& c : cases) {
    const std::string out = DecodeEntities(c.in, cp1251_);
    EXPECT_EQ(out, c.out) << c.in;
    EXPECT_TRUE(testsupport::IsWellFormedFragment("<p>" + out + "</p>")) << c.in;
  }
}

TEST_F(EntitiesTest, DecodedCharactersFollowTheCodePage) {
  const Case cases[] = {
      {"&laquo;&mdash;&euro;", "\xab\x97\x80"},
      {"&#1040;", "&#1040;"},
      {"&eacute;&#233;", "\xe9\xe9"},
      {"&#x80;", "\x80"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeEntities(c.in, cp1252_), c.out) << c.in;
}

TEST_F(EntitiesTest, AppendKeepsWhatIsThere) {
  std::string out = "x<";
  AppendDecodedEntities(out, "&lt;", cp1251_);
  EXPECT_EQ(out, "x<&lt;");
}

TEST_F(EntitiesTest, TableTextIsRawAndDropsUnknownNames) {
  const Case cases[] = {
      {"x &amp; &copy;", "x & \xa9"},         {"&lt;b&gt;&quot;&nbsp;&#8209;", "<b>\" -"},
      {"co&shy;op &zork; &;", "coop  "},      {"&#1040;&alpha;&#1;", "\xc0&#945;"},
      {"AT&T, a & b, x&", "AT&T, a & b, x&"}, {"line\r\nbreak\x01", "line\r\nbreak\x01"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeTableEntities(c.in, cp1251_), c.out) << c.in;
}

TEST(CollapseBlanksTest, RunsOfBlanksKeepTheirFirstByte) {
  const Case cases[] = {
      {"", ""},
      {"a  b", "a b"},
      {"a\t  \t b", "a\tb"},
      {"a\xa0\xa0 b",
       "a\xa0"
       "b"},
      {"  lead and trail  ", " lead and trail "},
      {"a \r\n b", "a \r\n b"},
      {"<p> </p>\r\n<p>  x</p>", "<p> </p>\r\n<p> x</p>"},
      {"no blanks", "no blanks"},
      {"   ", " "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CollapseBlanks(c.in), c.out) << c.in;
    std::string text = c.in;
    CollapseBlanksInPlace(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

}  // namespace
}  // namespace engine
