#pragma once
// The desktop program: one object that owns, in this order, the main window, the two editor
// adapters, the user interface and the session (destroyed in reverse), and runs the start-up
// and the closing of the main window.

#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ModalDialogs.h"
#include "app/ui/QsciTextEditor.h"
#include "app/ui/QtUserInterface.h"

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

  // Shows the main window; the first show applies the output encoding and converts the file
  // named on the command line once the window is up.
  void Show();

 private:
  void FirstShow();
  void Close();

  MainWindow window_;
  std::unique_ptr<ModalDialogs> dialogs_;
  QsciTextEditor sourceEditor_;
  QsciTextEditor resultEditor_;
  QtUserInterface ui_;
  app::Session session_;
};

}  // namespace app::ui
