#pragma once
// Interface language files: one INI section per window, one entry per translatable item keyed
// by the item's name, the window's own caption keyed by the window's name. The windows apply
// and collect the texts; this unit knows the files, their sections and keys, and reads and
// writes them with the rules of the settings files (IniFile.h).
//
// Texts are 8-bit, in the system code page; the shipped Russian file is windows-1251 text and is
// read as such on any system (LanguageFileCodePage).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ConversionSettings.h"
#include "app/IniFile.h"

namespace app {

inline constexpr std::string_view kEnglishLanguageFileName = "Vellumor_eng.lng";
inline constexpr std::string_view kRussianLanguageFileName = "Vellumor_ru.lng";
inline constexpr int kRussianLanguageFileCodePage = 1251;

// The file of the selected option: the program's folder and "Vellumor_eng.lng" for English,
// "Vellumor_ru.lng" for Russian; for Other the stored file (empty when it is empty); empty when no
// option is selected.
std::string LanguageFilePath(InterfaceLanguage language, std::string_view otherLanguageFile,
                             std::string_view programFolder);

// The code page of a language file's text: windows-1251 for the shipped Russian file,
// `systemCodePage` for any other.
int LanguageFileCodePage(std::string_view path, int systemCodePage);

// A window's section: its name (also the key of its caption) and the keys of its items, in the
// order the English file lists them.
struct LanguageSection {
  std::string_view Name;
  std::vector<std::string_view> Keys;
};

// Every window's section, in the order the windows are made: "Form1", "AboutBox", "Form4",
// "FBookInfo", "FFind", "FReplace", "FBatchImages", "FGenreList", "FBatch". Items this program has
// beyond the classic set of each window ("Repair structure", "Validate", the batch list's toolbar)
// follow that window's other keys.
const std::vector<LanguageSection>& LanguageSections();
// The section named `name` (letter case ignored), null when there is none.
const LanguageSection* FindLanguageSection(std::string_view name);

// A language file's text, read once; every lookup uses that text.
class LanguageFile {
 public:
  // Nothing when `path` is empty or names no readable regular file.
  static std::optional<LanguageFile> Open(const std::string& path);
  explicit LanguageFile(std::string text) : text_(std::move(text)) {}

  // The entry's value (8-bit, cut to 2047 bytes), nothing when the section or key is missing.
  // Names match without regard to letter case.
  std::optional<std::string> Entry(std::string_view section, std::string_view key) const;

 private:
  std::string text_;
};

// One window's texts as they are to be written: its caption first, then its items' texts.
struct SectionTexts {
  std::string_view Section;
  std::vector<std::pair<std::string_view, std::string>> Entries;
};

// Writes the entries section by section, key by key, into `file`: an existing entry is replaced
// in place, other lines stay. Throws IniWriteError ("Unable to write to <path>") at the first
// entry that cannot be written; the entries before it stay written.
void WriteLanguageFile(IniFile& file, const std::vector<SectionTexts>& sections);

}  // namespace app
