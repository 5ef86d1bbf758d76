// vellumor-cli convert, run as a program on the bundled Cyrillic example: the bytes of the FB2 in
// both encodings, reproducibility, packing, input errors, and a real FB2 reader reading it.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TempFolder.h"
#include "support/Xml.h"
#include "support/Zip.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::RunProgram;

// "Глава I" as the file holds it, in windows-1251 and in UTF-8.
const std::string kChapter1251 = "\xC3\xEB\xE0\xE2\xE0 I";
const std::string kChapterUtf8 = "\xD0\x93\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0 I";
// "Пушкин": options arrive in UTF-8 and are written in the book's encoding.
const std::string kAuthorOption = "|Alexander|\xD0\x9F\xD1\x83\xD1\x88\xD0\xBA\xD0\xB8\xD0\xBD";
const std::string kLastName1251 = "<last-name>\xCF\xF3\xF8\xEA\xE8\xED</last-name>";
const std::string kLastNameUtf8 =
    "<last-name>\xD0\x9F\xD1\x83\xD1\x88\xD0\xBA\xD0\xB8\xD0\xBD</last-name>";

class ConvertCli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(VELLUMOR_SOURCE_DIR) / "examples", folder_.Path(),
             fs::copy_options::recursive);
  }

  // Converts the example with fixed date and id, no settings file, and the extra arguments.
  testsupport::ProgramRun Convert(std::vector<std::string> extra) {
    std::vector<std::string> args = {
        "convert",    folder_ / "sample.html",    "--date", "10.12.2026", "--id", "test-id",
        "--settings", "/nonexistent/vellumor.ini"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram("vellumor-cli", args);
  }

  std::string Out(const std::string& name) const { return folder_ / name; }

  testsupport::TempFolder folder_;
};

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}
bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(ConvertCli, WritesTheEightBitBookInTheCodePage) {
  const auto run = Convert({"-o", Out("t.fb2"), "--author", kAuthorOption});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string book = ReadFile(Out("t.fb2"));
  EXPECT_NE(book.find(kLastName1251), std::string::npos);
  EXPECT_TRUE(StartsWith(book, "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"));
  EXPECT_TRUE(EndsWith(book, "</FictionBook>"));
  EXPECT_NE(book.find(kChapter1251), std::string::npos);
  EXPECT_NE(book.find("<binary content-type=\"image/png\" id=\"ornament.png\">"),
            std::string::npos);
  EXPECT_TRUE(testsupport::IsWellFormedXml(book));
}

TEST_F(ConvertCli, WritesTheUtf8BookWithTwoByteLettersAndAFinalLineBreak) {
  const auto run = Convert({"-o", Out("u.fb2"), "--utf8", "--author", kAuthorOption});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string book = ReadFile(Out("u.fb2"));
  EXPECT_NE(book.find(kLastNameUtf8), std::string::npos);
  EXPECT_TRUE(StartsWith(book, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"));
  EXPECT_TRUE(EndsWith(book, "</FictionBook>\r\n"));
  EXPECT_NE(book.find(kChapterUtf8), std::string::npos);
  EXPECT_EQ(book.find(kChapter1251), std::string::npos);
  EXPECT_TRUE(testsupport::IsWellFormedXml(book));
}

TEST_F(ConvertCli, SameOptionsGiveTheSameBytesOnFileAndStdout) {
  ASSERT_EQ(Convert({"-o", Out("a.fb2")}).ExitCode, 0);
  ASSERT_EQ(Convert({"-o", Out("b.fb2")}).ExitCode, 0);
  const auto toStdout = Convert({"-o", "-"});
  ASSERT_EQ(toStdout.ExitCode, 0) << toStdout.Err;
  const std::string book = ReadFile(Out("a.fb2"));
  EXPECT_EQ(book, ReadFile(Out("b.fb2")));
  EXPECT_EQ(book, toStdout.Out);
}

TEST_F(ConvertCli, ZipWritesOnlyTheArchiveHoldingTheBook) {
  ASSERT_EQ(Convert({"-o", Out("plain.fb2")}).ExitCode, 0);
  const auto run = Convert({"-o", Out("t.fb2"), "--zip"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_FALSE(fs::exists(Out("t.fb2")));
  const auto entries = testsupport::ReadZip(Out("t.fb2.zip"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.begin()->second.Content, ReadFile(Out("plain.fb2")));
}

TEST_F(ConvertCli, BadInputIsAUsageErrorAndWritesNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"convert", Out("missing.html"), "-o", Out("t.fb2")},
      {"convert", Out("sample.html"), "-o", Out("t.fb2"), "--date", "32.01.2026"},
      {"convert", Out("sample.html"), "-o", Out("t.fb2"), "--table-mode", "sideways"},
  };
  for (const auto& args : cases) {
    const auto run = RunProgram("vellumor-cli", args);
    EXPECT_EQ(run.ExitCode, 2) << args[1] << " " << args.back();
    EXPECT_FALSE(run.Err.empty());
    EXPECT_FALSE(fs::exists(Out("t.fb2")));
  }
}

// pandoc's FB2 reader is strict XML: it reads the book and finds its title and text.
TEST_F(ConvertCli, PandocReadsTheTitleAndTheText) {
  const auto run = Convert({"-o", Out("u.fb2"), "--utf8", "--title", "Dochka"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const auto read = RunProgram("/usr/bin/pandoc", {"-f", "fb2", "-t", "plain", "-s", Out("u.fb2")});
  ASSERT_EQ(read.ExitCode, 0) << read.Err;
  EXPECT_NE(read.Out.find("Dochka"), std::string::npos);
  // "Береги честь смолоду."
  EXPECT_NE(read.Out.find("\xD0\x91\xD0\xB5\xD1\x80\xD0\xB5\xD0\xB3\xD0\xB8"), std::string::npos)
      << read.Out;
}

}  // namespace
