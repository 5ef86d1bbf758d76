#include "source/StyleRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace source {
namespace {

// A rule as "element.class b i | declarations" (b and i only when set).
std::string Describe(const THTMLStyle& rule) {
  std::string s = rule.Element + "." + rule.StyleClass;
  if (!rule.BoldOn.empty()) s += " " + rule.BoldOn + rule.BoldOff;
  if (!rule.ItalicOn.empty()) s += " " + rule.ItalicOn + rule.ItalicOff;
  return s + " | " + rule.Declarations;
}

std::vector<std::string> Describe(const StyleRules& rules) {
  std::vector<std::string> out;
  for (const THTMLStyle& rule : rules) out.push_back(Describe(rule));
  return out;
}

TEST(StripCssComment, RemovesMarkersAndOneComment) {
  struct Case {
    const char* piece;
    const char* expected;
  } cases[] = {
      {"<!-- p.a", " p.a"},
      {"p.a -->", "p.a "},
      {"<!--a<!---->-->", "a<!---->"},
      {"a /* c */ b", "a   b"},
      {"a /* c */ b /* d */", "a   b /* d */"},
      {"a /* open", "a "},
      {"*/ a /* b", "*/ a  /* b"},  // a "*/" before the "/*" removes nothing
      {"a/*/b", "a b"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(StripCssComment(c.piece), c.expected) << c.piece;
}

TEST(AddStyleRules, KeepsBoldAndItalicRulesOnly) {
  struct Case {
    const char* selectors;
    const char* declarations;
    std::vector<std::string> expected;
  } cases[] = {
      {"p.Heavy",
       " font-weight:bold ; font-style: italic ",
       {"p.heavy <b></b> <i></i> | font-weight:bold;font-style: italic;"}},
      {"p.a", "color:red", {}},
      {"p.a", "FONT-WEIGHT:BOLD", {"p.a <b></b> | FONT-WEIGHT:BOLD"}},
      // Text after the last ";" is tested together with everything before it.
      {"p.a", "font-weight:normal; color:bold", {"p.a <b></b> | font-weight:normal;color:bold;"}},
      {"p.a", "font-weight:normal; color:bold;", {}},
      {"p.a", "", {}},
      {"", "font-weight:bold", {}},
      {" H1.X , p.b, .c,span ",
       "font-style:italic;",
       {"h1.x <i></i> | font-style:italic;", "p.b <i></i> | font-style:italic;",
        ".c <i></i> | font-style:italic;", "span. <i></i> | font-style:italic;"}},
      {"td.a.b, ", "font-weight:bold;", {"td.a.b <b></b> | font-weight:bold;"}},
  };
  for (const Case& c : cases) {
    StyleRules rules;
    AddStyleRules(rules, c.selectors, c.declarations);
    EXPECT_EQ(Describe(rules), c.expected) << c.selectors << " {" << c.declarations << "}";
  }
}

TEST(ParseStyleSheet, ReadsRulesAcrossLinesAndSheets) {
  StyleRules rules;
  ParseStyleSheet(rules,
                  "\r\n<!--\r\n/* Styles */\r\np.MsoNormal, li.MsoNormal\r\n\t{margin:0cm;\r\n"
                  "\tfont-weight:bold;}\r\nspan.a{font-style:italic}span.b{font-style:italic}\r\n"
                  "p.open {font-weight:bold\r\n-->\r\n");
  ParseStyleSheet(rules, "p.late {font-style:italic}");
  EXPECT_EQ(Describe(rules), (std::vector<std::string>{
                                 "p.msonormal <b></b> | margin:0cm;font-weight:bold;",
                                 "li.msonormal <b></b> | margin:0cm;font-weight:bold;",
                                 "span.a <i></i> | font-style:italic",
                                 "span.b <i></i> | font-style:italic",
                                 "p.late <i></i> | font-style:italic",
                             }));
}

TEST(FindStyle, MatchesElementAndClassFirstRuleWins) {
  StyleRules rules;
  AddStyleRules(rules, "p.x", "font-weight:bold");
  AddStyleRules(rules, "p.x, p", "font-style:italic");
  ASSERT_NE(FindStyle(rules, "p", "X"), nullptr);
  EXPECT_EQ(FindStyle(rules, "p", "X")->BoldOn, "<b>");
  EXPECT_EQ(FindStyle(rules, "p", "")->ItalicOn, "<i>");
  EXPECT_EQ(FindStyle(rules, "span", "x"), nullptr);
  EXPECT_EQ(FindStyle(rules, "p", "y"), nullptr);
}

}  // namespace
}  // namespace source
