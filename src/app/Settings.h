#pragma once
// Reading and writing ConversionSettings and the main window's placement in the settings file,
// and the export and import of the check-box options.

#include <string>
#include <string_view>

#include "app/ConversionSettings.h"
#include "app/IniFile.h"

namespace app {

enum class WindowState { Maximized = 0, Minimized = 1, Normal = 2 };

// The main window's outer rectangle and state, as the window reports and restores them.
struct WindowPlacement {
  int Left = 10;
  int Top = 10;
  int Width = 10;  // the window's minimum size applies
  int Height = 10;
  WindowState State = WindowState::Normal;
};

// Fills `settings` from the file. The values `settings` holds on entry are the defaults of the
// check boxes, radio buttons, number fields and the table font; every other key has a fixed
// default. A missing file, key or unparsable value gives the default; list indexes outside
// their lists read as the lists' defaults.
WindowPlacement LoadSettings(const IniFile& file, ConversionSettings& settings);

// Writes the settings and the placement (a maximized window keeps the last normal rectangle in
// the file). Throws IniWriteError at the first key that cannot be written; the keys before it
// stay written.
void SaveSettings(IniFile& file, const ConversionSettings& settings,
                  const WindowPlacement& placement);

// The check-box options only, into section "CheckBoxes"; every other line of the file stays.
// Throws IniWriteError like SaveSettings.
void ExportOptions(IniFile& file, const ConversionSettings& settings);
// Reads the four check-box options back; missing keys leave their option as it is.
void ImportOptions(const IniFile& file, ConversionSettings& settings);

// The settings file: `<program name>.ini` in the program's folder when that folder is writable,
// else in `vellumor/` under $XDG_CONFIG_HOME (when set and absolute) or ~/.config.
std::string SettingsFilePath(const std::string& programFolder,
                             std::string_view programName = "vellumor");
// The same rule with its facts given; `home` empty when unknown. Without a usable home the
// program's folder is kept.
std::string ChooseSettingsPath(const std::string& programFolder, std::string_view programName,
                               bool programFolderWritable, std::string_view xdgConfigHome,
                               std::string_view home);

}  // namespace app
