#include "engine/HTMLPars.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace engine {
namespace {

// Renders an item as "tag NAME", "text TEXT", "comment TEXT" or "script TEXT"; a tag's
// attributes follow as " [name=value]".
std::string Describe(ItemRef item) {
  switch (item.Kind()) {
    case ItemKind::Tag: {
      std::string s = "tag " + item.AsTag().Name().Text();
      const THTMLTag tag = item.AsTag();
      for (size_t i = 0; i < tag.ParamCount(); ++i) {
        s += " [" + tag.Param(i).Name.Text() + "=" + tag.Param(i).Value.Text() + "]";
      }
      return s;
    }
    case ItemKind::Text:
      return "text " + item.Text();
    case ItemKind::Comment:
      return "comment " + item.Text();
    case ItemKind::ServerScript:
      return "script " + item.Text();
  }
  return {};
}

class TokenizerTest : public ::testing::Test {
 protected:
  void Tokenize(std::string_view html) {
    parser_.OnError = [this](std::string_view message, std::string_view offending) {
      errors_.emplace_back(std::string(message), std::string(offending));
    };
    parser_.Source().assign(html);
    parser_.Parse();
  }
  void ExpectItems(const std::vector<std::string>& expected) {
    std::vector<std::string> actual;
    for (ItemRef item : parser_) actual.push_back(Describe(item));
    EXPECT_EQ(actual, expected);
  }

  THTMLParser parser_;
  std::vector<std::pair<std::string, std::string>> errors_;
};

TEST_F(TokenizerTest, DocumentWithoutHtmlMarkersIsOneTextItem) {
  Tokenize("just <p>text</p> here");
  ExpectItems({"text just <p>text</p> here"});
}

TEST_F(TokenizerTest, EightItemExampleInSourceOrder) {
  Tokenize("<html><body>a<b>c</b></body></html>");
  ExpectItems(
      {"tag html", "tag body", "text a", "tag b", "text c", "tag /b", "tag /body", "tag /html"});
  EXPECT_TRUE(errors_.empty());
}

TEST_F(TokenizerTest, LeadingAndTrailingTextBecomeItems) {
  Tokenize("lead<body>tail");
  ExpectItems({"text lead", "tag body", "text tail"});
}

TEST_F(TokenizerTest, EmptyTagYieldsNothing) {
  Tokenize("<body><>x");
  ExpectItems({"tag body", "text x"});
  EXPECT_TRUE(errors_.empty());
}

TEST_F(TokenizerTest, QuotedValuesKeepBlanksAndGreaterThan) {
  Tokenize("<body><img src=\"a b.jpg\" alt='x>y'>");
  ExpectItems({"tag body", "tag img [src=a b.jpg] [alt=x>y]"});
}

TEST_F(TokenizerTest, UnbalancedQuoteRunsToTheNextSameQuote) {
  Tokenize("<body><p title=\"a>b</p>x\">y");
  ExpectItems({"tag body", "tag p [title=a>b</p>x]", "text y"});
}

TEST_F(TokenizerTest, UnclosedQuoteReportsAndLosesTheRest) {
  Tokenize("<body>ok<p title=\"never>rest");
  ExpectItems({"tag body", "text ok"});
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0].first, "> not found");
  EXPECT_EQ(errors_[0].second, "<p title=\"never>rest");
}

TEST_F(TokenizerTest, ReportsQuoteAFewHundredBytesOfTheRest) {
  // "Ж" is two bytes in UTF-8: the cut goes back to the start of the letter at the limit.
  std::string utf8Rest = "<p title=\"" + std::string(kQuotedBytes - 11, 'a');
  for (int i = 0; i < 1000; ++i) utf8Rest += "\xD0\x96";
  std::string bytesRest = "<p title=\"" + std::string(10000, '\xE9');
  for (const std::string& rest : {utf8Rest, bytesRest}) {
    errors_.clear();
    Tokenize("<body>ok" + rest);
    ASSERT_EQ(errors_.size(), 1u);
    const std::string& quoted = errors_[0].second;
    ASSERT_LE(quoted.size(), kQuotedBytes + 3);
    EXPECT_EQ(quoted.substr(quoted.size() - 3), "...");
    EXPECT_EQ(rest.substr(0, quoted.size() - 3), quoted.substr(0, quoted.size() - 3));
  }
  EXPECT_EQ(errors_[0].second.size(), kQuotedBytes + 3);  // code-page text: cut at the limit
  errors_.clear();
  Tokenize("<body>ok" + utf8Rest);
  EXPECT_EQ(errors_[0].second.size(), kQuotedBytes - 1 + 3);  // before the letter's second byte
}

TEST_F(TokenizerTest, ValuelessAttributes) {
  Tokenize("<body><td nowrap><td nowrap width=5>");
  ExpectItems({"tag body", "tag td [nowrap=]", "tag td [nowrap width=5]"});
}

TEST_F(TokenizerTest, EqualsWithoutNameReportsKeyNotDefined) {
  Tokenize("<body><p =x>");
  ExpectItems({"tag body", "tag p"});
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0].first, "key not defined in tag");
  EXPECT_EQ(errors_[0].second, "<p =x>");
}

TEST_F(TokenizerTest, CommentsAndServerScripts) {
  Tokenize("<body><!-- a > b --><!----><%= x %>");
  ExpectItems({"tag body", "comment  a > b ", "comment ", "script = x "});
}

TEST_F(TokenizerTest, ScriptAndStyleBodiesAreRawText) {
  Tokenize("<body><script>if (a<b) x='</p>';</SCRIPT><style>p{}</style>t");
  ExpectItems({"tag body", "tag script", "text if (a<b) x='</p>';", "tag /SCRIPT", "tag style",
               "text p{}", "tag /style", "text t"});
}

TEST_F(TokenizerTest, UnterminatedScriptReports) {
  Tokenize("<body><script>var x;");
  ExpectItems({"tag body", "tag script"});
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0].first, "</script> not match");
  EXPECT_EQ(errors_[0].second, "var x;");
}

TEST_F(TokenizerTest, StrayLessThanSwallowsUpToTheNextGreaterThan) {
  Tokenize("<body>a < b and c > d");
  ExpectItems({"tag body", "text a ", "tag  [b and c=]", "text  d"});
}

TEST_F(TokenizerTest, DeclarationsBecomeTags) {
  Tokenize("<?xml version=\"1.0\"?><!DOCTYPE html><html>");
  ExpectItems({"tag ?xml [version=1.0\"?]", "tag !DOCTYPE [html=]", "tag html"});
}

// The closing "/" of an XHTML tag is no part of a quoted value before it; elsewhere a quote
// that does not end the value stays in it.
TEST_F(TokenizerTest, XhtmlClosingSlashAfterAQuotedValue) {
  Tokenize("<html><img src=\"a b.png\"/><col width='133'/><a title=\"/\"/><i x=\"a\"b/>");
  ExpectItems({"tag html", "tag img [src=a b.png]", "tag col [width=133]", "tag a [title=/]",
               "tag i [x=a\"b/]"});
}

TEST_F(TokenizerTest, ItemsViewTheSourceWithoutCopying) {
  Tokenize("<body><p class=x>text");
  const std::string& source = parser_.Source();
  const THTMLTag tag = parser_[1].AsTag();
  EXPECT_EQ(tag.Name().Start(), source.data() + 7);
  EXPECT_EQ(tag.Param(0).Value.Start(), source.data() + 15);
  EXPECT_EQ(parser_[2].View().Start(), source.data() + 17);
}

TEST_F(TokenizerTest, ReuseGivesTheSameItems) {
  Tokenize("<html><body><p a=1>x");
  Tokenize("<body>other");
  Tokenize("<html><body><p a=1>x");
  ExpectItems({"tag html", "tag body", "tag p [a=1]", "text x"});
}

TEST_F(TokenizerTest, EmptySourceAndTruncatedInputs) {
  Tokenize("");
  EXPECT_EQ(parser_.Count(), 0u);
  for (std::string_view cut : {"<body><", "<body><!-", "<body><%", "<body><!--x", "<body><a b='"}) {
    errors_.clear();
    Tokenize(cut);
    EXPECT_EQ(parser_.Count(), 1u) << cut;
    EXPECT_EQ(errors_.size(), 1u) << cut;
  }
}

}  // namespace
}  // namespace engine
