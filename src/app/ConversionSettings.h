#pragma once
// Every user-settable option, in one record. Defaults are those of a first start.

#include <string>

namespace app {

enum class TableMode { AsIs, ContentOnly, ConvertToImage };
enum class TableBorder { AsSource, Visible };
// None: a settings file with no language option selected; no language file is applied.
enum class InterfaceLanguage { English, Russian, Other, None };

// The "Charset" list, in its order; the setting stores the index.
inline constexpr const char* kCharsetNames[] = {
    "ANSI_CHARSET",    "ARABIC_CHARSET",     "BALTIC_CHARSET",   "CHINESEBIG5_CHARSET",
    "DEFAULT_CHARSET", "EASTEUROPE_CHARSET", "GB2312_CHARSET",   "GREEK_CHARSET",
    "HANGEUL_CHARSET", "HEBREW_CHARSET",     "JOHAB_CHARSET",    "MAC_CHARSET",
    "OEM_CHARSET",     "RUSSIAN_CHARSET",    "SHIFTJIS_CHARSET", "SYMBOL_CHARSET",
    "THAI_CHARSET",    "TURKISH_CHARSET"};
inline constexpr int kDefaultCharsetIndex = 4;

struct ConversionSettings {
  bool ResizeImages = true;
  int MaxImageWidth = 580;
  int MaxImageHeight = 700;
  app::TableMode TableMode = app::TableMode::AsIs;
  app::TableBorder TableBorder = app::TableBorder::Visible;
  std::string TableFontName = "Tahoma";
  int TableFontSize = 8;
  bool ShowHyperlinks = false;
  bool PackToZip = false;
  int TitleHeadingLevel = 0;  // 0 = "H1" ... 5 = "H6"
  bool ShowTitleInfo = true;
  std::string DefaultLanguage = "ru";
  bool UtfOutput = false;
  int Charset = kDefaultCharsetIndex;  // index into kCharsetNames
  app::InterfaceLanguage InterfaceLanguage = app::InterfaceLanguage::English;
  std::string OtherLanguageFile;
  int FileNameVariant = 1;  // 1 or 2
  std::string BatchOutputFolder;
  // Rebuild the body into well-formed FB2 ("main" / "repair"); on unless turned off.
  bool RepairStructure = true;
};

}  // namespace app
