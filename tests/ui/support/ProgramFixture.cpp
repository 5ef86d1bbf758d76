#include "ui/support/ProgramFixture.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <fstream>

namespace testsupport {

ProgramFixture::ProgramFixture(std::vector<std::string> arguments, const std::string& settingsText,
                               std::string programFolder) {
  if (!settingsText.empty()) std::ofstream(SettingsPath(), std::ios::binary) << settingsText;
  auto dialogs = std::make_unique<ScriptedDialogs>();
  dialogs_ = dialogs.get();
  app::ui::DesktopOptions options;
  options.ProgramFolder = std::move(programFolder);
  options.SettingsPath = SettingsPath();
  options.Arguments = std::move(arguments);
  options.Dialogs = std::move(dialogs);
  program_ = std::make_unique<app::ui::DesktopProgram>(std::move(options));
}

void ProcessEvents() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void ProgramFixture::Show() {
  program_->Show();
  if (!QTest::qWaitForWindowExposed(&Window())) ADD_FAILURE() << "the main window never showed";
  ProcessEvents();
}

void ProgramFixture::Trigger(const char* name) {
  Window().Command(name)->trigger();
  ProcessEvents();
}

}  // namespace testsupport
