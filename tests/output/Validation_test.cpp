#include "output/Validation.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>

#include "platform/CodePage.h"
#include "support/Fb2Document.h"
#include "support/Xml.h"

namespace output {
namespace {

namespace fs = std::filesystem;
using testsupport::MakeFb2;
using testsupport::SimpleBody;

const Fb2Validator& Validator() {
  static const Fb2Validator validator(fs::path(VELLUMOR_BIN_DIR) / "fb2-schema");
  return validator;
}

struct CheckCase {
  const char* name;
  std::string document;
  ValidationStatus status;
  int line = 0;  // of the first problem (0: no problem expected)
  int column = 0;
  const char* message = "";  // part of the first problem's message
};

class ValidationCases : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ValidationCases, ReportsStatusAndFirstProblem) {
  const CheckCase& c = GetParam();
  const ValidationReport report = Validator().Check(c.document);
  EXPECT_EQ(report.Status, c.status);
  if (c.line == 0) {
    EXPECT_TRUE(report.Problems.empty()) << report.Problems.front().Message;
    return;
  }
  ASSERT_FALSE(report.Problems.empty());
  EXPECT_EQ(report.Problems[0].Line, c.line);
  EXPECT_EQ(report.Problems[0].Column, c.column);
  EXPECT_NE(report.Problems[0].Message.find(c.message), std::string::npos)
      << report.Problems[0].Message;
}

// The head of MakeFb2 takes six lines: the body starts on line 7.
INSTANTIATE_TEST_SUITE_P(
    Documents, ValidationCases,
    ::testing::Values(
        CheckCase{"Valid1251", MakeFb2(SimpleBody("\xCF\xF0\xE8\xE2\xE5\xF2")),
                  ValidationStatus::Valid},
        CheckCase{"ValidUtf8", MakeFb2(SimpleBody("\xD0\x9F\xD1\x80\xD0\xB8"), {}, "utf-8"),
                  ValidationStatus::Valid},
        CheckCase{"ValidWithPicture",
                  MakeFb2("<body>\r\n<section>\r\n<p>a<image xlink:href=\"#pic.jpg\"/></p>\r\n"
                          "</section>\r\n</body>\r\n",
                          "<binary content-type=\"image/jpeg\" id=\"pic.jpg\">AAAA\r\n</binary>"),
                  ValidationStatus::Valid},
        // 8-bit bytes under a UTF-8 declaration: the declared encoding is what counts.
        CheckCase{"WrongEncoding", MakeFb2(SimpleBody("\xCF\xF0\xE8"), {}, "utf-8"),
                  ValidationStatus::NotWellFormed, 9, 4, "UTF-8"},
        CheckCase{"UnclosedParagraph", MakeFb2("<body><section><p>x</section></body>"),
                  ValidationStatus::NotWellFormed, 7, 30, "mismatch: p line 7 and section"},
        CheckCase{"UndeclaredPrefix",
                  MakeFb2("<body><section><p><a zz:href=\"#x\">x</a></p></section></body>"),
                  ValidationStatus::NotWellFormed, 7, 34, "zz"},
        CheckCase{"ParagraphInParagraph",
                  MakeFb2("<body><section><p>a</p><p>b</p><p>c<p>d</p></p></section></body>"),
                  ValidationStatus::SchemaErrors, 7, 36, "Element 'p': This element is not"},
        CheckCase{"TitleOnlySection",
                  MakeFb2("<body>\r\n<section><title><p>T</p></title></section>\r\n</body>"),
                  ValidationStatus::SchemaErrors, 8, 1, "Element 'section': Missing child"},
        CheckCase{
            "PictureIdNotAName",
            MakeFb2(SimpleBody(), "<binary content-type=\"image/jpeg\" id=\"1.jpg\">AA==</binary>"),
            ValidationStatus::SchemaErrors, 12, 1, "'1.jpg' is not a valid value"},
        CheckCase{"NoDescription",
                  "<?xml version=\"1.0\"?><FictionBook "
                  "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><body/></FictionBook>",
                  ValidationStatus::SchemaErrors, 1, 86, "Element 'body'"},
        CheckCase{"Empty", "", ValidationStatus::NotWellFormed, 1, 1, ""},
        // Bytes the declared code page leaves undefined, reported where they stand (the body's
        // "<p>" of SimpleBody starts at column 1 of line 9).
        CheckCase{"Undefined1251", MakeFb2(SimpleBody("ab\x98")), ValidationStatus::NotWellFormed,
                  9, 6, "byte 0x98 is not a character in windows-1251"},
        CheckCase{"Undefined1252", MakeFb2(SimpleBody("\x81"), {}, "windows-1252"),
                  ValidationStatus::NotWellFormed, 9, 4,
                  "byte 0x81 is not a character in windows-1252"},
        // 0x98 is a tilde in windows-1252, 0x81 a letter in windows-1251.
        CheckCase{"Defined1252", MakeFb2(SimpleBody("\x98"), {}, "windows-1252"),
                  ValidationStatus::Valid},
        CheckCase{"Defined1251", MakeFb2(SimpleBody("\x81"), {}, "windows-1251"),
                  ValidationStatus::Valid}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Validation, ColumnsCountCharactersOnTheLineOfTheElement) {
  // Two-byte letters before the misplaced element: the column counts characters, not bytes.
  const std::string body =
      "<body><section><p>\xD0\x96\xD0\x96</p><p>x<subtitle>y</subtitle></p></section></body>";
  const ValidationReport report = Validator().Check(MakeFb2(body, {}, "utf-8"));
  ASSERT_EQ(report.Status, ValidationStatus::SchemaErrors);
  ASSERT_EQ(report.Problems.size(), 1u);
  EXPECT_EQ(report.Problems[0].Line, 7);
  EXPECT_EQ(report.Problems[0].Column, 29);
}

TEST(Validation, CountsEverySchemaProblem) {
  const ValidationReport report = Validator().Check(
      MakeFb2("<body><section><p><p>a</p></p><p><subtitle>b</subtitle></p></section></body>"));
  EXPECT_EQ(report.Status, ValidationStatus::SchemaErrors);
  ASSERT_EQ(report.Problems.size(), 2u);
  EXPECT_EQ(report.Problems[0].Column, 19);
  EXPECT_EQ(report.Problems[1].Column, 34);
  EXPECT_EQ(report.Summary(), "well-formed, 2 schema errors");
  EXPECT_EQ(Validator().Check(MakeFb2(SimpleBody())).Summary(), "valid");
  EXPECT_EQ(Validator().Check("<a>").Summary(), "not well-formed");
}

TEST(Validation, EveryUndefinedByteIsAProblemOfItsOwn) {
  std::string body = SimpleBody("\x81\x8D\x8F\x90\x9D");
  const ValidationReport report = Validator().Check(MakeFb2(body, {}, "WINDOWS-1252"));
  EXPECT_EQ(report.Status, ValidationStatus::NotWellFormed);
  ASSERT_EQ(report.Problems.size(), 5u);
  for (size_t i = 0; i < report.Problems.size(); ++i) {
    EXPECT_EQ(report.Problems[i].Line, 9);
    EXPECT_EQ(report.Problems[i].Column, static_cast<int>(4 + i));
  }
  EXPECT_NE(report.Problems[4].Message.find("0x9D"), std::string::npos);
  // A long run is listed up to a limit and then counted.
  const ValidationReport many = Validator().Check(MakeFb2(SimpleBody(std::string(1000, '\x98'))));
  ASSERT_EQ(many.Problems.size(), 21u);
  EXPECT_EQ(many.Problems.back().Message, "980 more bytes that are not characters in windows-1251");
}

TEST(Validation, ResultTextIsCheckedAsItWouldBeSaved) {
  // The editor holds 8-bit text; a UTF-8 declaration means it is saved converted.
  const platform::CodePage cp1251(1251);
  const std::string text = MakeFb2(SimpleBody("\xCF\xF0\xE8"), {}, "UTF-8");
  EXPECT_EQ(Validator().Check(text).Status, ValidationStatus::NotWellFormed);
  EXPECT_TRUE(Validator().CheckResultText(text, cp1251).Valid());
  const std::string ansi = MakeFb2(SimpleBody("\xCF\xF0\xE8"));
  EXPECT_TRUE(Validator().CheckResultText(ansi, cp1251).Valid());
}

TEST(Validation, MissingSchemaIsAnError) {
  EXPECT_THROW(Fb2Validator(fs::path(testing::TempDir()) / "no-such-schema"), ValidationError);
}

// A schema whose import points at a listening local port: loading must fail without anyone
// connecting, because nothing is fetched from the network.
TEST(Validation, NeverFetchesFromTheNetwork) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string url =
      "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/FictionBookLinks.xsd";

  const fs::path folder = fs::path(testing::TempDir()) / "net-schema";
  fs::remove_all(folder);
  fs::copy(fs::path(VELLUMOR_BIN_DIR) / "fb2-schema", folder);
  std::string xsd = testsupport::ReadFile((folder / "FictionBook.xsd").string());
  const std::string local = "schemaLocation=\"FictionBookLinks.xsd\"";
  xsd.replace(xsd.find(local), local.size(), "schemaLocation=\"" + url + "\"");
  testsupport::WriteFile((folder / "FictionBook.xsd").string(), xsd);

  EXPECT_THROW(Fb2Validator{folder}, ValidationError);
  EXPECT_LT(accept(listener, nullptr, nullptr), 0) << "the validator connected to " << url;
  close(listener);
  fs::remove_all(folder);
}

void WriteZip(const fs::path& path,
              const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

TEST(ReadFb2File, PlainFileAndFirstFb2EntryOfAnArchive) {
  const fs::path dir = fs::path(testing::TempDir()) / "read-fb2-file";
  fs::create_directories(dir);
  const std::string book = MakeFb2(SimpleBody("zipped"));
  testsupport::WriteFile((dir / "plain.fb2").string(), book);
  EXPECT_EQ(ReadFb2File(dir / "plain.fb2"), book);

  WriteZip(dir / "book.fb2.zip",
           {{"readme.txt", "not a book"}, {"Book.FB2", book}, {"second.fb2", "other"}});
  EXPECT_EQ(ReadFb2File(dir / "book.fb2.zip"), book);
  EXPECT_TRUE(Validator().Check(ReadFb2File(dir / "book.fb2.zip")).Valid());

  WriteZip(dir / "empty.fb2.zip", {{"readme.txt", "no book here"}});
  EXPECT_THROW(ReadFb2File(dir / "empty.fb2.zip"), ValidationError);
  testsupport::WriteFile((dir / "broken.fb2.zip").string(), "PK not really");
  EXPECT_THROW(ReadFb2File(dir / "broken.fb2.zip"), ValidationError);
  EXPECT_THROW(ReadFb2File(dir / "missing.fb2"), ValidationError);
}

}  // namespace
}  // namespace output
