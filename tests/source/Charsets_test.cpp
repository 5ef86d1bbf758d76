#include "source/Charsets.h"

#include <gtest/gtest.h>

#include "app/ConversionSettings.h"

namespace source {
namespace {

constexpr std::string_view kCp1251 = "windows-1251";

// Every row of the character-set table: name, number, encoding name on a windows-1251 system.
struct CharsetCase {
  const char* Name;
  int Number;
  const char* Encoding;
};

constexpr CharsetCase kTable[] = {
    {"ANSI_CHARSET", 0, "windows-1251"},         {"DEFAULT_CHARSET", 1, "windows-1251"},
    {"SYMBOL_CHARSET", 2, "windows-1251"},       {"MAC_CHARSET", 77, "mac-cyrillic-2000"},
    {"SHIFTJIS_CHARSET", 128, "windows-932"},    {"HANGEUL_CHARSET", 129, "windows-949"},
    {"JOHAB_CHARSET", 130, "windows-949"},       {"GB2312_CHARSET", 134, "gb2312"},
    {"CHINESEBIG5_CHARSET", 136, "windows-950"}, {"GREEK_CHARSET", 161, "windows-1253"},
    {"TURKISH_CHARSET", 162, "windows-1254"},    {"VIETNAMESE_CHARSET", 163, "windows-1258"},
    {"HEBREW_CHARSET", 177, "windows-1255"},     {"ARABIC_CHARSET", 178, "windows-1256"},
    {"BALTIC_CHARSET", 186, "windows-1257"},     {"RUSSIAN_CHARSET", 204, "windows-1251"},
    {"THAI_CHARSET", 222, "windows-874"},        {"EASTEUROPE_CHARSET", 238, "windows-1252"},
    {"OEM_CHARSET", 255, "windows-1251"},
};

TEST(Charsets, TableNamesNumbersAndEncodings) {
  for (const CharsetCase& c : kTable) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(CharsetNumber(c.Name), c.Number);
    EXPECT_EQ(EncodingName(c.Number, kCp1251), c.Encoding);
  }
}

TEST(Charsets, EveryListEntryHasATableRow) {
  for (const char* name : app::kCharsetNames) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(CharsetNumber(name) != 1 || std::string_view(name) == "DEFAULT_CHARSET");
  }
}

TEST(Charsets, UnknownNamesAndNumbersFallBack) {
  // Names match exactly: another letter case is another name.
  EXPECT_EQ(CharsetNumber("russian_charset"), 1);
  EXPECT_EQ(CharsetNumber(""), 1);
  EXPECT_EQ(CharsetNumber("RUSSIAN_CHARSET "), 1);
  EXPECT_EQ(EncodingName(5, "windows-1253"), "windows-1253");
  EXPECT_EQ(EncodingName(-1, "windows-1251"), "windows-1251");
}

struct ReverseCase {
  const char* Encoding;
  const char* System;
  int Charset;
};

TEST(Charsets, CharsetFromEncodingChecksTheSystemNameFirst) {
  const ReverseCase cases[] = {
      // The system code page's own name always reads back as DEFAULT_CHARSET, not 204.
      {"windows-1251", "windows-1251", 1},
      {"windows-1251", "windows-1252", 204},
      // EASTEUROPE declares windows-1252 and reads back from it (unless that is the system's).
      {"windows-1252", "windows-1251", 238},
      {"windows-1252", "windows-1252", 1},
      // JOHAB shares windows-949 with HANGEUL, which comes first.
      {"windows-949", "windows-1251", 129},
      {"windows-1258", "windows-1251", 163},
      {"mac-cyrillic-2000", "windows-1251", 77},
      {"gb2312", "windows-1251", 134},
      {"windows-874", "windows-1251", 222},
      // Exact comparison: other case, unknown and empty names give 1.
      {"Windows-1251", "windows-1252", 1},
      {"koi8-r", "windows-1251", 1},
      {"windows-1250", "windows-1251", 1},
      {"", "windows-1251", 1},
      {"utf-8", "windows-1251", 1},
  };
  for (const ReverseCase& c : cases) {
    SCOPED_TRACE(std::string(c.Encoding) + " on " + c.System);
    EXPECT_EQ(CharsetFromEncoding(c.Encoding, c.System), c.Charset);
  }
}

TEST(Charsets, EveryDeclaredEncodingReadsBackToACharsetDeclaringTheSame) {
  // Writing a declaration and reading it back must never change what the file says.
  for (const char* system : {"windows-1251", "windows-1252", "windows-1250"}) {
    for (const CharsetCase& c : kTable) {
      SCOPED_TRACE(std::string(c.Name) + " on " + system);
      const std::string declared = EncodingName(c.Number, system);
      EXPECT_EQ(EncodingName(CharsetFromEncoding(declared, system), system), declared);
    }
  }
}

TEST(Charsets, CodePageNames) {
  const std::pair<int, const char*> cases[] = {
      {874, "windows-874"},
      {932, "windows-932"},
      {936, "gb2312"},
      {949, "windows-949"},
      {950, "windows-950"},
      {1250, "windows-1250"},
      {1251, "windows-1251"},
      {1252, "windows-1252"},
      {1258, "windows-1258"},
      {77, "mac-cyrillic-2000"},
      {1249, ""},
      {1259, ""},
      {437, ""},
      {65001, ""},
      {0, ""},
  };
  for (const auto& [codePage, name] : cases) {
    SCOPED_TRACE(codePage);
    EXPECT_EQ(CodePageName(codePage), name);
  }
}

TEST(Charsets, SystemCodePageIsNeverUnnamed) {
  EXPECT_EQ(SystemCodePageNameFor(1251), "windows-1251");
  EXPECT_EQ(SystemCodePageNameFor(1250), "windows-1250");
  EXPECT_EQ(SystemCodePageNameFor(437), "windows-1252");
  EXPECT_EQ(SystemCodePageNameFor(0), "windows-1252");
  // A 1250 system declares its default character set as windows-1250, never encoding="".
  EXPECT_EQ(EncodingAttribute(1, false, SystemCodePageNameFor(1250)), "encoding=\"windows-1250\"");
}

TEST(Charsets, AttributeAndDeclaration) {
  EXPECT_EQ(EncodingAttribute(204, true, kCp1251), "encoding=\"utf-8\"");
  EXPECT_EQ(EncodingAttribute(238, false, kCp1251), "encoding=\"windows-1252\"");
  EXPECT_EQ(EncodingAttribute(1, false, kCp1251), "encoding=\"windows-1251\"");
  EXPECT_EQ(XmlDeclaration(1, false, kCp1251),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n");
  EXPECT_EQ(XmlDeclaration(161, true, kCp1251), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");
}

struct DeclaredCase {
  const char* Label;
  std::string Text;
  std::string Name;
};

TEST(Charsets, DeclaredEncodingName) {
  const std::string longPrefix(190, 'x');
  const DeclaredCase cases[] = {
      {"plain", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook>\r\n",
       "windows-1251"},
      {"lower-cased", "<?xml version=\"1.0\" ENCODING=\"UTF-8\"?>\r\n", "utf-8"},
      {"only line, no line break", "<?xml encoding=\"utf-8\"?>", "utf-8"},
      {"last line without line break", "<a/>\n<?xml encoding=\"koi8-r\"?>", "koi8-r"},
      {"LF and CR lines", "a\rb\n<?xml encoding=\"gb2312\"?>\r\n", "gb2312"},
      {"no declaration", "<FictionBook>\r\n</FictionBook>\r\n", ""},
      {"empty text", "", ""},
      {"single quotes are not the marker", "<?xml version='1.0' encoding='utf-8'?>", ""},
      {"spaced marker is not the marker", "<?xml encoding = \"utf-8\"?>", ""},
      {"two lines join", "<?xml encoding=\"utf-8\"?>\r\n<p>encoding=\"x\"</p>\r\n", "utf-8x"},
      {"first marker of a line", "encoding=\"a\" encoding=\"b\"", "a"},
      {"missing closing quote runs to the line end", "<?xml encoding=\"utf-8?>\r\nnext\r\n",
       "utf-8?>"},
      {"empty value", "<?xml encoding=\"\"?>", ""},
      {"a NUL byte ends the text", std::string("x\0<?xml encoding=\"utf-8\"?>", 27), ""},
      // Characters up to the line's 201st are taken: 190 + 10 marker characters leave one.
      {"cut at the 201st character", longPrefix + "encoding=\"utf-8\"", "u"},
      {"marker ending at the 200th character", std::string(190, 'y') + "encoding=\"", ""},
      {"marker beyond the limit", std::string(300, 'z') + "encoding=\"utf-8\"", ""},
  };
  for (const DeclaredCase& c : cases) {
    SCOPED_TRACE(c.Label);
    EXPECT_EQ(DeclaredEncodingName(c.Text), c.Name);
  }
}

}  // namespace
}  // namespace source
