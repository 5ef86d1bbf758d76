#pragma once
// A desktop program for one test: its settings file in a fresh folder, the data files of the
// build beside the binaries as its program folder, and scripted dialogs.

#include <QAction>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/DesktopProgram.h"
#include "support/TempFolder.h"
#include "ui/support/ScriptedDialogs.h"

namespace testsupport {

class ProgramFixture {
 public:
  // `settingsText`: the settings file's content before the start; none when empty.
  explicit ProgramFixture(std::vector<std::string> arguments = {},
                          const std::string& settingsText = {},
                          std::string programFolder = VELLUMOR_BIN_DIR);

  app::ui::DesktopProgram& Program() { return *program_; }
  app::ui::MainWindow& Window() { return program_->Window(); }
  app::Session& Session() { return program_->Session(); }
  ScriptedDialogs& Dialogs() { return *dialogs_; }
  TempFolder& Folder() { return folder_; }
  std::string SettingsPath() const { return folder_ / "vellumor.ini"; }
  // Shows the window and lets the first-show work run.
  void Show();
  // Triggers the command named `name` and lets its queued work run.
  void Trigger(const char* name);

 private:
  TempFolder folder_;
  ScriptedDialogs* dialogs_ = nullptr;
  std::unique_ptr<app::ui::DesktopProgram> program_;
};

// Lets queued events run (single-shot timers of 0 ms included).
void ProcessEvents();

}  // namespace testsupport
