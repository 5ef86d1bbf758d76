#include "source/SourceCharset.h"

#include <gtest/gtest.h>

#include <string>

namespace source {
namespace {

// "Привет" in UTF-8 and in windows-1251.
const std::string kHelloUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
const std::string kHello1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";

struct CharsetCase {
  const char* Name;
  std::string Input;
  std::string Declared;  // what DeclaredCharset gives
  std::string Expected;  // what ReadInCodePage gives on a windows-1251 system
};

std::string Utf16Le(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

const CharsetCase kCases[] = {
    {"no declaration: bytes as they are", "<p>\xE9\x98</p>", "", "<p>\xE9\x98</p>"},
    {"meta charset", "<meta charset=\"utf-8\"><p>" + kHelloUtf8, "utf-8",
     "<meta charset=\"windows-1251\"><p>" + kHello1251},
    {"meta charset unquoted, upper case", "<META CHARSET=UTF-8><p>" + kHelloUtf8, "utf-8",
     "<META CHARSET=windows-1251><p>" + kHello1251},
    {"meta http-equiv",
     "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">" + kHelloUtf8,
     "utf-8",
     "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">" + kHello1251},
    {"xml declaration, single quotes", "<?xml version='1.0' encoding='UTF-8'?>\n<p>" + kHelloUtf8,
     "utf-8", "<?xml version='1.0' encoding='windows-1251'?>\n<p>" + kHello1251},
    {"every declaration renamed",
     "<?xml version=\"1.0\" encoding=\"utf-8\"?><meta charset=\"utf-8\"/>" + kHelloUtf8, "utf-8",
     "<?xml version=\"1.0\" encoding=\"windows-1251\"?><meta charset=\"windows-1251\"/>" +
         kHello1251},
    {"utf-8 byte-order mark dropped", "\xEF\xBB\xBF<p>" + kHelloUtf8, "UTF-8", "<p>" + kHello1251},
    {"byte-order mark wins over a declaration",
     "\xEF\xBB\xBF<meta charset=\"windows-1251\">" + kHelloUtf8, "UTF-8",
     "<meta charset=\"windows-1251\">" + kHello1251},
    {"utf-16 little endian", Utf16Le("<meta charset=\"utf-16\"><p>A</p>"), "UTF-16LE",
     "<meta charset=\"windows-1251\"><p>A</p>"},
    {"utf-16 big endian", std::string("\xFE\xFF\0<\0p\0>\x04\x1F", 10), "UTF-16BE", "<p>\xCF"},
    {"utf-16 named in a byte text is read as utf-8", "<meta charset=\"utf-16\">" + kHelloUtf8,
     "utf-8", "<meta charset=\"windows-1251\">" + kHello1251},
    {"another 8-bit set", "<meta charset=\"koi8-r\">\xF0\xD2\xC9\xD7\xC5\xD4", "koi8-r",
     "<meta charset=\"windows-1251\">" + kHello1251},
    {"the system code page: bytes as they are, name kept",
     "<meta charset=\"Windows-1251\">\xCF\x98", "windows-1251",
     "<meta charset=\"Windows-1251\">\xCF\x98"},
    {"cp1251 names the system code page too", "<meta charset=\"cp1251\">\x98", "cp1251",
     "<meta charset=\"cp1251\">\x98"},
    {"latin1 is read as windows-1252", "<meta charset=\"ISO-8859-1\">\x80\xE9", "windows-1252",
     "<meta charset=\"windows-1251\">\x88&#233;"},
    {"characters outside the code page", "<meta charset=\"utf-8\">\xE4\xB8\xAD", "utf-8",
     "<meta charset=\"windows-1251\">&#20013;"},
    {"unknown set: bytes as they are", "<meta charset=\"x-no-such-set\">\xD0\x9F", "x-no-such-set",
     "<meta charset=\"x-no-such-set\">\xD0\x9F"},
    {"a name iconv would read options from", "<meta charset=\"utf-8//IGNORE\">\xD0\x9F\xFF",
     "utf-8//ignore", "<meta charset=\"utf-8//IGNORE\">\xD0\x9F\xFF"},
    {"not valid in the declared set: bytes as they are", "<meta charset=\"utf-8\">\xCF\xF0",
     "utf-8", "<meta charset=\"utf-8\">\xCF\xF0"},
    {"xml declaration before meta",
     "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
     "<meta charset=\"utf-8\">\xCF",
     "windows-1251",
     "<?xml version=\"1.0\" encoding=\"windows-1251\"?><meta charset=\"utf-8\">\xCF"},
    {"meta charset before http-equiv",
     "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1251\">"
     "<meta charset=\"utf-8\">" +
         kHelloUtf8,
     "utf-8",
     "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1251\">"
     "<meta charset=\"windows-1251\">" +
         kHello1251},
    {"a commented-out declaration", "<!-- <meta charset=\"utf-8\"> -->" + kHelloUtf8, "",
     "<!-- <meta charset=\"utf-8\"> -->" + kHelloUtf8},
    {"http-equiv of another kind", "<meta http-equiv=\"refresh\" content=\"0; charset=utf-8\">", "",
     "<meta http-equiv=\"refresh\" content=\"0; charset=utf-8\">"},
    {"empty charset names nothing", "<meta charset=\"\">\xCF", "", "<meta charset=\"\">\xCF"},
    {"a declaration after the first 4 KB",
     std::string(4096, ' ') + "<meta charset=\"utf-8\">\xD0\x9F", "",
     std::string(4096, ' ') + "<meta charset=\"utf-8\">\xD0\x9F"},
    {"a cut-off meta tag", "<meta charset=\"utf-8", "", "<meta charset=\"utf-8"},
};

TEST(SourceCharsetTest, DeclaredSetIsReadIntoTheCodePage) {
  const platform::CodePage cp1251(1251);
  for (const CharsetCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(DeclaredCharset(c.Input), c.Declared);
    EXPECT_EQ(ReadInCodePage(c.Input, cp1251), c.Expected);
  }
}

TEST(SourceCharsetTest, NulBytesOfUtf16SurviveUntilDecoded) {
  // The NUL bytes of UTF-16 must not end the text before it is decoded.
  const platform::CodePage cp1251(1251);
  EXPECT_EQ(ReadInCodePage(Utf16Le("<html><body>long text</body></html>"), cp1251),
            "<html><body>long text</body></html>");
}

TEST(SourceCharsetTest, RenamesInPlaceOnOtherCodePages) {
  const platform::CodePage cp1252(1252);
  EXPECT_EQ(ReadInCodePage("<meta charset=\"utf-8\">\xC3\xA9" + kHelloUtf8, cp1252),
            "<meta charset=\"windows-1252\">\xE9&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;");
  // latin1 names the code page of a windows-1252 system: taken as it is.
  EXPECT_EQ(ReadInCodePage("<meta charset=\"latin1\">\x81\xE9", cp1252),
            "<meta charset=\"latin1\">\x81\xE9");
}

TEST(SourceCharsetTest, MetaInsideTheXmlDeclarationIsNoDeclaration) {
  // The declaration's value runs on over a meta tag: one declaration, the XML one, whose name is
  // the whole value; the renaming must never see two names that overlap.
  const std::string text = "<?xml version=\"1.0\" encoding=\"utf-<meta charset=koi8-r>8\"?>";
  const std::vector<CharsetDeclaration> found = FindCharsetDeclarations(text);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Kind, DeclarationKind::XmlDeclaration);
  EXPECT_EQ(text.substr(found[0].NameStart, found[0].NameLength), "utf-<meta charset=koi8-r>8");
  // A meta after the declaration still counts.
  EXPECT_EQ(FindCharsetDeclarations(text + "<meta charset=\"koi8-r\">").size(), 2u);
}

}  // namespace
}  // namespace source
