#pragma once
// app::UserInterface with the main window: messages and questions through ModalDialogs, the
// busy cursor, the status panels, the caption and the page shown.

#include <QString>

#include "app/UserInterface.h"
#include "platform/CodePage.h"

namespace app::ui {

class MainWindow;
class ModalDialogs;

class QtUserInterface : public app::UserInterface {
 public:
  // `codePage`: the system code page the core's texts are in.
  QtUserInterface(MainWindow& window, ModalDialogs& dialogs, int codePage);

  void ShowMessage(std::string_view caption, std::string_view text) override;
  std::string AskOpenFile(std::string_view title, const std::vector<FileFilter>& filters,
                          std::string_view initialPath) override;
  std::string AskSaveFile(std::string_view title, const std::vector<FileFilter>& filters,
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
  void ShowFindDialog() override;
  void ShowReplaceDialog() override;

  // A core text for display.
  QString Display(std::string_view text) const;

 private:
  MainWindow& window_;
  ModalDialogs& dialogs_;
  platform::CodePage codePage_;
};

}  // namespace app::ui
