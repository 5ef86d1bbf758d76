// Word-processor documents in a batch and when things go wrong, with a stand-in for LibreOffice
// (support/FakeOffice.h): a hanging document, an interrupt, a folder we may not write to, and
// the command line interrupted mid-batch by SIGINT or SIGTERM.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "batch/BatchStart.h"
#include "platform/Interrupts.h"
#include "support/FakeOffice.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

extern char** environ;

namespace app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class WordBatchTest : public ::testing::Test {
 protected:
  WordBatchTest() : session_(ui_, source_, result_, VELLUMOR_BIN_DIR, docs_ / "none.ini") {
    setenv("XDG_CACHE_HOME", (out_ / "cache").c_str(), 1);
    session_.WordBridge.Program = office_.Soffice();
    session_.WordBridge.TimeLimit = 6s;  // room for a loaded machine; only the hang waits it out
    session_.Settings().RepairStructure = true;
    fs::create_directory(out_.Path() / "books");
  }
  std::string Document(const std::string& name, const std::string& text) {
    testsupport::WriteFile(docs_ / name, text);
    return docs_ / name;
  }

  testsupport::FakeOffice office_;
  testsupport::TempFolder docs_;
  testsupport::TempFolder out_;
  testsupport::FakeUserInterface ui_;
  PlainTextEditor source_, result_;
  Session session_;
};

TEST_F(WordBatchTest, AHangingDocumentFailsAloneWithTheReasonAndTheBatchGoesOn) {
  for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
           {"a.rtf", "First book with a picture"}, {"b.docx", "hang"}, {"c.doc", "Third book"}})
    session_.BatchList.Entries().push_back(Document(name, text));
  std::string folder = out_ / "books";
  std::vector<std::string> reasons;
  batch::StartBatch(session_.BatchList, folder, ui_, session_.BatchStartSteps(),
                    [&](size_t, const std::string&, const batch::FileOutcome& outcome) {
                      reasons.push_back(outcome.Reason);
                    });
  const std::vector<std::string>& entries = session_.BatchList.Entries();
  ASSERT_EQ(entries.size(), 3u);
  ASSERT_EQ(reasons.size(), 3u);
  EXPECT_EQ(entries[0].rfind("Done: ", 0), 0u) << entries[0] << ": " << reasons.at(0);
  EXPECT_EQ(entries[1].rfind("Error: ", 0), 0u) << entries[1];
  EXPECT_EQ(entries[2].rfind("Done: ", 0), 0u) << entries[2];
  EXPECT_NE(reasons[1].find("timed out after 6 s"), std::string::npos) << reasons[1];
  // A fresh LibreOffice for the entry after the hang; all of them gone with the batch.
  EXPECT_EQ(office_.ListenerPids().size(), 2u);
  for (const int pid : office_.ListenerPids()) EXPECT_TRUE(testsupport::ProcessEnds(pid));
  for (const char* book : {"a.fb2", "c.fb2"}) {
    const std::string fb2 = testsupport::ReadFile(out_ / ("books/" + std::string(book)));
    EXPECT_TRUE(testsupport::IsWellFormedXml(fb2)) << book;
  }
  EXPECT_NE(testsupport::ReadFile(out_ / "books/c.fb2").find("Third book"), std::string::npos);
  // Nothing of the exports is left beside the documents.
  EXPECT_EQ(docs_.Names(), (std::vector<std::string>{"a.rtf", "b.docx", "c.doc"}));
}

TEST_F(WordBatchTest, AnInterruptRemovesTheExportBesideTheDocument) {
  const std::string document = Document("My Book.rtf", "Some text with a picture");
  ASSERT_TRUE(session_.LoadWordDocument(document));
  EXPECT_EQ(docs_.Names(),
            (std::vector<std::string>{"My Book.rtf", "My_Book.files", "My_Book.htm"}));
  platform::RunInterruptCleanup();
  EXPECT_EQ(docs_.Names(), std::vector<std::string>{"My Book.rtf"});
}

// As an unprivileged user (root writes anywhere), a document in a read-only folder is exported
// into the private scratch folder and converts; the folder stays as it was.
TEST_F(WordBatchTest, ADocumentInAReadOnlyFolderIsExportedIntoTheScratchFolder) {
  const std::string document = Document("Book.rtf", "Read-only text");
  testsupport::TempFolder cache;
  for (const fs::path& folder : {docs_.Path(), out_.Path(), cache.Path()})
    chmod(folder.c_str(), 0777);
  chmod(document.c_str(), 0644);
  chmod(docs_.Path().c_str(), 0555);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Exit codes: 0 converted, 1 setuid failed, 2 conversion failed, 3 something was written.
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(1);
    setenv("XDG_CACHE_HOME", cache.Path().c_str(), 1);
    testsupport::FakeUserInterface ui;
    PlainTextEditor source, result;
    Session session(ui, source, result, VELLUMOR_BIN_DIR, out_ / "none.ini");
    session.WordBridge.Program = office_.Soffice();
    session.Settings().RepairStructure = true;
    const SourceConversion outcome = session.ConvertSourceFile(document);
    const bool converted = outcome.Ok && result.Text().find("Read-only text") != std::string::npos;
    const bool untouched = docs_.Names() == std::vector<std::string>{"Book.rtf"};
    session.RemoveWordExport();
    _exit(!converted ? 2 : !untouched ? 3 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  chmod(docs_.Path().c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// vellumor-cli batch interrupted while LibreOffice works on a hanging document.
struct InterruptCase {
  int Signal;
  int Jobs;
};

class CommandLineInterruptTest : public ::testing::TestWithParam<InterruptCase> {};

TEST_P(CommandLineInterruptTest, LeavesNoLibreOfficeProfileOrExportBehind) {
  testsupport::FakeOffice office;
  const std::string hang = office.MakeHangFifo();
  testsupport::TempFolder docs, out, temp;
  std::vector<std::string> args = {(fs::path(VELLUMOR_BIN_DIR) / "vellumor-cli").string(),
                                   "batch",
                                   "-o",
                                   out.Path().string(),
                                   "-j",
                                   std::to_string(GetParam().Jobs),
                                   "--settings",
                                   docs / "none.ini"};
  for (const char* name : {"a.rtf", "b.rtf", "c.docx", "d.doc"}) {
    testsupport::WriteFile(docs / name, name[0] == 'b' ? "hang" : "Some text");
    args.push_back(docs / name);
  }
  // LibreOffice from the stand-in's folder, scratch folders in a temporary folder of our own.
  const std::string path = "PATH=" + office.Folder() + ":" + getenv("PATH");
  const std::string tmpdir = "TMPDIR=" + temp.Path().string();
  const std::string cache = "XDG_CACHE_HOME=" + (temp.Path() / "cache").string();
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    if (entry.rfind("PATH=", 0) != 0 && entry.rfind("TMPDIR=", 0) != 0 &&
        entry.rfind("XDG_CACHE_HOME=", 0) != 0)
      env.push_back(*e);
  }
  for (const std::string* entry : {&path, &tmpdir, &cache})
    env.push_back(const_cast<char*>(entry->c_str()));
  env.push_back(nullptr);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const int reader = open(hang.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const pid_t cli = fork();
  ASSERT_GE(cli, 0);
  if (cli == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
    signal(SIGINT, SIG_DFL);
    execve(argv[0], argv.data(), env.data());
    _exit(127);
  }
  // The hanging export says when it has started.
  pollfd polled{reader, POLLIN, 0};
  EXPECT_EQ(poll(&polled, 1, 60'000), 1) << "the batch never reached the hanging document";
  close(reader);

  ASSERT_EQ(kill(cli, GetParam().Signal), 0);
  int status = 0;
  ASSERT_EQ(waitpid(cli, &status, 0), cli);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + GetParam().Signal);
  for (const int pid : office.ListenerPids()) EXPECT_TRUE(testsupport::ProcessEnds(pid));
  for (const int pid : office.DriverPids()) EXPECT_TRUE(testsupport::ProcessEnds(pid));
  EXPECT_FALSE(office.ListenerPids().empty());
  std::vector<std::string> left = temp.Names();
  std::erase(left, "cache");
  EXPECT_TRUE(left.empty()) << left.front() << ": a scratch folder or profile";
  EXPECT_EQ(docs.Names(), (std::vector<std::string>{"a.rtf", "b.rtf", "c.docx", "d.doc"}));
}

INSTANTIATE_TEST_SUITE_P(Signals, CommandLineInterruptTest,
                         ::testing::Values(InterruptCase{SIGINT, 1}, InterruptCase{SIGTERM, 1},
                                           InterruptCase{SIGINT, 2}, InterruptCase{SIGTERM, 2}),
                         [](const ::testing::TestParamInfo<InterruptCase>& param) {
                           return std::string(param.param.Signal == SIGINT ? "Sigint" : "Sigterm") +
                                  "Jobs" + std::to_string(param.param.Jobs);
                         });

}  // namespace
}  // namespace app
