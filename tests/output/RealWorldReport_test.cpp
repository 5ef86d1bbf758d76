// Pages of the kinds people convert (word-processor exports, old hand-written HTML with
// unclosed tags, XHTML books, forum and news pages), cleaned and converted with structure
// repair off and on. Prints how many outputs are well-formed and schema-valid each way; with
// repair every one must be valid and keep the text of the unrepaired body.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "../../fuzz/RepairTargets.h"
#include "engine/Pipeline.h"
#include "engine/TextUtil.h"
#include "output/Validation.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"
#include "support/Fb2Document.h"
#include "support/Xml.h"

namespace {

namespace fs = std::filesystem;

std::string Head() {
  std::string head = testsupport::MakeFb2("");
  head.resize(head.find("\r\n</FictionBook>"));
  return head;
}

// Pictures as embedding names them: the lower-cased file name is the id.
class PageServices : public engine::ConversionServices {
 public:
  engine::DocumentHead WriteDescription() override { return {Head(), {}}; }
  std::string EmbedImage(const engine::THTMLTag& tag, std::string& binaries) override {
    for (size_t i = 0; i < tag.ParamCount(); ++i) {
      if (engine::ToLowerAscii(tag.Param(i).Name.View()) != "src") continue;
      std::string id = engine::ToLowerAscii(tag.Param(i).Value.View());
      id = id.substr(id.find_last_of('/') + 1);
      const std::string binary =
          "<binary content-type=\"image/jpeg\" id=\"" + id + "\">AAAA\r\n</binary>\r\n";
      if (binaries.find(binary) == std::string::npos) binaries += binary;
      return "<image xlink:href=\"#" + id + "\"/>";
    }
    return {};
  }
};

std::string BodyOf(const std::string& document) {
  const size_t head = Head().size();
  size_t end = document.find("<binary", head);
  if (end == std::string::npos)
    end = document.size() - std::string_view("\r\n</FictionBook>").size();
  return document.substr(head, end - head);
}

std::string TextOfBody(const std::string& body) {
  const std::string doc =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<FictionBook "
      "xmlns:xlink=\"http://www.w3.org/1999/xlink\">" +
      body + "</FictionBook>";
  std::unique_ptr<xmlDoc, fuzztargets::DocFreeRepair> parsed(
      xmlReadMemory(doc.data(), static_cast<int>(doc.size()), "body.xml", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  int bodies = 0;
  return parsed ? fuzztargets::BodiesText(parsed.get(), bodies) : "(not well-formed)";
}

TEST(RealWorldPages, RepairMakesEveryOutputValid) {
  const output::Fb2Validator validator(fs::path(VELLUMOR_BIN_DIR) / "fb2-schema");
  const platform::CodePage codePage(1251);
  std::vector<fs::path> pages;
  for (const auto& entry : fs::directory_iterator(fs::path(VELLUMOR_TEST_DATA_DIR) / "realworld")) {
    if (entry.path().extension() == ".html") pages.push_back(entry.path());
  }
  std::sort(pages.begin(), pages.end());
  ASSERT_GE(pages.size(), 8u);

  int wellFormed[2] = {0, 0}, valid[2] = {0, 0};
  std::printf("%-28s %-26s %-26s\n", "page", "repair off", "repair on");
  for (const fs::path& page : pages) {
    SCOPED_TRACE(page.filename().string());
    const std::string html =
        source::CleanHtml(engine::NormalizeLineBreaks(testsupport::ReadFile(page.string())));
    std::string documents[2];
    std::string summaries[2];
    for (int repair = 0; repair < 2; ++repair) {
      engine::THTMLParser parser;
      PageServices services;
      engine::ConversionOptions options;
      options.RepairStructure = repair == 1;
      const engine::ConversionResult result =
          engine::ConvertDocument(parser, html, options, services, codePage);
      ASSERT_TRUE(result.Ok) << result.Reason;
      documents[repair] = result.Document;
      const output::ValidationReport report = validator.Check(result.Document);
      wellFormed[repair] += report.Status != output::ValidationStatus::NotWellFormed;
      valid[repair] += report.Valid();
      summaries[repair] = report.Summary();
      if (repair == 1) {
        for (const auto& p : report.Problems) {
          ADD_FAILURE() << p.Line << ":" << p.Column << ": " << p.Message;
        }
      }
    }
    std::printf("%-28s %-26s %-26s\n", page.filename().c_str(), summaries[0].c_str(),
                summaries[1].c_str());
    EXPECT_EQ(TextOfBody(BodyOf(documents[1])), fuzztargets::SoupText(BodyOf(documents[0])));
  }
  const auto share = [&](int n) { return 100.0 * n / static_cast<double>(pages.size()); };
  std::printf(
      "%zu pages. Repair off: %.0f%% well-formed, %.0f%% schema-valid. "
      "Repair on: %.0f%% well-formed, %.0f%% schema-valid.\n",
      pages.size(), share(wellFormed[0]), share(valid[0]), share(wellFormed[1]), share(valid[1]));
  EXPECT_EQ(valid[1], static_cast<int>(pages.size()));
}

}  // namespace
