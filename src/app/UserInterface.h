#pragma once
// Everything the commands show to the user or ask of the user. The desktop program implements
// it with windows; tests use a scripted fake; the command line answers without asking.

#include <string>
#include <string_view>
#include <vector>

namespace fb2meta {
struct BookInfo;
}

namespace app {

// The caption of the program's messages and the start of its window caption.
inline constexpr std::string_view kProgramName = "Vellumor";

// One filter of a file dialog: its caption and its patterns ("*.htm;*.html").
struct FileFilter {
  std::string Caption;
  std::string Patterns;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A modal message box with one OK button.
  virtual void ShowMessage(std::string_view caption, std::string_view text) = 0;

  // File dialogs: the chosen path, or empty when cancelled.
  virtual std::string AskOpenFile(std::string_view title, const std::vector<FileFilter>& filters,
                                  std::string_view initialPath) = 0;
  virtual std::string AskSaveFile(std::string_view title, const std::vector<FileFilter>& filters,
                                  std::string_view proposedPath,
                                  std::string_view defaultExtension) = 0;
  virtual std::string AskFolder(std::string_view title, std::string_view initialPath) = 0;

  // The book information dialog: edits `info` and returns true when closed with "Ok".
  virtual bool EditBookInfo(fb2meta::BookInfo& info) = 0;
  // The genre picker: given the genre text of the dialog, returns the new text (or the same).
  virtual std::string PickGenres(std::string_view genres) = 0;

  // Long work: busy indication on and off, progress of a list (done of total).
  virtual void SetBusy(bool busy) = 0;
  virtual void ShowProgress(size_t done, size_t total) = 0;

  // The main window's status panels (0 the source file, 1 the output encoding, 2 spare) and
  // caption, and the page shown (0 source, 1 FB2, ...).
  virtual void SetStatus(int panel, std::string_view text) = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual void ShowPage(int page) = 0;

  // The find and the replace dialog: shown, not modal, with the field texts Session keeps for
  // them (Session::SearchText, Session::ReplacementText).
  virtual void ShowFindDialog() = 0;
  virtual void ShowReplaceDialog() = 0;
};

}  // namespace app
