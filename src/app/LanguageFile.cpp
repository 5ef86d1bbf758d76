#include "app/LanguageFile.h"

#include <filesystem>

#include "engine/TextUtil.h"
#include "platform/WholeFile.h"

namespace app {
namespace {

// Language files are a few kilobytes; anything far larger is not one.
constexpr uint64_t kMaxLanguageFileBytes = 4 * 1024 * 1024;

std::string InFolder(std::string_view folder, std::string_view name) {
  return (std::filesystem::path(folder) / name).string();
}

}  // namespace

std::string LanguageFilePath(InterfaceLanguage language, std::string_view otherLanguageFile,
                             std::string_view programFolder) {
  switch (language) {
    case InterfaceLanguage::English:
      return InFolder(programFolder, kEnglishLanguageFileName);
    case InterfaceLanguage::Russian:
      return InFolder(programFolder, kRussianLanguageFileName);
    case InterfaceLanguage::Other:
      return std::string(otherLanguageFile);
    case InterfaceLanguage::None:
      break;
  }
  return {};
}

int LanguageFileCodePage(std::string_view path, int systemCodePage) {
  const std::string name = std::filesystem::path(path).filename().string();
  return name == kRussianLanguageFileName ? kRussianLanguageFileCodePage : systemCodePage;
}

const std::vector<LanguageSection>& LanguageSections() {
  static const std::vector<LanguageSection> sections = {
      {"Form1",
       {"Form1", "TabSheet1", "TabSheet2", "TabSheet4", "TabSheet3", "GroupBox3", "Label13",
        "Label14", "CheckBox18", "GroupBox6", "SBFont", "Label5", "Label6", "GroupBox2",
        "RadioButton4", "RadioButton5", "RadioButton6", "RadioButton7", "RadioButton8", "GroupBox4",
        "Label2", "Label3", "ChBZIp", "ChBHyperLinks", "GroupBox1", "Label4", "ChBShowTitleInfo",
        "TabSheet5", "GroupBox5", "SpeedButton1", "Label1", "RadioButton1", "RadioButton2",
        "RadioButton3", "GroupBox7",
        // the commands
        "Act_OpenSource", "Act_SaveResultAs", "Act_Exit", "Act_ShowHelpBox", "Act_openOptions",
        "Act_SaveOption", "Act_Check", "Act_Convert", "Act_SaveAndView", "Act_ConvertTable",
        "EditCut1", "EditCopy1", "EditPaste1", "EditSelectAll1", "EditUndo1", "EditDelete1",
        "Act_SaveSourceHTMLAs", "Act_SaveSourceHTML", "Act_SaveResult", "Act_NewHTMLDoc",
        "Act_LoadImage", "Act_CopyToClip1", "Act_ClearMemo1", "Act_CopyToClip2", "Act_ClearMemo2",
        "Act_openFB2", "Act_NewFB2Doc", "Act_Epigraph", "Act_Author", "Act_Cite", "Act_poem",
        "Act_stanza", "Act_v", "Act_strong", "Act_emphasis", "Act_EmptyLine", "Act_p", "Act_Find",
        "Act_FindNext", "Act_Replace", "Act_Batch", "Act_BatchWindow", "Act_ansi2utf",
        "Act_utf2ansi",
        // the menu items without a command
        "mm_File1", "N2", "N3", "mm_N1", "N6", "Edit1", "N1", "N5", "mm_Help1", "mm_About1",
        "Unvisible1", "Recreate1", "N4",
        // this program's own
        "ChBRepair", "Act_Validate"}},
      {"AboutBox", {"AboutBox", "ProductName", "Version", "Comments", "OKButton"}},
      {"Form4",
       {"Form4",
        // this program's own
        "ButClose"}},
      {"FBookInfo",
       {"FBookInfo",    "ButOk",        "ButCancel", "TabSheet1",    "Label1",       "SBCover",
        "SBSelect",     "Label8",       "Label9",    "Label14",      "GroupBox1",    "Label2",
        "Label3",       "Label4",       "ButNext",   "TabSheet2",    "Label10",      "Label11",
        "Label12",      "Label13",      "Label20",   "GroupBox2",    "Label5",       "Label6",
        "Label7",       "Label17",      "Label18",   "Label19",      "ChBTabStop",   "GroupBox3",
        "RadioButton1", "RadioButton2", "GroupBox4", "RadioButton3", "RadioButton4", "ChBZIp"}},
      {"FFind",
       {"FFind", "Label1", "GroupBox1", "RadioButton1", "RadioButton2", "ButFind", "ButClose"}},
      {"FReplace",
       {"FReplace", "Label1", "Label2", "GroupBox1", "RadioButton1", "RadioButton2", "ButFind",
        "ButReplace", "ButAll", "ButClose"}},
      {"FBatchImages",
       {"FBatchImages", "Act_SelAll", "Act_UnSelAll", "Act_Start",
        // this program's own
        "ButCancel"}},
      {"FGenreList",
       {"FGenreList", "ButOk", "ButCancel", "Act_Ok", "Act_Add", "Act_Delete", "Act_Clear"}},
      {"FBatch",
       {"FBatch", "SpeedButton1", "Label1", "ButStart", "ButCancel",
        // this program's own: the list's toolbar
        "TBAdd", "TBAddAll", "TBLoadFile", "TBSaveFile", "TBDelete", "TBClear"}},
  };
  return sections;
}

const LanguageSection* FindLanguageSection(std::string_view name) {
  for (const LanguageSection& section : LanguageSections()) {
    if (engine::EqualsNoCase(section.Name, name)) return &section;
  }
  return nullptr;
}

std::optional<LanguageFile> LanguageFile::Open(const std::string& path) {
  if (path.empty()) return std::nullopt;
  std::optional<std::string> text = platform::ReadWholeFile(path, kMaxLanguageFileBytes);
  if (!text) return std::nullopt;
  return LanguageFile(std::move(*text));
}

std::optional<std::string> LanguageFile::Entry(std::string_view section,
                                               std::string_view key) const {
  return IniLookup(text_, {section, key});
}

void WriteLanguageFile(IniFile& file, const std::vector<SectionTexts>& sections) {
  for (const SectionTexts& section : sections) {
    for (const auto& [key, value] : section.Entries)
      file.WriteString({section.Section, key}, value);
  }
}

}  // namespace app
