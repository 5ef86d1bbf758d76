// Word-processor documents converted end to end with the real LibreOffice: the session's Convert
// command on an .rtf, and the command line on the .docx made from it. LibreOffice runs cost
// seconds, so the documents are made once for the suite and the .docx only when needed.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "support/FakeOffice.h"
#include "support/FakeUserInterface.h"
#include "support/Process.h"
#include "support/TempFolder.h"
#include "support/WordDocuments.h"
#include "support/Xml.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;

// "Привет мир" in windows-1251.
const std::string kHelloWorld = "\xcf\xf0\xe8\xe2\xe5\xf2 \xec\xe8\xf0";

class WordDocumentsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!testsupport::HaveLibreOffice()) return;
    documents_ = std::make_unique<testsupport::TempFolder>();
    // The profile kept between conversions goes into the suite's folder, not the user's cache.
    setenv("XDG_CACHE_HOME", (*documents_ / "cache").c_str(), 1);
    rtf_ = *documents_ / "My Sample.rtf";
    testsupport::WriteFile(rtf_, testsupport::SampleRtf());
  }
  // The .docx LibreOffice makes of the RTF, made on first use (ctest runs each test alone).
  static const std::string& Docx() {
    if (docx_.empty())
      docx_ = testsupport::ConvertWithLibreOffice(rtf_, "docx", documents_->Path().string());
    return docx_;
  }
  static void TearDownTestSuite() { documents_.reset(); }

  void SetUp() override {
    if (!testsupport::HaveLibreOffice()) GTEST_SKIP() << "soffice is not installed";
  }

  // What every conversion of the sample must hold.
  static void ExpectSampleBook(const std::string& fb2) {
    EXPECT_TRUE(testsupport::IsWellFormedXml(fb2));
    EXPECT_NE(fb2.find("Chapter One"), std::string::npos) << fb2;
    EXPECT_NE(fb2.find("<strong>bold"), std::string::npos) << fb2;
    EXPECT_NE(fb2.find("<emphasis>"), std::string::npos) << fb2;
    EXPECT_NE(fb2.find("First item</p>"), std::string::npos) << fb2;
    EXPECT_NE(fb2.find("A2"), std::string::npos) << fb2;
    EXPECT_NE(fb2.find(kHelloWorld), std::string::npos) << "Cyrillic text";
    EXPECT_NE(fb2.find("<binary"), std::string::npos) << "the picture";
  }

  static std::unique_ptr<testsupport::TempFolder> documents_;
  static std::string rtf_;
  static std::string docx_;
};

std::unique_ptr<testsupport::TempFolder> WordDocumentsTest::documents_;
std::string WordDocumentsTest::rtf_;
std::string WordDocumentsTest::docx_;

TEST_F(WordDocumentsTest, ConvertCommandExportsConvertsAndRemovesTheExport) {
  testsupport::TempFolder folder;
  const std::string rtf = folder / "My Sample.rtf";
  fs::copy_file(rtf_, rtf);
  testsupport::WriteFile(folder / "My_Sample.htm", "not mine to delete");

  testsupport::FakeUserInterface ui;
  PlainTextEditor source, result;
  Session session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini");
  session.Settings().ShowTitleInfo = false;
  // LibreOffice puts a paragraph inside every list item; the repair keeps the book well-formed.
  session.Settings().RepairStructure = true;
  ui.AnswerOpen(rtf);
  const std::string saved = folder / "Sample.fb2";
  ui.AnswerSave(saved);
  session.Act_ConvertExecute();

  EXPECT_TRUE(ui.Messages.empty()) << ui.Messages.front().Caption;
  // The export went to the free name My_Sample_1.htm and is gone with its pictures.
  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"My Sample.rtf", "My_Sample.htm", "Sample.fb2"}));
  EXPECT_EQ(ReadFile(folder / "My_Sample.htm"), "not mine to delete");
  EXPECT_NE(source.Text().find("My_Sample_1.files/"), std::string::npos) << source.Text();
  ExpectSampleBook(ReadFile(saved));
}

TEST_F(WordDocumentsTest, ABatchConvertsThroughOneLibreOfficeAndLeavesNothingBehind) {
  ASSERT_FALSE(Docx().empty()) << "LibreOffice did not make the .docx";
  testsupport::TempFolder folder;
  fs::create_directory(folder.Path() / "books");
  testsupport::FakeUserInterface ui;
  PlainTextEditor source, result;
  Session session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini");
  session.Settings().ShowTitleInfo = false;
  session.Settings().RepairStructure = true;
  for (const char* name : {"One.rtf", "Two.docx", "Three.rtf"}) {
    fs::copy_file(std::string(name).ends_with(".docx") ? Docx() : rtf_, folder / name);
    session.BatchList.Entries().push_back(folder / name);
  }
  session.Settings().BatchOutputFolder = folder / "books";
  const fs::path temp = fs::temp_directory_path();
  const auto scratchFolders = [&] {
    size_t count = 0;
    const std::string mine = "vellumor-" + std::to_string(getpid()) + "-";
    for (const auto& entry : fs::directory_iterator(temp))
      if (entry.path().filename().string().rfind(mine, 0) == 0) ++count;
    return count;
  };
  const size_t before = scratchFolders();
  session.StartBatch();
  for (const std::string& entry : session.BatchList.Entries())
    EXPECT_EQ(entry.rfind("Done: ", 0), 0u) << entry;
  for (const char* book : {"One.fb2", "Two.fb2", "Three.fb2"})
    ExpectSampleBook(ReadFile(folder / ("books/" + std::string(book))));
  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"One.rtf", "Three.rtf", "Two.docx", "books"}));
  // The batch's profile went with it.
  EXPECT_EQ(scratchFolders(), before);
}

// The processes whose command line mentions `text`.
std::vector<int> ProcessesMentioning(const std::string& text) {
  std::vector<int> pids;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (line.find(text) != std::string::npos) pids.push_back(std::stoi(name));
  }
  return pids;
}

// vellumor-cli batch with the real LibreOffice, stopped by SIGTERM once LibreOffice runs.
TEST_F(WordDocumentsTest, TerminatedBatchLeavesNoLibreOfficeProfileOrExport) {
  testsupport::TempFolder folder, temp;
  std::vector<std::string> args = {(fs::path(VELLUMOR_BIN_DIR) / "vellumor-cli").string(),
                                   "batch",
                                   "-o",
                                   folder.Path().string(),
                                   "--settings",
                                   folder / "none.ini"};
  for (int i = 0; i < 12; ++i) {
    const std::string name = folder / ("Book " + std::to_string(i) + ".rtf");
    fs::copy_file(rtf_, name);
    args.push_back(name);
  }
  const pid_t cli = fork();
  ASSERT_GE(cli, 0);
  if (cli == 0) {
    // Scratch folders (and so LibreOffice's profile) in a temporary folder of the test's own.
    setenv("TMPDIR", temp.Path().c_str(), 1);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  // Mid-batch: the first book is saved, LibreOffice runs with its profile in our temporary
  // folder, the next document is being exported.
  const std::string marker = temp.Path().string() + "/vellumor-";
  bool running = false;
  for (int i = 0; i < 6000 && !running; ++i) {
    running = fs::exists(folder / "Book 0.fb2") && !ProcessesMentioning(marker).empty();
    if (!running) usleep(10'000);
  }
  EXPECT_TRUE(running) << "the batch never got going";
  ASSERT_EQ(kill(cli, SIGTERM), 0);
  int status = 0;
  ASSERT_EQ(waitpid(cli, &status, 0), cli);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 143);
  for (const int pid : ProcessesMentioning(marker)) EXPECT_TRUE(testsupport::ProcessEnds(pid));
  for (const std::string& name : temp.Names()) ADD_FAILURE() << name << " left behind";
  for (const auto& entry : fs::recursive_directory_iterator(temp.Path()))
    ADD_FAILURE() << entry.path() << " left behind";
  for (const std::string& name : folder.Names())
    EXPECT_TRUE(name.ends_with(".rtf") || name.ends_with(".fb2")) << name << " left behind";
}

TEST_F(WordDocumentsTest, CommandLineConvertsADocx) {
  ASSERT_FALSE(Docx().empty()) << "LibreOffice did not make the .docx";
  testsupport::TempFolder folder;
  const std::string docx = folder / "Sample Book.docx";
  fs::copy_file(Docx(), docx);
  const testsupport::ProgramRun run = testsupport::RunProgram(
      "vellumor-cli",
      {"convert", docx, "--settings", folder / "none.ini", "--title", "Sample", "--repair"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Sample Book.docx", "Sample Book.fb2"}));
  ExpectSampleBook(ReadFile(folder / "Sample Book.fb2"));
}

}  // namespace
}  // namespace app
