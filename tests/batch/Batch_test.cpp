#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "batch/BatchStart.h"
#include "batch/ConversionList.h"

namespace {

using batch::ConversionList;

// Answers the folder dialog and records messages; nothing else is asked by "Start".
class FolderOnlyUi : public app::UserInterface {
 public:
  std::string FolderAnswer;
  std::vector<std::string> Messages;
  int FolderDialogs = 0;

  void ShowMessage(std::string_view, std::string_view text) override {
    Messages.emplace_back(text);
  }
  std::string AskOpenFile(std::string_view, const std::vector<app::FileFilter>&,
                          std::string_view) override {
    return {};
  }
  std::string AskSaveFile(std::string_view, const std::vector<app::FileFilter>&, std::string_view,
                          std::string_view) override {
    return {};
  }
  std::string AskFolder(std::string_view, std::string_view) override {
    ++FolderDialogs;
    return FolderAnswer;
  }
  bool EditBookInfo(fb2meta::BookInfo&) override { return false; }
  std::string PickGenres(std::string_view g) override { return std::string(g); }
  void SetBusy(bool) override {}
  void ShowProgress(size_t, size_t) override {}
  void SetStatus(int, std::string_view) override {}
  void SetCaption(std::string_view) override {}
  void ShowPage(int) override {}
};

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
  FolderOnlyUi ui;
  std::string folder = "/no/such/folder";
  batch::StartBatch(list, folder, ui, {});
  EXPECT_EQ(ui.FolderDialogs, 0);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST(BatchStartTest, MissingFolderStopsBeforeTheFirstFile) {
  ConversionList list;
  list.Add("/a.htm");
  FolderOnlyUi ui;
  std::string folder = "/no/such/folder";
  int calls = 0;
  batch::StartBatch(list, folder, ui,
                    {[&](const std::string&, const std::string&) {
                       ++calls;
                       return true;
                     },
                     {}});
  EXPECT_EQ(ui.FolderDialogs, 1);
  EXPECT_EQ(ui.Messages, std::vector<std::string>{"Dir /no/such/folder not found "});
  EXPECT_EQ(calls, 0);
}

TEST(BatchStartTest, EntriesAreRewrittenAndASecondStartConvertsNothing) {
  const std::string out = testing::TempDir();
  ConversionList list;
  list.Add("/good.htm");
  list.Add("/bad.htm");
  FolderOnlyUi ui;
  ui.FolderAnswer = out;
  std::string folder;
  int removals = 0;
  std::vector<std::string> seen;
  const batch::BatchSteps steps{[&](const std::string& file, const std::string& dir) {
                                  seen.push_back(file + " -> " + dir);
                                  if (file == "/good.htm") return true;
                                  errno = ENOENT;
                                  return false;
                                },
                                [&] { ++removals; }};
  batch::StartBatch(list, folder, ui, steps);
  EXPECT_EQ(folder, out + "/");
  EXPECT_EQ(list.Entries(),
            (std::vector<std::string>{"Done: /good.htm",
                                      "Error: " + std::to_string(ENOENT) + ": /bad.htm"}));
  EXPECT_EQ(removals, 2);

  batch::StartBatch(list, folder, ui, steps);
  EXPECT_EQ(list.Entries()[0].rfind("Error: ", 0), 0u);
  EXPECT_NE(list.Entries()[0].find(": Done: /good.htm"), std::string::npos);
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[2], "Done: /good.htm -> " + out + "/");
}

}  // namespace
