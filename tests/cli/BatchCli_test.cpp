// vellumor-cli batch: the outcome lines, the files written, and the same result with workers.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "support/Process.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::WriteFile;

// The files of a folder by name, with their bytes.
std::map<std::string, std::string> FolderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(folder))
    files[item.path().filename().string()] = ReadFile(item.path().string());
  return files;
}

class BatchCliTest : public ::testing::Test {
 protected:
  BatchCliTest() { std::filesystem::create_directories(folder / "in/other"); }

  std::string Source(const std::string& name, std::string_view text) {
    const std::string path = folder / name;
    WriteFile(path, "<html><body><h1>" + std::string(text) + "</h1><p>" + std::string(text) +
                        " text</p></body></html>");
    return path;
  }

  // Runs the batch into a fresh folder `outName` with fixed dates and ids.
  testsupport::ProgramRun Batch(const std::string& outName, std::vector<std::string> args) {
    const std::string out = folder / outName;
    std::filesystem::create_directories(out);
    std::vector<std::string> all = {
        "batch",  "-o",         out,    "--settings", folder / "none.ini",
        "--date", "01.02.2020", "--id", "fixed-id"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram("vellumor-cli", all);
  }

  testsupport::TempFolder folder;
};

TEST_F(BatchCliTest, WorkersWriteTheSameFilesAsOneRun) {
  std::vector<std::string> files;
  for (int i = 0; i < 7; ++i)
    files.push_back(Source("in/book" + std::to_string(i) + ".htm", "Book " + std::to_string(i)));
  // Two sources of one output name, far apart in the list: the later one wins.
  files.insert(files.begin() + 1, Source("in/other/book5.htm", "Earlier five"));

  const auto one = Batch("one", files);
  const auto two = Batch("two", [&] {
    std::vector<std::string> args = {"-j", "2"};
    args.insert(args.end(), files.begin(), files.end());
    return args;
  }());

  ASSERT_EQ(one.ExitCode, 0) << one.Err;
  ASSERT_EQ(two.ExitCode, 0) << two.Err;
  std::string expectedOut;
  for (const std::string& file : files) expectedOut += "Done: " + file + "\n";
  EXPECT_EQ(one.Out, expectedOut);
  EXPECT_EQ(two.Out, expectedOut);
  EXPECT_EQ(one.Err, "");
  EXPECT_EQ(two.Err, "");

  const auto written = FolderFiles(folder / "one");
  EXPECT_EQ(written.size(), 7u);
  EXPECT_EQ(FolderFiles(folder / "two"), written);
  for (const auto& [name, bytes] : written) {
    EXPECT_TRUE(testsupport::IsWellFormedXml(bytes)) << name;
    EXPECT_NE(bytes.find("fixed-id"), std::string::npos) << name;
  }
  EXPECT_NE(written.at("book5.fb2").find("Book 5"), std::string::npos);
  EXPECT_EQ(written.at("book5.fb2").find("Earlier five"), std::string::npos);
}

TEST_F(BatchCliTest, ListFileEntriesComeFirstAndAFailureGivesStatusOne) {
  const std::string a = Source("in/a.htm", "A");
  const std::string b = Source("in/b.htm", "B");
  const std::string missing = folder / "in/missing.htm";
  WriteFile(folder / "list.txt", a + "\r\n" + missing + "\r\n");
  for (const char* jobs : {"1", "3"}) {
    const auto run =
        Batch(std::string("out") + jobs, {"-j", jobs, "--list", folder / "list.txt", b});
    EXPECT_EQ(run.ExitCode, 1) << run.Err;
    EXPECT_EQ(run.Out, "Done: " + a + "\nError: " + std::to_string(ENOENT) + ": " + missing +
                           "\nDone: " + b + "\n");
    // Why it failed, from a worker as from one run.
    EXPECT_EQ(run.Err, "vellumor-cli: " + missing + ": Cannot open file \"" + missing +
                           "\". No such file or directory\n");
    const auto written = FolderFiles(folder / (std::string("out") + jobs));
    EXPECT_EQ(written.size(), 2u);
    for (const auto& [name, bytes] : written) EXPECT_TRUE(testsupport::IsWellFormedXml(bytes));
  }
}

TEST_F(BatchCliTest, MissingOutputFolderAndNoEntriesAreUsageErrors) {
  const std::string a = Source("in/a.htm", "A");
  const auto noFolder = RunProgram("vellumor-cli", {"batch", "-o", folder / "nowhere", a});
  EXPECT_EQ(noFolder.ExitCode, 2);
  EXPECT_NE(noFolder.Err.find("Dir " + folder / "nowhere" + " not found "), std::string::npos)
      << noFolder.Err;
  EXPECT_EQ(noFolder.Out, "");
  const auto nothing = RunProgram("vellumor-cli", {"batch", "-o", folder.Path().string()});
  EXPECT_EQ(nothing.ExitCode, 2);
}

}  // namespace
