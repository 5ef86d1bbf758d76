#pragma once
// The UserInterface of the command line: nothing is asked. Messages go to stderr, the book
// information dialog is answered from the options, the save dialog by the output path.

#include <optional>
#include <string>
#include <vector>

#include "app/UserInterface.h"
#include "fb2meta/BookInfo.h"

namespace cli {

// The fields of the book information dialog that options name. Unset fields keep what the
// description writer prepared.
struct BookInfoAnswers {
  std::optional<std::string> Title;
  std::vector<fb2meta::PersonName> Authors;  // up to four
  std::vector<std::string> Genres;
  std::optional<std::string> Language;
  std::optional<std::string> CoverImagePath;
  std::optional<std::string> Date;  // dd.mm.yyyy
  std::optional<std::string> DocumentId;
  std::optional<std::string> Version;
  std::optional<bool> UtfOutput;
  std::optional<bool> PackToZip;
  std::optional<int> FileNameVariant;  // 1 or 2
  // The document information tab; unset fields keep what the settings file gave.
  std::optional<fb2meta::PersonName> DocumentAuthor;
  std::optional<std::string> DocumentNickName;
  std::optional<std::string> DocumentEMails;     // ";"-separated
  std::optional<std::string> DocumentHomePages;  // ";"-separated
  std::optional<std::string> SourceUrls;         // ";"-separated
};

// "First|Middle|Last"; missing parts are empty.
fb2meta::PersonName ParseAuthor(std::string_view text);

// A message line as a terminal of `locale` (see platform::LocaleName) reads it.
// Messages are text in code page `codePage` but may quote paths, which are the file system's
// bytes: for a UTF-8 terminal a line that is UTF-8 already stays, any other is converted from
// the code page. Other terminals get the bytes as they are.
std::string MessageForTerminal(std::string_view line, std::string_view locale, int codePage);

class CliUserInterface : public app::UserInterface {
 public:
  BookInfoAnswers Answers;
  std::string SavePath;           // the answer of every save dialog
  bool ShowProgressLine = false;  // a progress line on stderr (batch on a terminal)

  void ShowMessage(std::string_view caption, std::string_view text) override;
  std::string AskOpenFile(std::string_view, const std::vector<app::FileFilter>&,
                          std::string_view) override {
    return {};
  }
  std::string AskSaveFile(std::string_view, const std::vector<app::FileFilter>&, std::string_view,
                          std::string_view) override {
    return SavePath;
  }
  std::string AskFolder(std::string_view, std::string_view) override { return {}; }
  bool EditBookInfo(fb2meta::BookInfo& info) override;
  std::string PickGenres(std::string_view genres) override { return std::string(genres); }
  void SetBusy(bool) override {}
  void ShowProgress(size_t done, size_t total) override;
  void SetStatus(int, std::string_view) override {}
  void SetCaption(std::string_view) override {}
  void ShowPage(int) override {}
  void ShowFindDialog() override {}
  void ShowReplaceDialog() override {}

  // Messages shown so far; the caller decides the exit status from them.
  std::vector<std::string> Messages;
};

}  // namespace cli
