// The settings file: loading at start, saving at close, and the export and import of the
// check-box options.

#include <filesystem>
#include <vector>

#include "app/Session.h"

namespace app {
namespace {

const std::vector<FileFilter>& OptionsFileFilters() {
  static const std::vector<FileFilter> filters = {{"Text Files (*.txt)", "*.txt"},
                                                  {"All Files (*.*)", "*.*"}};
  return filters;
}

}  // namespace

WindowPlacement Session::LoadSettings() {
  const WindowPlacement placement = app::LoadSettings(IniFile(settingsPath_), settings_);
  const int index = settings_.Charset;
  ApplyCharset(source::CharsetNumber(kCharsetNames[index]), true);
  ShowOutputEncoding();
  return placement;
}

bool Session::SaveSettings(const WindowPlacement& placement) {
  // The fallback settings folder under ~/.config may not exist yet.
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(settingsPath_).parent_path();
  if (!folder.empty() && !std::filesystem::exists(folder, error))
    std::filesystem::create_directories(folder, error);
  IniFile file(settingsPath_);
  try {
    app::SaveSettings(file, settings_, placement);
  } catch (const IniWriteError& failure) {
    ui_.ShowMessage(kProgramName, failure.what());
    return false;
  }
  return true;
}

bool Session::ExportOptions(const std::string& path) {
  IniFile file(path);
  try {
    app::ExportOptions(file, settings_);
  } catch (const IniWriteError& failure) {
    ui_.ShowMessage(kProgramName, failure.what());
    return false;
  }
  return true;
}

void Session::ImportOptions(const std::string& path) {
  app::ImportOptions(IniFile(path), settings_);
  // The book information dialog's "Pack to zip" follows the main window's.
  book_.PackToZip = settings_.PackToZip;
}

void Session::Act_SaveOption() {
  const std::string path = ui_.AskSaveFile("Save settings", OptionsFileFilters(), "", "");
  if (path.empty()) return;
  ExportOptions(path);
}

void Session::Act_openOptions() {
  const std::string path = ui_.AskOpenFile("Open settings file", OptionsFileFilters(), "");
  if (path.empty()) return;
  ImportOptions(path);
}

}  // namespace app
