// vellumor-cli validate, run as a program: its lines and exit statuses.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "cli/Commands.h"
#include "support/Fb2Document.h"
#include "support/Xml.h"

namespace {

namespace fs = std::filesystem;
using testsupport::MakeFb2;
using testsupport::SimpleBody;

struct CliRun {
  int status = -1;
  std::string out;
};

// Runs the CLI in `dir` with the arguments (file names without blanks), stdout captured.
CliRun RunCli(const fs::path& dir, const std::string& args) {
  const std::string command =
      "cd '" + dir.string() + "' && '" VELLUMOR_BIN_DIR "/vellumor-cli' " + args + " 2>stderr.txt";
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class ValidateCli : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs the tests side by side: each gets its own folder.
    dir_ = fs::path(testing::TempDir()) /
           (std::string("validate-cli-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    Write("good.fb2", MakeFb2(SimpleBody()));
    Write("bad.fb2", MakeFb2("<body><section><p>a<p>b</p></p></section></body>"));
    Write("broken.fb2", MakeFb2("<body><section><p>a</section></body>"));
    const std::string book = MakeFb2(SimpleBody("zipped"));
    int error = 0;
    zip_t* archive = zip_open((dir_ / "good.fb2.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    zip_source_t* source = zip_source_buffer(archive, book.data(), book.size(), 0);
    ASSERT_GE(zip_file_add(archive, "good.fb2", source, 0), 0);
    ASSERT_EQ(zip_close(archive), 0);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& name, const std::string& bytes) {
    testsupport::WriteFile((dir_ / name).string(), bytes);
  }
  std::string Stderr() { return testsupport::ReadFile((dir_ / "stderr.txt").string()); }

  fs::path dir_;
};

TEST_F(ValidateCli, ValidFilesPlainAndZippedExitZero) {
  const CliRun run = RunCli(dir_, "validate good.fb2 good.fb2.zip");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "good.fb2: valid\ngood.fb2.zip: valid\n");
}

TEST_F(ValidateCli, ProblemsThenOneSummaryPerFile) {
  const CliRun run = RunCli(dir_, "validate good.fb2 bad.fb2 broken.fb2");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "good.fb2: valid\n"
            "bad.fb2:7:20: Element 'p': This element is not expected. Expected is one of "
            "( strong, emphasis, style, a, strikethrough, sub, sup, code, image ).\n"
            "bad.fb2: well-formed, 1 schema errors\n"
            "broken.fb2:7:30: Opening and ending tag mismatch: p line 7 and section\n"
            "broken.fb2:7:37: Opening and ending tag mismatch: section line 7 and body\n"
            "broken.fb2:8:15: Opening and ending tag mismatch: body line 7 and FictionBook\n"
            "broken.fb2:8:15: Premature end of data in tag FictionBook line 2\n"
            "broken.fb2: not well-formed\n");
}

TEST_F(ValidateCli, UnreadableFileIsAnInputErrorAndTheOthersAreStillChecked) {
  const CliRun run = RunCli(dir_, "validate missing.fb2 good.fb2");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "good.fb2: valid\n");
  EXPECT_NE(Stderr().find("missing.fb2"), std::string::npos);
  EXPECT_EQ(RunCli(dir_, "validate").status, 2);  // no file named
}

TEST_F(ValidateCli, PipesAndFoldersAreRefusedWithoutWaiting) {
  // A pipe with no writer would block a reader for ever; a folder is no book.
  ASSERT_EQ(mkfifo((dir_ / "pipe.fb2").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir_ / "pipe.zip").c_str(), 0600), 0);
  fs::create_directory(dir_ / "shelf.fb2");
  const CliRun run = RunCli(dir_, "validate pipe.fb2 pipe.zip shelf.fb2 good.fb2");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "good.fb2: valid\n");
  EXPECT_NE(Stderr().find("pipe.fb2\". It is a named pipe (FIFO)"), std::string::npos);
  EXPECT_NE(Stderr().find("pipe.zip\". It is a named pipe (FIFO)"), std::string::npos);
  EXPECT_NE(Stderr().find("shelf.fb2\". It is a folder"), std::string::npos);
}

TEST_F(ValidateCli, ConvertPrintsTheSameLines) {
  for (const char* name : {"good.fb2", "bad.fb2", "broken.fb2"}) {
    std::ostringstream printed;
    const int status = cli::PrintValidation((dir_ / name).string(), printed);
    const CliRun run = RunCli(dir_, std::string("validate ") + (dir_ / name).string());
    EXPECT_EQ(printed.str(), run.out);
    EXPECT_EQ(status, run.status);
  }
}

}  // namespace
