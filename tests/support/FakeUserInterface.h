#pragma once
// A scripted UserInterface for driving Session in tests. It records everything shown (messages,
// status texts, caption, pages, busy and progress calls, every dialog with its arguments) and
// answers dialogs from queues the test fills beforehand.
//
// Unscripted dialogs: a file or folder dialog is cancelled (empty path), the book information
// dialog closes with "Ok" leaving the record as it is, the genre picker returns its text as given.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/UserInterface.h"
#include "fb2meta/BookInfo.h"

namespace testsupport {

class FakeUserInterface : public app::UserInterface {
 public:
  enum class DialogKind { Open, Save, Folder };
  struct Message {
    std::string Caption;
    std::string Text;
  };
  struct FileDialog {
    DialogKind Kind;
    std::string Title;
    std::vector<app::FileFilter> Filters;
    std::string InitialPath;       // the proposed path of a save dialog
    std::string DefaultExtension;  // save dialogs only
    std::string Answer;            // what the dialog returned
  };
  // Edits the record the dialog shows and returns true for "Ok".
  using BookInfoAnswer = std::function<bool(fb2meta::BookInfo&)>;

  // --- Scripting
  void AnswerOpen(std::string path) { openAnswers_.push_back(std::move(path)); }
  void AnswerSave(std::string path) { saveAnswers_.push_back(std::move(path)); }
  void AnswerFolder(std::string path) { folderAnswers_.push_back(std::move(path)); }
  void AnswerBookInfo(BookInfoAnswer answer) { bookInfoAnswers_.push_back(std::move(answer)); }
  void AnswerBookInfoOk() {
    AnswerBookInfo([](fb2meta::BookInfo&) { return true; });
  }
  void AnswerBookInfoCancel() {
    AnswerBookInfo([](fb2meta::BookInfo&) { return false; });
  }
  void AnswerGenres(std::string text) { genreAnswers_.push_back(std::move(text)); }
  // Answers still queued (a test may check that every scripted dialog was asked for).
  size_t PendingAnswers() const;

  // --- What was shown
  std::vector<Message> Messages;
  std::vector<FileDialog> Dialogs;
  std::vector<fb2meta::BookInfo> BookInfoShown;  // the record as each dialog received it
  std::vector<std::string> GenresShown;          // the text each genre picker received
  std::map<int, std::string> Status;             // the last text of each status panel
  std::vector<std::pair<int, std::string>> StatusHistory;
  std::string Caption;
  std::vector<std::string> Captions;
  std::vector<int> Pages;
  int FindDialogShown = 0;  // ShowFindDialog calls
  int ReplaceDialogShown = 0;
  bool Busy = false;
  int BusyCalls = 0;  // SetBusy(true) calls
  std::vector<std::pair<size_t, size_t>> Progress;

  // The text of status panel `panel`, empty when it was never set.
  std::string StatusText(int panel) const;
  // The message texts, in order.
  std::vector<std::string> MessageTexts() const;

  // --- app::UserInterface
  void ShowMessage(std::string_view caption, std::string_view text) override;
  std::string AskOpenFile(std::string_view title, const std::vector<app::FileFilter>& filters,
                          std::string_view initialPath) override;
  std::string AskSaveFile(std::string_view title, const std::vector<app::FileFilter>& filters,
                          std::string_view proposedPath,
                          std::string_view defaultExtension) override;
  std::string AskFolder(std::string_view title, std::string_view initialPath) override;
  bool EditBookInfo(fb2meta::BookInfo& info) override;
  std::string PickGenres(std::string_view genres) override;
  void SetBusy(bool busy) override;
  void ShowProgress(size_t done, size_t total) override;
  void SetStatus(int panel, std::string_view text) override;
  void SetCaption(std::string_view caption) override;
  void ShowPage(int page) override;
  void ShowFindDialog() override { ++FindDialogShown; }
  void ShowReplaceDialog() override { ++ReplaceDialogShown; }

 private:
  std::deque<std::string> openAnswers_;
  std::deque<std::string> saveAnswers_;
  std::deque<std::string> folderAnswers_;
  std::deque<BookInfoAnswer> bookInfoAnswers_;
  std::deque<std::string> genreAnswers_;
};

}  // namespace testsupport
