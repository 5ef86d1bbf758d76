// vellumor-cli convert on the kinds of source: a page that declares UTF-8 is read in it, any
// extension but a word processor's is read as HTML, and a missing source is an input error.

#include <gtest/gtest.h>

#include <string>

#include "support/Process.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::WriteFile;

// "Привет" in windows-1251 and in UTF-8.
const std::string kPrivet = "\xcf\xf0\xe8\xe2\xe5\xf2";
const std::string kPrivetUtf8 = "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82";

TEST(ConvertSourcesCli, ReadsTheDeclaredCharacterSetAndAnyNonWordExtensionAsHtml) {
  testsupport::TempFolder folder;
  const std::string page =
      "<html><head><meta charset=\"utf-8\"></head><body><p>" + kPrivetUtf8 + "</p></body></html>";
  for (const char* name : {"page.html", "page.txt"}) {
    WriteFile(folder / name, page);
    const auto run = RunProgram("vellumor-cli", {"convert", folder / name, "-o", "-", "--settings",
                                                 folder / "none.ini", "--title", "T"});
    ASSERT_EQ(run.ExitCode, 0) << name << ": " << run.Err;
    EXPECT_NE(run.Out.find("<p>" + kPrivet + "</p>"), std::string::npos) << name << run.Out;
    EXPECT_EQ(run.Out.find(kPrivetUtf8), std::string::npos) << name;
    EXPECT_TRUE(testsupport::IsWellFormedXml(run.Out)) << name;
  }
}

TEST(ConvertSourcesCli, MissingSourceIsAnInputError) {
  testsupport::TempFolder folder;
  const auto run = RunProgram("vellumor-cli", {"convert", folder / "missing.rtf"});
  EXPECT_EQ(run.ExitCode, 2) << run.Err;
  EXPECT_TRUE(folder.Names().empty());  // no export, no book
}

}  // namespace
