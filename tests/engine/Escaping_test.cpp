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
}  // namespace engine
