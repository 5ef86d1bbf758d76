#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/CharsetDecoder.h"

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

// The bytes each single-byte code page leaves undefined: a reader of a document declared in it
// rejects them, so the saves and validate must know exactly these.
TEST(CodePage, UndefinedBytesOfEverySingleByteCodePage) {
  struct Case {
    int Number;
    std::vector<int> Undefined;
  } cases[] = {
      {874, {0x81, 0x82, 0x83, 0x84, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C,
             0x8D, 0x8E, 0x8F, 0x90, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E,
             0x9F, 0xDB, 0xDC, 0xDD, 0xDE, 0xFC, 0xFD, 0xFE, 0xFF}},
      {1250, {0x81, 0x83, 0x88, 0x90, 0x98}},
      {1251, {0x98}},
      {1252, {0x81, 0x8D, 0x8F, 0x90, 0x9D}},
      {1253,
       {0x81, 0x88, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x98, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xAA,
        0xD2, 0xFF}},
      {1254, {0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E}},
      {1255, {0x81, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F,
              0xCA, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF}},
      {1256, {}},
      {1257, {0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5}},
      {1258, {0x81, 0x8A, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9D, 0x9E}},
  };
  for (const Case& c : cases) {
    const CodePage cp(c.Number);
    std::vector<int> undefined;
    for (int b = 0; b < 256; ++b) {
      if (cp.Defines(static_cast<unsigned char>(b))) continue;
      undefined.push_back(b);
      // An undefined byte means nothing: U+FFFD in UTF-8.
      EXPECT_EQ(cp.CharOf(static_cast<unsigned char>(b)), 0xFFFDu);
      EXPECT_EQ(cp.ToUtf8(std::string(1, static_cast<char>(b))), "\xEF\xBF\xBD");
    }
    EXPECT_EQ(undefined, c.Undefined) << c.Number;
  }
  // A multi-byte code page's bytes are judged by sequences, not one by one.
  EXPECT_TRUE(CodePage(932).Defines(0x81));
}

// The table conversions agree with the per-character ones at every position: ASCII runs of every
// length around the eight-byte steps, upper-half bytes and unmappable characters between them.
TEST(CodePage, WholeTextConversionsMatchCharacterByCharacter) {
  for (int number : {1251, 1252, 1253}) {
    const CodePage cp(number);
    for (size_t run = 0; run < 20; ++run) {
      std::string bytes;
      std::string utf8;
      std::string expected8;
      for (int b = 0; b < 256; b += 7) {
        bytes.append(std::string(run, 'x')).push_back(static_cast<char>(b));
        const char32_t c = cp.CharOf(static_cast<unsigned char>(b));
        std::string one;
        AppendUtf8(one, c);
        utf8.append(std::string(run, 'x')).append(one);
        expected8.append(std::string(run, 'x'));
        if (c == 0xFFFD) {
          expected8.append("&#65533;");
        } else {
          expected8.push_back(*cp.ByteOf(c));
        }
      }
      EXPECT_EQ(cp.ToUtf8(bytes), utf8) << number << " " << run;
      EXPECT_EQ(cp.FromUtf8(utf8), expected8) << number << " " << run;
    }
    // Characters outside every single-byte page, after a long ASCII run and at the very end.
    EXPECT_EQ(cp.FromUtf8(std::string(17, 'a') + "\xE2\x89\x88"), std::string(17, 'a') + "&#8776;");
    EXPECT_EQ(cp.FromUtf8(std::string(9, 'a') + "\xF0\x9F\x98\x80", Unmappable::QuestionMark),
              std::string(9, 'a') + "?");
    EXPECT_EQ(cp.FromUtf8(std::string(16, 'a') + "\xC3"), std::nullopt);
  }
}

// UTF-8 sources are checked, not converted: the same answers as iconv gives.
TEST(CharsetDecoder, Utf8IsTakenAsItStandsWhenValid) {
  struct Case {
    std::string Text;
    bool Valid;
  } cases[] = {
      {"plain ASCII text longer than eight bytes", true},
      {"\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x80\x94 \xF0\x9F\x98\x80", true},
      {"\xEF\xBB\xBFwith a byte-order mark", true},
      {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true},  // U+FFFF, U+10FFFF
      {"\xF4\x90\x80\x80", true},              // past U+10FFFF: iconv takes it too
      {"\xC0\xAF", false},                     // overlong "/"
      {"\xE0\x80\xAF", false},
      {"\xF0\x80\x80\xAF", false},
      {"\xED\xA0\x80", false},  // a surrogate
      {"\xF8\x88\x80\x80\x80", false},
      {"abcdefgh\x80", false},
      {"abcdefghijklmno\xD0", false},  // cut off at the end
      {"\xE2\x80", false},
      {"\xE2\x28\xA1", false},
  };
  for (const Case& c : cases) {
    for (const char* name : {"UTF-8", "utf-8", "utf8"}) {
      const std::optional<std::string> decoded = DecodeToUtf8(c.Text, name);
      EXPECT_EQ(decoded.has_value(), c.Valid) << c.Text;
      if (decoded) {
        EXPECT_EQ(*decoded, c.Text);
      }
    }
  }
}

TEST(CodePage, MultiByteCodePageUsesIconv) {
  const CodePage cp(932);
  EXPECT_FALSE(cp.IsSingleByte());
  const auto sjis = cp.FromUtf8("日本");
  ASSERT_TRUE(sjis.has_value());
  EXPECT_EQ(cp.ToUtf8(*sjis), "日本");
}

TEST(CodePage, UnknownNumberFallsBackTo1252) {
  EXPECT_EQ(CodePage(437).Number(), 1252);
}

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
    ::testing::Values(
        LocaleCase{"ru_RU.UTF-8", 1251}, LocaleCase{"uk_UA", 1251}, LocaleCase{"pl_PL.UTF-8", 1250},
        LocaleCase{"el_GR", 1253}, LocaleCase{"tr_TR", 1254}, LocaleCase{"he_IL", 1255},
        LocaleCase{"fa_IR", 1256}, LocaleCase{"lv_LV", 1257}, LocaleCase{"vi_VN", 1258},
        LocaleCase{"th_TH", 874}, LocaleCase{"ja_JP.eucJP", 932}, LocaleCase{"ko_KR", 949},
        LocaleCase{"zh_CN.UTF-8", 936}, LocaleCase{"zh_SG", 936}, LocaleCase{"zh_TW", 950},
        LocaleCase{"zh_HK", 950}, LocaleCase{"de_DE@euro", 1252}, LocaleCase{"C", 1252},
        LocaleCase{"POSIX", 1252}, LocaleCase{"", 1252}),
    [](const auto& c) {
      return "cp" + std::to_string(c.index) + "_" + std::to_string(c.param.codePage);
    });

}  // namespace
}  // namespace platform
