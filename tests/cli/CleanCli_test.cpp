// vellumor-cli clean FILE over the cleanup cases: the same bytes as the library gives.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "engine/TextUtil.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"
#include "source/SourceCharset.h"
#include "support/CleanupCases.h"
#include "support/Process.h"
#include "support/Xml.h"

namespace {

using testsupport::CleanupCase;
using testsupport::RunProgram;

class CleanCliTest : public ::testing::TestWithParam<CleanupCase> {};

TEST_P(CleanCliTest, PrintsCleanedBytesAndReports) {
  const CleanupCase& c = GetParam();
  const testsupport::ProgramRun run = RunProgram("vellumor-cli", {"clean", c.InputPath});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  // A case that declares a character set of its own is read in it first, as the CLI reads files.
  const std::string input = testsupport::ReadFile(c.InputPath);
  const std::string read = source::ReadInCodePage(input, platform::CodePage(1251));
  const std::string expected =
      read == input ? c.Expected : source::CleanHtml(engine::NormalizeLineBreaks(read));
  EXPECT_EQ(run.Out, expected);
  size_t from = 0;
  for (const std::string& message : c.Errors) {
    const size_t at = run.Err.find("vellumor-cli: " + message + ": ", from);
    EXPECT_NE(at, std::string::npos) << "missing report \"" << message << "\" in:\n" << run.Err;
    if (at != std::string::npos) from = at + 1;
  }
  if (c.Errors.empty()) {
    EXPECT_EQ(run.Err, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Files, CleanCliTest, ::testing::ValuesIn(testsupport::LoadCleanupCases()),
                         [](const ::testing::TestParamInfo<CleanupCase>& caseInfo) {
                           std::string name = caseInfo.param.Name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(CleanCli, MissingFileAndUnknownOptionAreUsageErrors) {
  const auto missing = RunProgram("vellumor-cli", {"clean", "/nonexistent/book.html"});
  EXPECT_EQ(missing.ExitCode, 2);
  EXPECT_NE(missing.Err.find("/nonexistent/book.html"), std::string::npos) << missing.Err;
  EXPECT_EQ(missing.Out, "");

  const std::string file = testsupport::LoadCleanupCases().front().InputPath;
  const auto unknown = RunProgram("vellumor-cli", {"clean", "--frobnicate", file});
  EXPECT_EQ(unknown.ExitCode, 2);
  EXPECT_NE(unknown.Err.find("frobnicate"), std::string::npos) << unknown.Err;
  EXPECT_EQ(unknown.Out, "");

  const auto noFile = RunProgram("vellumor-cli", {"clean"});
  EXPECT_EQ(noFile.ExitCode, 2);
}

}  // namespace
