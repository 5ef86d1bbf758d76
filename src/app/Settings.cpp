#include "app/Settings.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <utility>

#include "app/SettingsKeys.h"

namespace app {
namespace {

constexpr int kHeadingLevels = 6;  // "H1" ... "H6"

template <typename Option>
struct RadioKey {
  IniKey Key;
  Option Value;
};

// A radio group's keys in reading order: a true key selects its option, a false key clears its
// option if selected, a missing key leaves the group alone. Nothing when no option is selected.
template <typename Option>
std::optional<Option> ReadRadioGroup(const IniFile& file, std::optional<Option> selected,
                                     std::initializer_list<RadioKey<Option>> group) {
  for (const RadioKey<Option>& radio : group) {
    const bool isSelected = selected == radio.Value;
    if (file.ReadBool(radio.Key, isSelected)) {
      selected = radio.Value;
    } else if (isSelected) {
      selected.reset();
    }
  }
  return selected;
}

template <typename Option>
void WriteRadioGroup(IniFile& file, Option selected,
                     std::initializer_list<RadioKey<Option>> group) {
  for (const RadioKey<Option>& radio : group) file.WriteBool(radio.Key, selected == radio.Value);
}

const std::initializer_list<RadioKey<InterfaceLanguage>> kLanguageGroup = {
    {keys::kLanguageEnglish, InterfaceLanguage::English},
    {keys::kLanguageRussian, InterfaceLanguage::Russian},
    {keys::kLanguageOther, InterfaceLanguage::Other},
};
const std::initializer_list<RadioKey<TableBorder>> kBorderGroup = {
    {keys::kBorderAsSource, TableBorder::AsSource},
    {keys::kBorderVisible, TableBorder::Visible},
};
const std::initializer_list<RadioKey<TableMode>> kTableModeGroup = {
    {keys::kTablesAsIs, TableMode::AsIs},
    {keys::kTablesContentOnly, TableMode::ContentOnly},
    {keys::kTablesToImage, TableMode::ConvertToImage},
};

WindowState StateFromNumber(int number) {
  switch (number) {
    case 0:
      return WindowState::Maximized;
    case 1:
      return WindowState::Minimized;
    default:
      return WindowState::Normal;
  }
}

// An index of a list of `count` entries; outside the list, the list's default.
int ReadIndex(const IniFile& file, const IniKey& key, int count, int defaultIndex) {
  const int index = file.ReadInteger(key, defaultIndex);
  return (index >= 0 && index < count) ? index : defaultIndex;
}

void ReadCheckBoxes(const IniFile& file, ConversionSettings& s) {
  s.ResizeImages = file.ReadBool(keys::kResizeImages, s.ResizeImages);
  s.PackToZip = file.ReadBool(keys::kPackToZipBox, s.PackToZip);
  s.ShowHyperlinks = file.ReadBool(keys::kShowHyperlinksBox, s.ShowHyperlinks);
  s.ShowTitleInfo = file.ReadBool(keys::kShowTitleInfo, s.ShowTitleInfo);
}

void WriteCheckBoxes(IniFile& file, const ConversionSettings& s) {
  file.WriteBool(keys::kResizeImages, s.ResizeImages);
  file.WriteBool(keys::kPackToZipBox, s.PackToZip);
  file.WriteBool(keys::kShowHyperlinksBox, s.ShowHyperlinks);
  file.WriteBool(keys::kShowTitleInfo, s.ShowTitleInfo);
}

}  // namespace

WindowPlacement LoadSettings(const IniFile& file, ConversionSettings& s) {
  WindowPlacement placement;
  placement.Left = file.ReadInteger(keys::kPosX, 10);
  placement.Top = file.ReadInteger(keys::kPosY, 10);
  placement.Width = file.ReadInteger(keys::kWidth, 10);
  placement.Height = file.ReadInteger(keys::kHeight, 10);
  placement.State = StateFromNumber(file.ReadInteger(keys::kState, 2));

  ReadCheckBoxes(file, s);

  // A group left without a selection: tables as they are, borders as in the source, no language
  // file.
  s.TableBorder = ReadRadioGroup<TableBorder>(file, s.TableBorder, kBorderGroup)
                      .value_or(TableBorder::AsSource);
  s.TableMode =
      ReadRadioGroup<TableMode>(file, s.TableMode, kTableModeGroup).value_or(TableMode::AsIs);
  std::optional<InterfaceLanguage> language;
  if (s.InterfaceLanguage != InterfaceLanguage::None) language = s.InterfaceLanguage;
  s.InterfaceLanguage = ReadRadioGroup<InterfaceLanguage>(file, language, kLanguageGroup)
                            .value_or(InterfaceLanguage::None);

  s.MaxImageWidth = file.ReadInteger(keys::kMaxImageWidth, s.MaxImageWidth);
  s.MaxImageHeight = file.ReadInteger(keys::kMaxImageHeight, s.MaxImageHeight);
  s.OtherLanguageFile = file.ReadString(keys::kOtherLanguageFile, "");
  s.TitleHeadingLevel = ReadIndex(file, keys::kTitleHeadingLevel, kHeadingLevels, 0);
  s.Charset = ReadIndex(file, keys::kCharset, static_cast<int>(std::size(kCharsetNames)),
                        kDefaultCharsetIndex);
  s.DefaultLanguage = file.ReadString(keys::kDefaultLanguage, "ru");
  s.UtfOutput = file.ReadBool(keys::kUtfOutput, false);
  // Read after the check boxes, so these decide over "ChBZIp" and "ChBHyperLinks".
  s.PackToZip = file.ReadBool(keys::kPackToZip, false);
  s.ShowHyperlinks = file.ReadBool(keys::kShowHyperlinks, false);
  s.TableFontName = file.ReadString(keys::kTableFontName, s.TableFontName);
  s.TableFontSize = file.ReadInteger(keys::kTableFontSize, s.TableFontSize);
  s.RepairStructure = file.ReadBool(keys::kRepairStructure, true);
  return placement;
}

void SaveSettings(IniFile& file, const ConversionSettings& s, const WindowPlacement& placement) {
  file.WriteInteger(keys::kState, static_cast<int>(placement.State));
  if (placement.State != WindowState::Maximized) {
    file.WriteInteger(keys::kPosX, placement.Left);
    file.WriteInteger(keys::kPosY, placement.Top);
    file.WriteInteger(keys::kWidth, placement.Width);
    file.WriteInteger(keys::kHeight, placement.Height);
  }
  WriteCheckBoxes(file, s);
  WriteRadioGroup(file, s.InterfaceLanguage, kLanguageGroup);
  WriteRadioGroup(file, s.TableBorder, kBorderGroup);
  WriteRadioGroup(file, s.TableMode, kTableModeGroup);
  file.WriteInteger(keys::kMaxImageWidth, s.MaxImageWidth);
  file.WriteInteger(keys::kMaxImageHeight, s.MaxImageHeight);
  file.WriteString(keys::kOtherLanguageFile, s.OtherLanguageFile);
  file.WriteInteger(keys::kTitleHeadingLevel, s.TitleHeadingLevel);
  file.WriteInteger(keys::kCharset, s.Charset);
  file.WriteString(keys::kDefaultLanguage, s.DefaultLanguage);
  file.WriteBool(keys::kUtfOutput, s.UtfOutput);
  file.WriteBool(keys::kPackToZip, s.PackToZip);
  file.WriteBool(keys::kShowHyperlinks, s.ShowHyperlinks);
  file.WriteString(keys::kTableFontName, s.TableFontName);
  file.WriteInteger(keys::kTableFontSize, s.TableFontSize);
  file.WriteBool(keys::kRepairStructure, s.RepairStructure);
}

void ExportOptions(IniFile& file, const ConversionSettings& s) {
  WriteCheckBoxes(file, s);
}

void ImportOptions(const IniFile& file, ConversionSettings& s) {
  ReadCheckBoxes(file, s);
}

std::string ChooseSettingsPath(const std::string& programFolder, std::string_view programName,
                               bool programFolderWritable, std::string_view xdgConfigHome,
                               std::string_view home) {
  const std::string fileName = std::string(programName) + ".ini";
  if (programFolderWritable) return (std::filesystem::path(programFolder) / fileName).string();
  std::filesystem::path config;
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') {
    config = std::filesystem::path(xdgConfigHome);
  } else if (!home.empty()) {
    config = std::filesystem::path(home) / ".config";
  } else {
    return (std::filesystem::path(programFolder) / fileName).string();
  }
  return (config / "vellumor" / fileName).string();
}

std::string SettingsFilePath(const std::string& programFolder, std::string_view programName) {
  const std::string folder = programFolder.empty() ? std::string(".") : programFolder;
  const bool writable = ::access(folder.c_str(), W_OK) == 0;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  return ChooseSettingsPath(folder, programName, writable, xdg ? xdg : "", home ? home : "");
}

}  // namespace app
