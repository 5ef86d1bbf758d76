#include "engine/Escaping.h"

#include <gtest/gtest.h>

#include "engine/HTMLPars.h"

namespace engine {
namespace {

struct QuoteCase {
  const char* name;
  const char* value;
  const char* expected;
};

const QuoteCase kQuoteCases[] = {
    {"href", "a b", "\"a b\""},
    {"STYLE", "color:red", "'color:red'"},
    {"href", "", "\"\""},
    {"encoding", "utf-8\"?", "'utf-8\"?'"},
    {"alt", "say \"hi\"", "'say \"hi\"'"},
    {"style", "font-family:'Times'", "\"font-family:'Times'\""},
    {"title", "it's \"x\"", "\"it's &quot;x&quot;\""},
    {"style", "a\"b'c", "'a\"b&#39;c'"},
    {"href", "C:\\dir\\", "C:\\dir\\"},
    {"alt", "a b\\", "\"a b&#92;\""},
    {"alt", "x\"y'z\\", "\"x&quot;y'z&#92;\""},
    {"href", "a\\b", "\"a\\b\""},
};

TEST(QuoteAttributeValue, NeverEndsTheValueEarly) {
  for (const QuoteCase& c : kQuoteCases) {
    EXPECT_EQ(QuoteAttributeValue(c.name, c.value), c.expected) << c.name << "=" << c.value;
  }
}

// What is written is read back by the tokenizer as one attribute ending where it should.
TEST(QuoteAttributeValue, TokenizesBackAsOneAttribute) {
  for (const QuoteCase& c : kQuoteCases) {
    THTMLParser parser;
    parser.Source() = std::string("<body><p ") + c.name + "=" +
                      QuoteAttributeValue(c.name, c.value) + " next=1>text</p>";
    parser.Parse();
    ASSERT_EQ(parser.Count(), 4u) << c.value;
    const THTMLTag tag = parser[1].AsTag();
    ASSERT_EQ(tag.ParamCount(), 2u) << c.value;
    EXPECT_EQ(tag.Param(1).Name.Text(), "next") << c.value;
    EXPECT_EQ(parser[2].Text(), "text") << c.value;
  }
}

TEST(UnescapeAmp, AnyLetterCaseOnePass) {
  EXPECT_EQ(UnescapeAmp("&AMP;lt; &amp;amp; &Amp &amp"), "&lt; &amp; &Amp &amp");
}

}  // namespace
// Every byte that needs escaping, at every position of texts long enough for the eight-byte
// steps (and across their borders), in text and in attribute form.
TEST(XmlEscaping, EveryMarkupByteAtEveryPosition) {
  struct Case {
    char Byte;
    const char* Text;       // what the byte becomes in text
    const char* Attribute;  // and in an attribute value
  } cases[] = {
      {'&', "&amp;", "&amp;"},  {'<', "&lt;", "&lt;"},    {'>', "&gt;", "&gt;"},
      {'"', "\"", "&quot;"},    {'\x01', "", ""},         {'\x1F', "", ""},
      {'\t', "\t", "\t"},       {'\n', "\n", "\n"},       {'\r', "\r", "\r"},
      {'\xE9', "\xE9", "\xE9"}, {'\x7F', "\x7F", "\x7F"}, {' ', " ", " "},
  };
  for (const Case& c : cases) {
    for (size_t length : {1u, 7u, 8u, 9u, 16u, 23u}) {
      for (size_t at = 0; at < length; ++at) {
        std::string text(length, 'a');
        text[at] = c.Byte;
        const std::string before(at, 'a'), after(length - at - 1, 'a');
        std::string out = "kept";
        AppendXmlText(out, text);
        EXPECT_EQ(out, "kept" + before + c.Text + after) << int(c.Byte) << " " << at;
        out.clear();
        AppendXmlAttribute(out, text);
        EXPECT_EQ(out, before + c.Attribute + after) << int(c.Byte) << " " << at;
      }
    }
  }
  std::string many;
  AppendXmlText(many, "<<&&>>\"\x02x<b>&amp;</b>\x03");
  EXPECT_EQ(many, "&lt;&lt;&amp;&amp;&gt;&gt;\"x&lt;b&gt;&amp;amp;&lt;/b&gt;");
}

}  // namespace engine
