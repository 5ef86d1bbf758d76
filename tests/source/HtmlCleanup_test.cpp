#include "source/HtmlCleanup.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "engine/Pipeline.h"
#include "platform/CodePage.h"
#include "support/CleanupCases.h"
#include "support/Xml.h"

namespace source {
namespace {

using testsupport::CleanupCase;

class CleanupCaseTest : public ::testing::TestWithParam<CleanupCase> {};

TEST_P(CleanupCaseTest, GivesExpectedBytes) {
  const CleanupCase& c = GetParam();
  std::vector<std::string> errors;
  const std::string cleaned = CleanHtml(
      c.Input,
      [&errors](std::string_view message, std::string_view) { errors.emplace_back(message); });
  EXPECT_EQ(cleaned, c.Expected);
  EXPECT_EQ(errors, c.Errors);
}

INSTANTIATE_TEST_SUITE_P(Files, CleanupCaseTest,
                         ::testing::ValuesIn(testsupport::LoadCleanupCases()),
                         [](const ::testing::TestParamInfo<CleanupCase>& caseInfo) {
                           std::string name = caseInfo.param.Name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(CleanHtml, EmptyTextGivesEmptyText) {
  EXPECT_EQ(CleanHtml(""), "");
}

TEST(CleanHtml, RunsAreIndependent) {
  const std::string styled =
      "<body><style>p.x{font-weight:bold}</style><div><p class=x>a</p></body>";
  const std::string plain = "<body><p class=x>a</p></body>";
  CleanHtml(styled);
  EXPECT_EQ(CleanHtml(plain), "\r\n<body>\r\n<p>a</p>\r\n</body>  ");
}

class FixedHead : public engine::ConversionServices {
 public:
  engine::DocumentHead WriteDescription() override {
    return {
        "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook "
        "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\r\n",
        {}};
  }
  void OnError(std::string_view message, std::string_view) override {
    errors.emplace_back(message);
  }
  std::vector<std::string> errors;
};

// Quotes inside attribute values (the XML declaration's "utf-8\"?", an alt text in quotes) must
// not unbalance the cleaned text: the conversion reads it to the end.
TEST(CleanHtml, XhtmlPageStaysReadableToTheEnd) {
  const std::string page =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
      "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ru\">\n"
      "<head><title>Book</title>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /></head>\n"
      "<body>\n<h1>Chapter</h1>\n"
      "<p>First <img src=\"pic.png\" alt='say \"hi\"' /> paragraph.</p>\n"
      "<p>Last paragraph.</p>\n</body>\n</html>\n";
  std::vector<std::string> cleanupErrors;
  const std::string cleaned = CleanHtml(page, [&](std::string_view message, std::string_view) {
    cleanupErrors.emplace_back(message);
  });
  EXPECT_TRUE(cleanupErrors.empty());

  engine::THTMLParser parser;
  FixedHead services;
  const platform::CodePage codePage(1251);
  const engine::ConversionResult result =
      engine::ConvertDocument(parser, cleaned, {}, services, codePage);
  ASSERT_TRUE(result.Ok) << result.Reason;
  EXPECT_TRUE(services.errors.empty());
  EXPECT_NE(result.Document.find("Last paragraph."), std::string::npos) << result.Document;
  EXPECT_TRUE(testsupport::IsWellFormedXml(result.Document));
  EXPECT_NE(testsupport::XmlTextContent(result.Document).find("Last paragraph."),
            std::string::npos);
}

}  // namespace
}  // namespace source
