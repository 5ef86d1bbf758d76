#include "engine/TextSearch.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

struct SearchCase {
  const char* name;
  Pos (*search)(std::string_view, Pos);
  std::string_view text;
  Pos from;
  Pos expected;
};

Pos FindGt(std::string_view t, Pos from) { return FindCharOutsideQuotes(t, '>', from); }
Pos FindLtNoCase(std::string_view t, Pos from) { return FindTextNoCase(t, "</ScRiPt", from); }
Pos FindEmpty(std::string_view t, Pos from) { return FindTextNoCase(t, "", from); }
Pos FindA(std::string_view t, Pos from) { return FindChar(t, 'a', from); }

const SearchCase kCases[] = {
    {"notext", FindLtNoCase, "x</SCRIPT>", 0, 1},
    {"notext_from_past", FindLtNoCase, "x</SCRIPT>", 2, -1},
    {"notext_empty_pattern", FindEmpty, "abc", 0, -1},
    {"notext_from_at_end", FindLtNoCase, "abc", 3, -1},
    {"char", FindA, "bba", 0, 2},
    {"char_past_end", FindA, "bba", 3, -1},
    {"gt_plain", FindGt, "a>b", 0, 1},
    {"gt_skips_double_quotes", FindGt, "\"a>\">", 0, 4},
    {"gt_skips_single_quotes", FindGt, "'>'>", 0, 3},
    {"gt_escaped_quote_does_not_close", FindGt, "\"a\\\">\">", 0, 6},
    {"gt_unclosed_quote_fails", FindGt, "\"a>", 0, -1},
    {"gt_other_quote_inside", FindGt, "\"'\">", 0, 3},
    {"blank_outside_quotes", FindBlankOutsideQuotes, "a=\"b c\" d", 0, 7},
    {"blank_none", FindBlankOutsideQuotes, "abc", 0, -1},
    {"skip_blanks", SkipBlanks, " \t\r\nx", 0, 4},
    {"skip_blanks_only_blanks", SkipBlanks, "   ", 0, -1},
    {"skip_blanks_negative", SkipBlanks, "x", -1, -1},
    {"skip_back", SkipBlanksBack, "x  ", 2, 0},
    {"skip_back_only_blanks", SkipBlanksBack, "  x", 1, -1},
    {"skip_back_past_end", SkipBlanksBack, "x", 1, -1},
};

class SearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, FindsExpectedPosition) {
  const SearchCase& c = GetParam();
  EXPECT_EQ(c.search(c.text, c.from), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Primitives, SearchTest, ::testing::ValuesIn(kCases),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(LooksLikeHtml, AnyOfThreeMarkersInAnyCase) {
  EXPECT_TRUE(LooksLikeHtml("x <HTML>"));
  EXPECT_TRUE(LooksLikeHtml("<Script>"));
  EXPECT_TRUE(LooksLikeHtml("a<bOdY"));
  EXPECT_FALSE(LooksLikeHtml("<p>plain</p><htm>"));
}

}  // namespace
}  // namespace engine
