#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(CodePage, Windows1251RoundTripsCyrillic) {
  const CodePage cp(1251);
  EXPECT_EQ(cp.ToUtf8("\xcf\xf0\xe8\xe2\xe5\xf2"), "Привет");
  EXPECT_EQ(cp.FromUtf8("Привет"), "\xcf\xf0\xe8\xe2\xe5\xf2");
  EXPECT_EQ(cp.ByteOf(U'\u00AB'), '\xab');  // «
  EXPECT_EQ(cp.ByteOf(U'\u2014'), '\x97');  // —
  EXPECT_EQ(cp.ByteOf(U'\u00E9'), std::nullopt);
}

TEST(CodePage, UnmappableCharactersAndInvalidUtf8) {
  const CodePage cp(1251);
  EXPECT_EQ(cp.FromUtf8("a\xc3\xa9z"), "a&#233;z");
  EXPECT_EQ(cp.FromUtf8("\xc3\xa9", Unmappable::QuestionMark), "?");
  EXPECT_EQ(cp.FromUtf8("bad \xff byte"), std::nullopt);
  EXPECT_EQ(cp.FromUtf8("cut \xd0"), std::nullopt);
  EXPECT_EQ(cp.FromUtf8("\xed\xa0\x80"), std::nullopt);  // a surrogate
}

TEST(CodePage, MultiByteCodePageUsesIconv) {
  const CodePage cp(932);
  EXPECT_FALSE(cp.IsSingleByte());
  const auto sjis = cp.FromUtf8("日本");
  ASSERT_TRUE(sjis.has_value());
  EXPECT_EQ(cp.ToUtf8(*sjis), "日本");
}

TEST(CodePage, UnknownNumberFallsBackTo1252) { EXPECT_EQ(CodePage(437).Number(), 1252); }

struct LocaleCase {
  const char* locale;
  int codePage;
};

class LocaleTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleTest, PicksTheAnsiCodePageOfTheLanguage) {
  EXPECT_EQ(CodePageForLocale(GetParam().locale), GetParam().codePage);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleTest,
    ::testing::Values(LocaleCase{"ru_RU.UTF-8", 1251}, LocaleCase{"uk_UA", 1251},
                      LocaleCase{"pl_PL.UTF-8", 1250}, LocaleCase{"el_GR", 1253},
                      LocaleCase{"tr_TR", 1254}, LocaleCase{"he_IL", 1255},
                      LocaleCase{"fa_IR", 1256}, LocaleCase{"lv_LV", 1257},
                      LocaleCase{"vi_VN", 1258}, LocaleCase{"th_TH", 874},
                      LocaleCase{"ja_JP.eucJP", 932}, LocaleCase{"ko_KR", 949},
                      LocaleCase{"zh_CN.UTF-8", 936}, LocaleCase{"zh_SG", 936},
                      LocaleCase{"zh_TW", 950}, LocaleCase{"zh_HK", 950},
                      LocaleCase{"de_DE@euro", 1252}, LocaleCase{"C", 1252},
                      LocaleCase{"POSIX", 1252}, LocaleCase{"", 1252}),
    [](const auto& c) { return "cp" + std::to_string(c.index) + "_" + std::to_string(c.param.codePage); });

}  // namespace
}  // namespace platform
