#include "fb2meta/DescriptionWriter.h"

#include <gtest/gtest.h>

#include "support/Xml.h"

namespace fb2meta {
namespace {

// The record as a conversion of Tale.htm prepares it, with a fixed date and id.
BookInfo TaleBook() {
  BookInfo info;
  ResetBookInfo(info, "ru");
  info.BookTitle = "Tale";
  info.DocumentDate = info.DocumentDateText = "08.12.2026";
  info.DocumentId = "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";
  info.DocumentVersion = "1";
  return info;
}

DescriptionInput Cyrillic8Bit() {
  DescriptionInput input;
  input.EncodingName = "windows-1251";
  input.DefaultLanguage = "ru";
  return input;
}

// The head completed into a document, for the well-formedness check.
std::string AsDocument(const std::string& head) {
  return head + "<body/></FictionBook>";
}

// The text between the "<document-info>" or "<title-info>" line and its end line.
std::string Section(const std::string& head, std::string_view start, std::string_view end) {
  size_t from = head.find(start);
  size_t to = head.find(end);
  EXPECT_NE(from, std::string::npos);
  EXPECT_NE(to, std::string::npos);
  from += start.size();
  return head.substr(from, to - from);
}

std::string DocumentAuthorBlock(const std::string& head) {
  std::string info = Section(head, " <document-info>\r\n", "   <program-used>");
  return info;
}

TEST(DescriptionWriter, DefaultsOfAConversionWithoutDialog) {
  const std::string head = WriteDescriptionText(TaleBook(), Cyrillic8Bit());
  EXPECT_EQ(head,
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
            "<FictionBook xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
            "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">\r\n"
            "<description>\r\n"
            " <title-info>\r\n"
            "   <author>\r\n"
            "     <first-name></first-name>\r\n"
            "     <last-name></last-name>\r\n"
            "   </author>\r\n"
            "   <book-title>Tale</book-title>\r\n"
            "   <lang>ru</lang>\r\n"
            " </title-info>\r\n"
            " <document-info>\r\n"
            "   <author>\r\n"
            "     <first-name></first-name>\r\n"
            "     <last-name></last-name>\r\n"
            "   </author>\r\n"
            "   <program-used>Vellumor</program-used>\r\n"
            "   <date value=\"2026-12-08\">08.12.2026</date>\r\n"
            "   <id>0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9</id>\r\n"
            "   <version>1.0</version>\r\n"
            " </document-info>\r\n"
            "</description>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedXml(AsDocument(head)));
}

TEST(DescriptionWriter, DeclarationNamesTheOutputEncoding) {
  DescriptionInput input = Cyrillic8Bit();
  EXPECT_EQ(WriteDescriptionText(TaleBook(), input).substr(0, 46),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r");
  input.UtfOutput = true;
  const std::string head = WriteDescriptionText(TaleBook(), input);
  EXPECT_EQ(head.substr(0, head.find('\n') + 1), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedXml(AsDocument(head)));
}

TEST(DescriptionWriter, GenresAreSplitTrimmedAndEmptyPiecesSkipped) {
  struct Case {
    std::string Genres;
    std::string Lines;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"sf_history", "   <genre>sf_history</genre>\r\n"},
      {"  sf_history ;  adventure  ; ;  ",
       "   <genre>sf_history</genre>\r\n   <genre>adventure</genre>\r\n"},
      {"a; ; b;", "   <genre>a</genre>\r\n   <genre>b</genre>\r\n"},
      {";;;", ""},
  };
  for (const Case& c : cases) {
    BookInfo info = TaleBook();
    info.Genres = c.Genres;
    const std::string head = WriteDescriptionText(info, Cyrillic8Bit());
    EXPECT_EQ(Section(head, " <title-info>\r\n", "   <author>"), c.Lines) << c.Genres;
  }
}

TEST(DescriptionWriter, LaterAuthorsNeedALastName) {
  BookInfo info = TaleBook();
  info.Authors[0] = {"Anna", "Ivanovna", "Petrova"};
  info.Authors[1] = {"Boris", "", ""};    // no last name: no block
  info.Authors[2] = {"", "", "Sidorov"};  // only a last name
  info.Authors[3] = {"Vera", "K", "Orlova"};
  const std::string head = WriteDescriptionText(info, Cyrillic8Bit());
  EXPECT_EQ(Section(head, " <title-info>\r\n", "   <book-title>"),
            "   <author>\r\n"
            "     <first-name>Anna</first-name>\r\n"
            "     <middle-name>Ivanovna</middle-name>\r\n"
            "     <last-name>Petrova</last-name>\r\n"
            "   </author>\r\n"
            "   <author>\r\n"
            "     <first-name></first-name>\r\n"
            "     <last-name>Sidorov</last-name>\r\n"
            "   </author>\r\n"
            "   <author>\r\n"
            "     <first-name>Vera</first-name>\r\n"
            "     <middle-name>K</middle-name>\r\n"
            "     <last-name>Orlova</last-name>\r\n"
            "   </author>\r\n");
  EXPECT_EQ(head.find("Boris"), std::string::npos);
}

TEST(DescriptionWriter, DocumentAuthorForms) {
  struct Case {
    const char* Name;
    DocumentAuthorInfo Author;
    std::string Block;
  } cases[] = {
      {"names and nickname",
       {"Ivan", "", "Petrov", "ivp", "", ""},
       "     <first-name>Ivan</first-name>\r\n     <last-name>Petrov</last-name>\r\n"
       "     <nickname>ivp</nickname>\r\n"},
      {"last name only, with middle name",
       {"", "M", "Petrov", "", "", ""},
       "     <first-name></first-name>\r\n     <middle-name>M</middle-name>\r\n"
       "     <last-name>Petrov</last-name>\r\n"},
      {"nickname only, with pages and mails",
       {"", "", "", "ivp", " http://a.example/ ; ;http://b.example/", "a@example.org;"},
       "     <nickname>ivp</nickname>\r\n"
       "     <home-page>http://a.example/</home-page>\r\n"
       "     <home-page>http://b.example/</home-page>\r\n"
       "     <email>a@example.org</email>\r\n"},
      {"a middle name alone counts for nothing",
       {"", "M", "", "", "", ""},
       "     <first-name></first-name>\r\n     <last-name></last-name>\r\n"},
  };
  for (const Case& c : cases) {
    BookInfo info = TaleBook();
    info.DocumentAuthor = c.Author;
    const std::string head = WriteDescriptionText(info, Cyrillic8Bit());
    EXPECT_EQ(DocumentAuthorBlock(head), "   <author>\r\n" + c.Block + "   </author>\r\n")
        << c.Name;
    EXPECT_TRUE(testsupport::IsWellFormedXml(AsDocument(head))) << c.Name;
  }
}

TEST(DescriptionWriter, SourceUrlsCoverAndLanguage) {
  BookInfo info = TaleBook();
  info.SourceUrls = "http://a.example/x; http://b.example/y";
  DescriptionInput input = Cyrillic8Bit();
  input.CoverImageRef = "<image xlink:href=\"#cover.jpg\"/>";
  const std::string head = WriteDescriptionText(info, input);
  EXPECT_NE(head.find("   <book-title>Tale</book-title>\r\n"
                      "   <coverpage><image xlink:href=\"#cover.jpg\"/></coverpage>\r\n"
                      "   <lang>ru</lang>\r\n"),
            std::string::npos);
  EXPECT_NE(head.find("</date>\r\n   <src-url>http://a.example/x</src-url>\r\n"
                      "   <src-url>http://b.example/y</src-url>\r\n   <id>"),
            std::string::npos);
  EXPECT_TRUE(testsupport::IsWellFormedXml(AsDocument(head)));
}

TEST(DescriptionWriter, EmptyLanguageFallsBackToTheDefaultThenRu) {
  struct Case {
    std::string Language;
    std::string DefaultLanguage;
    std::string Written;
  } cases[] = {
      {"en", "de", "en"}, {"", " de ", "de"}, {"  ", "de", "de"}, {"", "  ", "ru"}, {"", "", "ru"},
  };
  for (const Case& c : cases) {
    BookInfo info = TaleBook();
    info.BookTitle = "Not a language";
    info.Language = c.Language;
    DescriptionInput input = Cyrillic8Bit();
    input.DefaultLanguage = c.DefaultLanguage;
    EXPECT_NE(WriteDescriptionText(info, input).find("   <lang>" + c.Written + "</lang>\r\n"),
              std::string::npos)
        << "[" << c.Language << "] [" << c.DefaultLanguage << "]";
  }
}

TEST(DescriptionWriter, DateValueFallsBackToTheDateText) {
  struct Case {
    std::string Date;
    std::string Text;
    std::string Line;
  } cases[] = {
      {"08.12.2026", "8 December", "<date value=\"2026-12-08\">8 December</date>"},
      {"29.02.2024", "", "<date value=\"2024-02-29\"></date>"},
      {"31.02.2026", "31.02.2026", "<date value=\"31.02.2026\">31.02.2026</date>"},
      {"29.02.2026", "x", "<date value=\"x\">x</date>"},
      {"", "", "<date value=\"\"></date>"},
      {"  .  .    ", "spring \"26\" & <later>",
       "<date value=\"spring &quot;26&quot; &amp; &lt;later&gt;\">spring \"26\" &amp; "
       "&lt;later&gt;</date>"},
  };
  for (const Case& c : cases) {
    BookInfo info = TaleBook();
    info.DocumentDate = c.Date;
    info.DocumentDateText = c.Text;
    const std::string head = WriteDescriptionText(info, Cyrillic8Bit());
    EXPECT_NE(head.find("   " + c.Line + "\r\n"), std::string::npos) << c.Date << "\n" << head;
    EXPECT_TRUE(testsupport::IsWellFormedXml(AsDocument(head))) << c.Date;
  }
}

TEST(DescriptionWriter, VersionIsWrittenWithOneOrTwoDecimals) {
  struct Case {
    const char* Version;
    const char* Written;
  } cases[] = {
      {"1", "1.0"},     {"2", "2.0"},     {"1.5", "1.5"}, {"1.25", "1.25"},  {"1.256", "1.26"},
      {"1.999", "2.0"}, {"0.1", "0.1"},   {"1,5", "1.5"}, {"10.10", "10.1"}, {"", "0.0"},
      {"abc", "0.0"},   {"1.2.3", "0.0"}, {" 3 ", "3.0"}, {"-0.001", "0.0"}, {"+2.5", "2.5"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatVersion(c.Version), c.Written) << c.Version;
}

TEST(DescriptionWriter, FieldValuesAreEscaped) {
  BookInfo info = TaleBook();
  info.BookTitle = "Tom & Jerry <2>";
  info.Authors[0] = {"A&B", "", "<C>"};
  info.Genres = "sf&fantasy";
  info.DocumentAuthor.EMails = "x<y>@example.org";
  info.DocumentId = "id&1";
  info.Language = "r<u";
  const std::string head = WriteDescriptionText(info, Cyrillic8Bit());
  EXPECT_NE(head.find("<book-title>Tom &amp; Jerry &lt;2&gt;</book-title>"), std::string::npos);
  EXPECT_NE(head.find("<first-name>A&amp;B</first-name>"), std::string::npos);
  EXPECT_NE(head.find("<last-name>&lt;C&gt;</last-name>"), std::string::npos);
  EXPECT_NE(head.find("<genre>sf&amp;fantasy</genre>"), std::string::npos);
  EXPECT_NE(head.find("<email>x&lt;y&gt;@example.org</email>"), std::string::npos);
  EXPECT_NE(head.find("<id>id&amp;1</id>"), std::string::npos);
  EXPECT_NE(head.find("<lang>r&lt;u</lang>"), std::string::npos);
  EXPECT_TRUE(testsupport::IsWellFormedXml(AsDocument(head)));
}

TEST(DescriptionWriter, SplitListKeepsOrder) {
  EXPECT_EQ(SplitList(" b ;a;;c "), (std::vector<std::string_view>{"b", "a", "c"}));
  EXPECT_TRUE(SplitList("").empty());
  EXPECT_EQ(SplitList("\t\x01one\x02"), (std::vector<std::string_view>{"one"}));
}

}  // namespace
}  // namespace fb2meta
