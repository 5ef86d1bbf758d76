#include "engine/StructureRepair.h"
#include "engine/PictureIds.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "../../fuzz/RepairTargets.h"
#include "engine/Pipeline.h"
#include "output/Validation.h"
#include "platform/CodePage.h"
#include "support/Fb2Document.h"
#include "support/Xml.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

const char kHead[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
    "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
    "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\r\n<description>\r\n</description>\r\n";
const char kTail[] = "\r\n</FictionBook>";

class HeadOnly : public ConversionServices {
 public:
  DocumentHead WriteDescription() override { return {kHead, {}}; }
};

const output::Fb2Validator& Validator() {
  static const output::Fb2Validator validator(fs::path(VELLUMOR_BIN_DIR) / "fb2-schema");
  return validator;
}

// The body the walk makes of an HTML text (level 0, tables as they are).
std::string WalkBody(const std::string& html, bool repair) {
  THTMLParser parser;
  HeadOnly services;
  ConversionOptions options;
  options.RepairStructure = repair;
  const platform::CodePage codePage(1252);
  const ConversionResult result = ConvertDocument(parser, html, options, services, codePage);
  EXPECT_TRUE(result.Ok) << result.Reason;
  const std::string& doc = result.Document;
  const size_t head = std::string_view(kHead).size(), tail = std::string_view(kTail).size();
  if (doc.size() < head + tail) return {};
  return doc.substr(head, doc.size() - head - tail);
}

// The text of the repaired body inside a whole document, without whitespace; "" when the
// document is not well-formed.
std::string RepairedText(const std::string& document, int& bodies) {
  std::unique_ptr<xmlDoc, fuzztargets::DocFreeRepair> doc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "repaired.fb2", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  bodies = 0;
  return doc ? fuzztargets::BodiesText(doc.get(), bodies) : std::string();
}

struct RepairCase {
  std::string Name;
  fs::path Input;  // NAME.html (through the walk) or NAME.in (a body as the walk gives it)
};

std::vector<RepairCase> LoadCases() {
  std::vector<RepairCase> cases;
  for (const auto& entry : fs::directory_iterator(fs::path(VELLUMOR_TEST_DATA_DIR) / "repair")) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".html" || ext == ".in")
      cases.push_back({entry.path().stem().string(), entry.path()});
  }
  std::sort(cases.begin(), cases.end(),
            [](const RepairCase& a, const RepairCase& b) { return a.Name < b.Name; });
  return cases;
}

class RepairFixture : public ::testing::TestWithParam<RepairCase> {};

// Every fixture: the expected body, a whole document that is well-formed and schema-valid, the
// same text as before the repair (whitespace aside), and nothing left for a second repair.
TEST_P(RepairFixture, GivesValidBodyWithTheSameText) {
  const RepairCase& c = GetParam();
  const std::string input = testsupport::ReadFile(c.Input.string());
  const bool html = c.Input.extension() == ".html";
  const std::string before = html ? WalkBody(input, false) : input;
  const std::string repaired = html ? WalkBody(input, true) : RepairBodyStructure(input);

  fs::path expectedPath = c.Input;
  expectedPath.replace_extension(".out");
  if (std::getenv("VELLUMOR_UPDATE_FIXTURES"))
    testsupport::WriteFile(expectedPath.string(), repaired);
  EXPECT_EQ(repaired, testsupport::ReadFile(expectedPath.string()));

  const std::string document = std::string(kHead) + repaired + kTail;
  EXPECT_TRUE(testsupport::IsWellFormedXml(document));
  const output::ValidationReport report =
      Validator().Check(testsupport::MakeFb2(repaired, {}, "ISO-8859-1"));
  for (const auto& p : report.Problems)
    ADD_FAILURE() << p.Line << ":" << p.Column << ": " << p.Message;

  int bodies = 0;
  EXPECT_EQ(RepairedText(document, bodies), fuzztargets::SoupText(before));
  EXPECT_EQ(bodies, 1);
  EXPECT_EQ(RepairBodyStructure(repaired), repaired) << "a second repair changed the body";
}

INSTANTIATE_TEST_SUITE_P(Files, RepairFixture, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<RepairCase>& p) {
                           return p.param.Name;
                         });

TEST(RepairFixtures, WithoutRepairTheSloppyPagesAreNotXml) {
  // The fixtures are worth their keep: the walk alone gives no well-formed body for these.
  for (const char* name : {"unclosed_p", "unclosed_li", "bold_across_paragraphs",
                           "heading_never_closed", "stray_closing_table"}) {
    const std::string html = testsupport::ReadFile(
        (fs::path(VELLUMOR_TEST_DATA_DIR) / "repair" / (std::string(name) + ".html")).string());
    const std::string document = std::string(kHead) + WalkBody(html, false) + kTail;
    EXPECT_FALSE(Validator().Check(document).Valid()) << name;
  }
}

struct IdCase {
  const char* name;
  std::string document;
  std::string expected;
};

std::string Picture(std::string_view id) {
  return "<image xlink:href=\"#" + std::string(id) + "\"/>";
}
std::string Binary(std::string_view id) {
  return "<binary content-type=\"image/jpeg\" id=\"" + std::string(id) + "\">AAAA\r\n</binary>\r\n";
}

class PictureIds : public ::testing::TestWithParam<IdCase> {};

TEST_P(PictureIds, AreValidUniqueNamesInReferencesAndBinariesAlike) {
  const IdCase& c = GetParam();
  std::string repaired = c.document;
  RepairPictureIds(repaired);
  EXPECT_EQ(repaired, c.expected);
  EXPECT_TRUE(testsupport::IsWellFormedFragment(repaired));
  std::string again = repaired;
  RepairPictureIds(again);
  EXPECT_EQ(again, repaired);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, PictureIds,
    ::testing::Values(
        IdCase{"ValidIdsStay", Picture("a.jpg") + Binary("a.jpg"),
               Picture("a.jpg") + Binary("a.jpg")},
        IdCase{"Tilde", Picture("pic~temp.jpg") + Picture("pic~temp.jpg") + Binary("pic~temp.jpg"),
               Picture("pic_temp.jpg") + Picture("pic_temp.jpg") + Binary("pic_temp.jpg")},
        IdCase{"LeadingDigitAndBlank",
               Picture("1.jpg") + Picture("my pic.png") + Binary("1.jpg") + Binary("my pic.png"),
               Picture("_1.jpg") + Picture("my_pic.png") + Binary("_1.jpg") + Binary("my_pic.png")},
        // The new name must not take one that is in use already.
        IdCase{"NoClashWithExisting",
               Picture("a~b") + Picture("a_b") + Binary("a~b") + Binary("a_b"),
               Picture("a_b_2") + Picture("a_b") + Binary("a_b_2") + Binary("a_b")},
        // Two pictures of the same file name: the second binary gets a name of its own.
        IdCase{"DuplicateBinaries", Picture("a.jpg") + Binary("a.jpg") + Binary("a.jpg"),
               Picture("a.jpg") + Binary("a.jpg") + Binary("a.jpg_2")},
        IdCase{"Cover",
               "<coverpage>" + Picture("2 cover.jpg") + "</coverpage><p>" + Picture("x") + "</p>" +
                   Binary("2 cover.jpg") + Binary("x"),
               "<coverpage>" + Picture("_2_cover.jpg") + "</coverpage><p>" + Picture("x") + "</p>" +
                   Binary("_2_cover.jpg") + Binary("x")},
        IdCase{"ClashWithTableId", "<table id=\"t\"><tr><td>x</td></tr></table>" + Binary("t"),
               "<table id=\"t\"><tr><td>x</td></tr></table>" + Binary("t_2")},
        IdCase{"ExternalReferenceUntouched", "<image xlink:href=\"http://x/1.jpg\"/>" + Binary("a"),
               "<image xlink:href=\"http://x/1.jpg\"/>" + Binary("a")}),
    [](const auto& p) { return std::string(p.param.name); });

// Through the walk: picture and cover ids are repaired together and the document is valid.
class PictureServices : public ConversionServices {
 public:
  PictureServices(std::string coverId, std::string pictureId)
      : coverId_(std::move(coverId)), pictureId_(std::move(pictureId)) {}
  DocumentHead WriteDescription() override {
    std::string head = testsupport::MakeFb2("", "", "windows-1251");
    head.resize(head.find("\r\n</FictionBook>"));
    head.insert(head.find("<lang>"), "<coverpage>" + Picture(coverId_) + "</coverpage>");
    return {head, Binary(coverId_)};
  }
  std::string EmbedImage(const THTMLTag&, std::string& binaries) override {
    if (binaries.empty()) binaries = Binary(pictureId_);
    return Picture(pictureId_);
  }

 private:
  std::string coverId_, pictureId_;
};

void ExpectValid(const std::string& document) {
  const output::ValidationReport report = Validator().Check(document);
  for (const auto& p : report.Problems)
    ADD_FAILURE() << p.Line << ":" << p.Column << ": " << p.Message;
}

TEST(RepairInTheWalk, PictureIdsOfBodyAndCoverBecomeValid) {
  THTMLParser parser;
  PictureServices services("0 cover.jpg", "1~temp.jpg");
  ConversionOptions options;
  const platform::CodePage codePage(1251);
  const std::string html = "<html><body><p>a<img src=1.jpg></p><img src=1.jpg></body></html>";
  options.RepairStructure = false;
  const ConversionResult plain = ConvertDocument(parser, html, options, services, codePage);
  ASSERT_TRUE(plain.Ok);
  EXPECT_FALSE(Validator().Check(plain.Document).Valid());
  options.RepairStructure = true;
  const ConversionResult repaired = ConvertDocument(parser, html, options, services, codePage);
  ASSERT_TRUE(repaired.Ok);
  ExpectValid(repaired.Document);
  EXPECT_NE(repaired.Document.find(Picture("_0_cover.jpg")), std::string::npos);
  EXPECT_NE(repaired.Document.find(Binary("_0_cover.jpg")), std::string::npos);
  EXPECT_NE(repaired.Document.find("<p>a" + Picture("_1_temp.jpg") + "</p>"), std::string::npos);
  EXPECT_NE(repaired.Document.find(Binary("_1_temp.jpg")), std::string::npos);
}

// Every id is a valid name, but a table in the body has the picture's: the picture gives way.
TEST(RepairInTheWalk, PictureIdTakenByATableInTheBodyChanges) {
  THTMLParser parser;
  PictureServices services("cover.jpg", "a.jpg");
  ConversionOptions options;
  options.RepairStructure = true;
  const platform::CodePage codePage(1251);
  const std::string html =
      "<html><body><table id=\"a.jpg\"><tr><td>x</td></tr></table><p><img src=a.jpg></p>"
      "</body></html>";
  const ConversionResult repaired = ConvertDocument(parser, html, options, services, codePage);
  ASSERT_TRUE(repaired.Ok);
  ExpectValid(repaired.Document);
  EXPECT_NE(repaired.Document.find("<table id=\"a.jpg\">"), std::string::npos);
  EXPECT_NE(repaired.Document.find("<p>" + Picture("a.jpg_2") + "</p>"), std::string::npos);
  EXPECT_NE(repaired.Document.find(Binary("a.jpg_2")), std::string::npos);
}

}  // namespace
}  // namespace engine
