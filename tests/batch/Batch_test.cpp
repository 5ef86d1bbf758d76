#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "batch/BatchStart.h"
#include "batch/ConversionList.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace {

using batch::ConversionList;

using testsupport::FakeUserInterface;

TEST(ConversionListTest, AddIgnoresCaseLoadTakesLinesAsTheyAre) {
  ConversionList list;
  EXPECT_TRUE(list.Add("/books/Tale.htm"));
  EXPECT_FALSE(list.Add("/BOOKS/tale.HTM"));
  EXPECT_TRUE(list.Add("/books/other.doc"));
  EXPECT_EQ(list.ToText(), "/books/Tale.htm\r\n/books/other.doc\r\n");

  list.LoadFromText("a\r\nA\nDone: b\r\n");
  EXPECT_EQ(list.Entries(), (std::vector<std::string>{"a", "A", "Done: b"}));
  list.Delete(1);
  list.Delete(7);
  list.Delete(std::nullopt);
  EXPECT_EQ(list.Entries(), (std::vector<std::string>{"a", "Done: b"}));
  EXPECT_EQ(batch::ListFileName("/x/list.lst"), "/x/list.txt");
  EXPECT_EQ(batch::ListFileName("/x/list"), "/x/list.txt");
}

TEST(BatchStartTest, EmptyListDoesNotEvenCheckTheFolder) {
  ConversionList list;
  FakeUserInterface ui;
  std::string folder = "/no/such/folder";
  batch::StartBatch(list, folder, ui, {});
  EXPECT_TRUE(ui.Dialogs.empty());
  EXPECT_TRUE(ui.Messages.empty());
}

TEST(BatchStartTest, MissingFolderStopsBeforeTheFirstFile) {
  ConversionList list;
  list.Add("/a.htm");
  FakeUserInterface ui;
  std::string folder = "/no/such/folder";
  int calls = 0;
  batch::StartBatch(list, folder, ui,
                    {[&](const std::string&, const std::string&, const std::string&) {
                       ++calls;
                       return batch::FileOutcome{true, 0, {}, {}};
                     },
                     {}});
  ASSERT_EQ(ui.Dialogs.size(), 1u);
  EXPECT_EQ(ui.Dialogs[0].Kind, FakeUserInterface::DialogKind::Folder);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Dir /no/such/folder not found "});
  EXPECT_EQ(calls, 0);
}

TEST(BatchStartTest, EntriesAreRewrittenAndASecondStartConvertsNothing) {
  const std::string out = testing::TempDir();
  ConversionList list;
  list.Add("/good.htm");
  list.Add("/bad.htm");
  FakeUserInterface ui;
  ui.AnswerFolder(out);
  std::string folder;
  int removals = 0;
  std::vector<std::string> seen;
  const batch::BatchSteps steps{
      [&](const std::string& file, const std::string& dir, const std::string&) {
        seen.push_back(file + " -> " + dir);
        if (file == "/good.htm") return batch::FileOutcome{true, 0, {}, {}};
        return batch::FileOutcome{false, ENOENT, "gone", {}};
      },
      [&] { ++removals; }};
  // The callback gets each entry with its outcome, the reason of a failure included.
  std::vector<std::string> told;
  const auto entryDone = [&](size_t index, const std::string& entry,
                             const batch::FileOutcome& outcome) {
    told.push_back(std::to_string(index) + " " + entry + " | " + outcome.Reason);
  };
  batch::StartBatch(list, folder, ui, steps, entryDone);
  EXPECT_EQ(folder, out + "/");
  EXPECT_EQ(list.Entries(),
            (std::vector<std::string>{"Done: /good.htm",
                                      "Error: " + std::to_string(ENOENT) + ": /bad.htm"}));
  EXPECT_EQ(told,
            (std::vector<std::string>{"0 Done: /good.htm | ",
                                      "1 Error: " + std::to_string(ENOENT) + ": /bad.htm | gone"}));
  EXPECT_EQ(removals, 2);

  batch::StartBatch(list, folder, ui, steps);
  EXPECT_EQ(list.Entries()[0].rfind("Error: ", 0), 0u);
  EXPECT_NE(list.Entries()[0].find(": Done: /good.htm"), std::string::npos);
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[2], "Done: /good.htm -> " + out + "/");
}

// "Cancel" during a batch: the entry in progress finishes and is rewritten, the batch ends before
// the next one, and the entries not reached stay as they were.
TEST(BatchStartTest, CancelEndsTheBatchAfterTheEntryInProgress) {
  const std::string out = testing::TempDir();
  struct Case {
    int CancelDuring;  // the 0-based entry during whose conversion "Cancel" is pressed; -1 never
    size_t Handled;
  };
  for (const Case c : {Case{-1, 4}, Case{0, 1}, Case{2, 3}, Case{3, 4}}) {
    ConversionList list;
    for (const char* entry : {"/a.htm", "/b.htm", "/c.htm", "/d.htm"}) list.Add(entry);
    FakeUserInterface ui;
    std::string folder = out;
    bool cancel = false;
    int converted = 0, removals = 0, asked = 0;
    const batch::BatchSteps steps{[&](const std::string&, const std::string&, const std::string&) {
                                    if (converted++ == c.CancelDuring) cancel = true;
                                    return batch::FileOutcome{true, 0, {}, {}};
                                  },
                                  [&] { ++removals; }};
    std::vector<size_t> told;
    batch::StartBatch(
        list, folder, ui, steps,
        [&](size_t index, const std::string&, const batch::FileOutcome&) { told.push_back(index); },
        [&] {
          ++asked;
          return cancel;
        });
    SCOPED_TRACE(c.CancelDuring);
    EXPECT_EQ(static_cast<size_t>(converted), c.Handled);
    EXPECT_EQ(static_cast<size_t>(removals), c.Handled);
    EXPECT_EQ(told.size(), c.Handled);
    EXPECT_EQ(ui.Progress.size(), c.Handled);
    // Asked before every entry, and once more before the one it stops at.
    EXPECT_EQ(static_cast<size_t>(asked), std::min<size_t>(c.Handled + 1, 4));
    for (size_t i = 0; i < 4; ++i) {
      const bool rewritten = list.Entries()[i].rfind("Done: ", 0) == 0;
      EXPECT_EQ(rewritten, i < c.Handled) << list.Entries()[i];
    }
    EXPECT_EQ(list.Entries()[3].substr(list.Entries()[3].size() - 6), "/d.htm");
  }
}

TEST(BatchStartTest, CancelledBeforeTheFirstEntryConvertsNothing) {
  ConversionList list;
  list.Add("/a.htm");
  FakeUserInterface ui;
  std::string folder = testing::TempDir();
  int calls = 0;
  batch::StartBatch(list, folder, ui,
                    {[&](const std::string&, const std::string&, const std::string&) {
                       ++calls;
                       return batch::FileOutcome{true, 0, {}, {}};
                     },
                     {}},
                    {}, [] { return true; });
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(list.Entries(), std::vector<std::string>{"/a.htm"});
  EXPECT_TRUE(ui.Progress.empty());
}

TEST(BatchOutputNamesTest, NumberedNamesAndTheirEndings) {
  EXPECT_EQ(batch::OutputPath("/in/a.b.doc", "/out"), "/out/a.b.fb2");
  EXPECT_EQ(batch::OutputPath("/in/README", "/out/"), "/out//README.fb2");
  const std::set<std::string> taken = {"/o/x.fb2", "/o/x_2.fb2", "/o/y_2.fb2", "/o/noext.fb2"};
  struct Case {
    std::string Path, Unused, WithoutNumber;
  };
  const Case cases[] = {
      {"/o/x.fb2", "/o/x_3.fb2", "/o/x.fb2"},
      {"/o/x_2.fb2", "/o/x_2_2.fb2", "/o/x.fb2"},
      {"/o/y.fb2", "/o/y.fb2", "/o/y.fb2"},
      {"/o/y_2.fb2", "/o/y_2_2.fb2", "/o/y.fb2"},
      {"/o/x_2_3.fb2", "/o/x_2_3.fb2", "/o/x_2.fb2"},
      {"/o/_2.fb2", "/o/_2.fb2", "/o/_2.fb2"},
      {"/o/a_b.fb2", "/o/a_b.fb2", "/o/a_b.fb2"},
      {"/o/v2.fb2", "/o/v2.fb2", "/o/v2.fb2"},
      {"/o/x_.fb2", "/o/x_.fb2", "/o/x_.fb2"},
      {"/o/d_1/x.fb2", "/o/d_1/x.fb2", "/o/d_1/x.fb2"},
      {"/o_1/x", "/o_1/x", "/o_1/x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(batch::UnusedOutputPath(c.Path, taken), c.Unused) << c.Path;
    EXPECT_EQ(batch::WithoutNumberEnding(c.Path), c.WithoutNumber) << c.Path;
  }
}

// Sources of one name from several folders: each later one that would replace a book of this
// batch gets a numbered name and its entry names the file; a failed entry takes no name.
TEST(BatchStartTest, RepeatedNamesGetNumberedFilesAndSaySo) {
  testsupport::TempFolder out;
  const std::string folder = out.Path().string();
  struct Case {
    std::string Entry;
    bool Done, Saved;
    std::string Target;  // the output the step is asked for, in the folder
    std::string NewEntry;
  };
  const Case cases[] = {
      {"/d1/x.html", true, true, "x.fb2", "Done: /d1/x.html"},
      {"/d2/x.html", true, true, "x_2.fb2", "Done: /d2/x.html -> " + folder + "/x_2.fb2"},
      {"/x_2.htm", true, true, "x_2_2.fb2", "Done: /x_2.htm -> " + folder + "/x_2_2.fb2"},
      {"/d3/x.doc", false, false, "x_3.fb2", "Error: 2: /d3/x.doc"},
      {"/d4/x.rtf", true, false, "x_3.fb2", "Done: /d4/x.rtf"},  // its save failed
      {"/d5/x.htm", true, true, "x_3.fb2", "Done: /d5/x.htm -> " + folder + "/x_3.fb2"},
      {"/d6/X.htm", true, true, "X.fb2", "Done: /d6/X.htm"},
  };
  ConversionList list;
  for (const Case& c : cases) list.Entries().push_back(c.Entry);
  size_t next = 0;
  std::vector<std::string> targets;
  const batch::BatchSteps steps{
      [&](const std::string&, const std::string&, const std::string& target) {
        const Case& c = cases[next++];
        targets.push_back(target);
        return batch::FileOutcome{c.Done, c.Done ? 0 : 2, {}, c.Saved ? target : std::string()};
      },
      {}};
  FakeUserInterface ui;
  std::string field = folder;
  batch::StartBatch(list, field, ui, steps);
  ASSERT_EQ(targets.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(targets[i], folder + "/" + cases[i].Target) << cases[i].Entry;
    EXPECT_EQ(list.Entries()[i], cases[i].NewEntry);
  }
}

// A source that is the output file under another name (a link) is never converted over itself.
TEST(BatchStartTest, OutputThatIsTheSourceIsRefused) {
  testsupport::TempFolder folder;
  std::filesystem::create_directories(folder / "out");
  testsupport::WriteFile(folder / "out/x.fb2", "<html><body>source</body></html>");
  std::filesystem::create_symlink(folder / "out/x.fb2", folder / "x.htm");
  ConversionList list;
  list.Add(folder / "x.htm");
  int calls = 0;
  const batch::BatchSteps steps{[&](const std::string&, const std::string&, const std::string&) {
                                  ++calls;
                                  return batch::FileOutcome{true, 0, {}, {}};
                                },
                                {}};
  std::string reason;
  FakeUserInterface ui;
  std::string field = folder / "out";
  batch::StartBatch(list, field, ui, steps,
                    [&](size_t, const std::string&, const batch::FileOutcome& outcome) {
                      reason = outcome.Reason;
                    });
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(list.Entries()[0], "Error: " + std::to_string(EINVAL) + ": " + folder / "x.htm");
  EXPECT_NE(reason.find("is the source file"), std::string::npos) << reason;
  EXPECT_EQ(testsupport::ReadFile(folder / "out/x.fb2"), "<html><body>source</body></html>");
}

}  // namespace
