#pragma once
// The desktop program: one object that owns, in this order, the main window, the two editor
// adapters, the user interface and the session (destroyed in reverse), and runs the start-up
// and the closing of the main window. The session reaches the editors through views that hold a
// batch's changes back until it ends. The batch window, made after them all, goes first.

#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "app/ui/LanguageTexts.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ModalDialogs.h"
#include "app/ui/QsciTextEditor.h"
#include "app/ui/QtUserInterface.h"
#include "batch/ui/BufferedEditor.h"

namespace batch::ui {
class BatchWindow;
}

namespace app::ui {

struct DesktopOptions {
  std::string ProgramFolder;  // data files: genre list, help text, language files, schema
  std::string SettingsPath;
  std::vector<std::string> Arguments;  // the command line after the program's name
  // The modal questions; null for the real windows (tests script their own).
  std::unique_ptr<ModalDialogs> Dialogs;
};

class DesktopProgram {
 public:
  explicit DesktopProgram(DesktopOptions options);
  ~DesktopProgram();
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  MainWindow& Window() { return window_; }
  app::Session& Session() { return session_; }
  QtUserInterface& Ui() { return ui_; }
  QsciTextEditor& SourceEditor() { return sourceEditor_; }
  QsciTextEditor& ResultEditor() { return resultEditor_; }
  batch::ui::BatchWindow& BatchWindow() { return *batchWindow_; }
  LanguageTexts& Languages() { return languageTexts_; }

  // Shows the main window; the first show applies the output encoding and converts the file
  // named on the command line once the window is up.
  void Show();

 private:
  void FirstShow();
  void Close();
  // Inside a command: the language file of the selected option applied to every window. A
  // missing file clears OtherLanguageFile; an applied one may give "Label1", which shows that
  // setting, a text of its own, and the setting follows.
  void ApplyInterfaceLanguage();
  // A language option clicked, or a file picked with "..." (kept as picked whatever the file
  // applied gives "Label1").
  void LanguageChosen(bool fileChosen);
  // The batch window: made once, its "Save to:" read from the settings file ("Batch" / "path",
  // default the working directory); "Batch conversion..." shows it modally.
  void CreateBatchWindow();
  // Its "Save to:" text into the settings file, as typed, at program end.
  void SaveBatchFolder();

  MainWindow window_;
  LanguageTexts languageTexts_;
  std::unique_ptr<ModalDialogs> dialogs_;
  QsciTextEditor sourceEditor_;
  QsciTextEditor resultEditor_;
  batch::ui::BufferedEditor sourceView_;
  batch::ui::BufferedEditor resultView_;
  QtUserInterface ui_;
  app::Session session_;
  std::unique_ptr<batch::ui::BatchWindow> batchWindow_;
};

}  // namespace app::ui
