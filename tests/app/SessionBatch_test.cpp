#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace app {
namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

std::string Page(std::string_view text) {
  return "<html><body><h1>" + std::string(text) + "</h1><p>" + std::string(text) +
         " &amp; more</p></body></html>";
}

std::string Error(int code, const std::string& entry) {
  return "Error: " + std::to_string(code) + ": " + entry;
}

class SessionBatchTest : public ::testing::Test {
 protected:
  SessionBatchTest() : session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini") {
    std::filesystem::create_directories(folder / "in");
    std::filesystem::create_directories(folder / "in2");
    std::filesystem::create_directories(out);
    session.Settings().BatchOutputFolder = out;
  }

  // Writes a source page and returns its path.
  std::string Source(const std::string& name, std::string_view text) {
    const std::string path = folder / name;
    WriteFile(path, Page(text));
    return path;
  }

  testsupport::TempFolder folder;
  const std::string out = folder / "out";
  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  PlainTextEditor result;
  Session session;
};

TEST(BatchOutputPathTest, OnlyTheLastExtensionIsReplaced) {
  struct Case {
    const char* File;
    const char* Folder;
    const char* Expected;
  };
  for (const Case& c : {Case{"/docs/a.b.doc", "/out", "/out/a.b.fb2"},
                        Case{"/docs/My Book.HTML", "/out", "/out/My Book.fb2"},
                        Case{"/docs/plain", "/out", "/out/plain.fb2"},
                        Case{"/docs/Tale.htm", "/out/", "/out//Tale.fb2"}}) {
    EXPECT_EQ(Session::BatchOutputPath(c.File, c.Folder), c.Expected) << c.File;
  }
}

TEST_F(SessionBatchTest, StartConvertsEveryEntryAndASecondStartNothing) {
  const std::string tale = Source("in/Tale.htm", "Tale");
  const std::string dotted = Source("in/a.b.htm", "Dotted");
  const std::string missing = folder / "in/none.htm";
  const std::string folderEntry = folder / "in/folder.htm";
  std::filesystem::create_directory(folderEntry);
  for (const std::string& entry : {tale, missing, folderEntry, dotted})
    session.BatchList.Add(entry);

  session.StartBatch();

  EXPECT_EQ(session.BatchList.Entries(),
            (std::vector<std::string>{"Done: " + tale, Error(ENOENT, missing),
                                      Error(EISDIR, folderEntry), "Done: " + dotted}));
  std::vector<std::string> written;
  for (const auto& item : std::filesystem::directory_iterator(out))
    written.push_back(item.path().filename().string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"Tale.fb2", "a.b.fb2"}));
  for (const std::string& name : written) {
    const std::string bytes = ReadFile(out + "/" + name);
    EXPECT_TRUE(testsupport::IsWellFormedXml(bytes)) << name;
  }
  EXPECT_NE(ReadFile(out + "/Tale.fb2").find("<book-title>Tale</book-title>"), std::string::npos);
  // No question was asked, and the program is out of batch mode and not busy.
  EXPECT_TRUE(ui.BookInfoShown.empty());
  EXPECT_TRUE(ui.Dialogs.empty());
  EXPECT_TRUE(ui.Messages.empty()) << ui.MessageTexts().front();
  EXPECT_FALSE(session.Document().BatchMode);
  EXPECT_FALSE(ui.Busy);
  EXPECT_GE(ui.BusyCalls, 2);  // one per converted file at least
  EXPECT_EQ(ui.Progress.back(), (std::pair<size_t, size_t>{4, 4}));
  // The editors show the last file converted, as after an interactive conversion.
  EXPECT_EQ(result.Text(), ReadFile(out + "/a.b.fb2"));
  EXPECT_NE(source.Text().find("Dotted"), std::string::npos);
  EXPECT_EQ(session.Document().LastFb2Path, out + "/a.b.fb2");

  // The entries now name no file: each becomes an error entry, nothing is written.
  std::filesystem::remove_all(out);
  std::filesystem::create_directory(out);
  const std::vector<std::string> first = session.BatchList.Entries();
  session.StartBatch();
  std::vector<std::string> expected;
  for (const std::string& entry : first) expected.push_back(Error(ENOENT, entry));
  EXPECT_EQ(session.BatchList.Entries(), expected);
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

// Within one batch no book replaces another: the later source of a name gets a numbered file and
// its entry names it.
TEST_F(SessionBatchTest, TwoSourcesWithOneNameKeepBothBooks) {
  session.BatchList.Add(Source("in/Tale.htm", "First"));
  session.BatchList.Add(Source("in2/Tale.htm", "Second"));
  session.StartBatch();
  EXPECT_EQ(session.BatchList.Entries(),
            (std::vector<std::string>{
                "Done: " + folder / "in/Tale.htm",
                "Done: " + folder / "in2/Tale.htm" + " -> " + out + "/Tale_2.fb2"}));
  const std::string first = ReadFile(out + "/Tale.fb2");
  const std::string second = ReadFile(out + "/Tale_2.fb2");
  EXPECT_TRUE(testsupport::IsWellFormedXml(first));
  EXPECT_TRUE(testsupport::IsWellFormedXml(second));
  EXPECT_NE(first.find("First"), std::string::npos);
  EXPECT_NE(second.find("Second"), std::string::npos);
  EXPECT_EQ(session.Document().LastFb2Path, out + "/Tale_2.fb2");
}

TEST_F(SessionBatchTest, FailedSaveIsShownButTheEntryCountsTheConversion) {
  session.BatchList.Add(Source("in/Tale.htm", "Tale"));
  session.BatchList.Add(Source("in/plain.txt", "Plain"));  // not a source type: nothing loaded
  std::filesystem::create_directory(out + "/Tale.fb2");    // the save cannot replace a folder
  session.StartBatch();
  EXPECT_EQ(session.BatchList.Entries()[0], "Done: " + folder / "in/Tale.htm");
  // No system error: the code is 0, not whatever the system recorded last.
  EXPECT_EQ(session.BatchList.Entries()[1], Error(0, folder / "in/plain.txt"));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].Text.find("Tale.fb2"), std::string::npos) << ui.Messages[0].Text;
}

TEST_F(SessionBatchTest, StepsHandOnWhyAFileFailed) {
  const std::string tale = Source("in/Tale.htm", "Tale");
  const std::string plain = Source("in/plain.txt", "Plain");
  const std::string missing = folder / "in/none.htm";
  const std::string shelf = folder / "in/shelf.htm";
  std::filesystem::create_directory(shelf);
  struct Case {
    std::string File;
    bool Done;
    int Code;
    std::string Reason;  // how the reason starts
  };
  const Case cases[] = {
      {tale, true, 0, ""},
      {missing, false, ENOENT, "Cannot open file \"" + missing + "\". "},
      {shelf, false, EISDIR, "Cannot open file \"" + shelf + "\". "},
      {plain, false, 0, "\"" + plain + "\" is not a source document"},
  };
  const batch::BatchSteps steps = session.BatchStartSteps();
  for (const Case& c : cases) {
    result.Load("previous result");
    const batch::FileOutcome outcome =
        steps.ConvertFileToFolder(c.File, out, batch::OutputPath(c.File, out));
    EXPECT_EQ(outcome.Done, c.Done) << c.File;
    EXPECT_EQ(outcome.ErrorCode, c.Code) << c.File;
    if (c.Reason.empty()) {
      EXPECT_EQ(outcome.Reason, "") << c.File;
    } else {
      EXPECT_EQ(outcome.Reason.rfind(c.Reason, 0), 0u) << c.File << ": " << outcome.Reason;
    }
    // A file that cannot be used changes nothing; any other starts from empty documents.
    EXPECT_EQ(result.Text() == "previous result", c.Code != 0) << c.File;
  }
  EXPECT_FALSE(session.Document().BatchMode);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(SessionBatchTest, MissingOutputFolderStopsBeforeTheFirstFile) {
  session.BatchList.Add(Source("in/Tale.htm", "Tale"));
  session.Settings().BatchOutputFolder = folder / "nowhere";
  session.StartBatch();  // the folder dialog is cancelled
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{"Dir " + folder / "nowhere" + " not found "});
  EXPECT_EQ(session.BatchList.Entries()[0], folder / "in/Tale.htm");
}

TEST_F(SessionBatchTest, ListSavedAfterABatchLoadsBackTheSameEntries) {
  session.BatchList.Add(Source("in/Tale.htm", "Tale"));
  session.BatchList.Add(folder / "in/none.htm");
  session.StartBatch();
  ui.AnswerSave(folder / "list.lst");
  session.Act_BatchSaveList();
  EXPECT_EQ(ReadFile(folder / "list.txt"),
            session.BatchList.Entries()[0] + "\r\n" + session.BatchList.Entries()[1] + "\r\n");
  const std::vector<std::string> saved = session.BatchList.Entries();
  session.BatchList.Clear();
  ui.AnswerOpen(folder / "list.txt");
  session.Act_BatchLoadList();
  EXPECT_EQ(session.BatchList.Entries(), saved);
  ASSERT_EQ(ui.Dialogs.size(), 2u);
  EXPECT_EQ(ui.Dialogs[0].Filters.back().Caption, "All Files (*.*)");
  EXPECT_EQ(ui.Dialogs[1].Filters.back().Caption, "All files (*.*)");
}

}  // namespace
}  // namespace app
