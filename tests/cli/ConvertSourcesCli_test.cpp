// vellumor-cli convert on the kinds of source: a page that declares UTF-8 is read in it whatever
// its HTML extension, a source that cannot be read is an input
// error, a failed export says why, and the body's structure is repaired unless told not to.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
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

TEST(ConvertSourcesCli, ReadsTheDeclaredCharacterSetWhateverTheHtmlExtension) {
  testsupport::TempFolder folder;
  const std::string page =
      "<html><head><meta charset=\"utf-8\"></head><body><p>" + kPrivetUtf8 + "</p></body></html>";
  for (const char* name : {"page.html", "page.xhtml"}) {
    WriteFile(folder / name, page);
    const auto run = RunProgram("vellumor-cli", {"convert", folder / name, "-o", "-", "--settings",
                                                 folder / "none.ini", "--title", "T"});
    ASSERT_EQ(run.ExitCode, 0) << name << ": " << run.Err;
    EXPECT_NE(run.Out.find("<p>" + kPrivet + "</p>"), std::string::npos) << name << run.Out;
    EXPECT_EQ(run.Out.find(kPrivetUtf8), std::string::npos) << name;
    EXPECT_TRUE(testsupport::IsWellFormedXml(run.Out)) << name;
  }
}

TEST(ConvertSourcesCli, UnreadableSourceIsAnInputErrorThatSaysWhy) {
  testsupport::TempFolder folder;
  std::filesystem::create_directory(folder / "shelf.htm");
  ASSERT_EQ(mkfifo((folder / "pipe.htm").c_str(), 0600), 0);  // would wait for a writer
  const std::pair<std::string, std::string> cases[] = {
      {"missing.rtf", "No such file or directory"},
      {"shelf.htm", "It is a folder, not a file."},
      {"pipe.htm", "It is a named pipe (FIFO), not a regular file."},
  };
  for (const auto& [name, why] : cases) {
    const auto run = RunProgram("vellumor-cli", {"convert", folder / name});
    EXPECT_EQ(run.ExitCode, 2) << run.Err;
    EXPECT_EQ(run.Err, "vellumor-cli: Cannot open file \"" + folder / name + "\". " + why + "\n");
  }
  // No export, no book.
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"pipe.htm", "shelf.htm"}));
}

TEST(ConvertSourcesCli, FailedExportSaysWhyAndLeavesNothing) {
  testsupport::TempFolder bin, folder;
  // A stand-in for the export program, found first on PATH.
  const std::string program = bin / "soffice";
  WriteFile(program, "#!/bin/sh\nexit 4\n");
  chmod(program.c_str(), 0755);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin.Path().string() + ":" + path).c_str(), 1);
  WriteFile(folder / "My Book.docx", "docx");
  const auto run = RunProgram("vellumor-cli", {"convert", folder / "My Book.docx"});
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err, "vellumor-cli: Conversion failed: \"" + folder / "My Book.docx" +
                         "\" could not be exported to HTML: \"" + program +
                         "\" ended with exit status 4\n");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"My Book.docx"}));
}

TEST(ConvertSourcesCli, RepairsTheStructureUnlessToldNot) {
  testsupport::TempFolder folder;
  // Bold across two paragraphs: converted as it stands, the body is not XML.
  WriteFile(folder / "bold.html",
            "<html><body><p><b>one</p><p>two</b> three</p><p>plain</p></body></html>");
  // Without a flag the settings file decides; a flag overrides it, the last one given winning.
  WriteFile(folder / "off.ini", "[main]\r\nrepair=0\r\nisUtf=1\r\n");
  const auto convert = [&](const std::string& settings, std::vector<std::string> extra) {
    std::vector<std::string> args = {"convert",    folder / "bold.html", "-o",   "-",
                                     "--settings", folder / settings,    "--id", "x"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto run = RunProgram("vellumor-cli", args);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    return run.Out;
  };
  const std::string repaired = convert("none.ini", {});
  EXPECT_TRUE(testsupport::IsWellFormedXml(repaired));
  EXPECT_NE(repaired.find("<p><strong>one</strong></p>"), std::string::npos) << repaired;
  EXPECT_EQ(convert("none.ini", {"--repair"}), repaired);
  EXPECT_EQ(convert("none.ini", {"--repair", "--no-repair", "--repair"}), repaired);
  const std::string asConverted = convert("none.ini", {"--no-repair"});
  EXPECT_FALSE(testsupport::IsWellFormedXml(asConverted));

  const std::string fromSettings = convert("off.ini", {});
  EXPECT_EQ(fromSettings.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u);
  EXPECT_FALSE(testsupport::IsWellFormedXml(fromSettings));
  const std::string overridden = convert("off.ini", {"--repair", "--no-utf8"});
  EXPECT_EQ(overridden, repaired);
}

}  // namespace
